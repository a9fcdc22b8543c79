#include "ScriptedModal.h"

#include <QAction>
#include <QDialog>
#include <QMenu>

int ScriptedModal::MessageBox(QWidget*, const std::string& text, const std::string& caption, Buttons buttons) {
  messages.push_back({text, caption, buttons});
  if (onMessage) onMessage(messages.back());
  if (buttons == Buttons::Ok) return IDOK;
  if (answers.empty()) {
    unexpected.push_back(text);
    return IDNO;
  }
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string ScriptedModal::FileDialog(QWidget*, const FileDialogRequest& request) {
  if (files.empty()) return request.initialName;
  std::string path = files.front();
  files.pop_front();
  return path;
}

int ScriptedModal::RunDialog(QDialog& dialog) {
  if (onRunDialog) return onRunDialog(dialog);
  return IDCANCEL;
}

QAction* ScriptedModal::TrackPopupMenu(QMenu& menu, QPoint) {
  std::vector<std::string> entries;
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) continue;
    entries.push_back((action->isChecked() ? "*" : "") + action->text().toStdString());
  }
  menus.push_back(entries);
  if (menuChoices.empty()) return nullptr;
  const QString wanted = QString::fromStdString(menuChoices.front());
  menuChoices.pop_front();
  for (QAction* action : menu.actions()) {
    if (action->text() == wanted) return action;
  }
  unexpected.push_back("no menu entry " + wanted.toStdString());
  return nullptr;
}

std::vector<std::string> ScriptedModal::Texts() const {
  std::vector<std::string> out;
  for (const ShownMessage& m : messages) out.push_back(m.text);
  return out;
}

void ScriptedModal::Clear() {
  messages.clear();
  menus.clear();
  unexpected.clear();
}
