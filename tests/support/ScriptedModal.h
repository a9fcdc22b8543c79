#pragma once
// A modal seam for tests: every message box, file dialog, dialog run and
// popup menu is recorded and answered at once from queues the test fills,
// so no test ever waits for a person.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/Modal.h"

struct ShownMessage {
  std::string text;
  std::string caption;
  Buttons buttons;
};

class ScriptedModal : public IModal {
 public:
  int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, Buttons buttons) override;
  std::string FileDialog(QWidget* owner, const FileDialogRequest& request) override;
  int RunDialog(QDialog& dialog) override;
  QAction* TrackPopupMenu(QMenu& menu, QPoint screenPos) override;

  // Answers to Yes/No questions, in order. An unscripted question is
  // answered No and recorded in unexpected.
  std::deque<int> answers;
  // Paths the file dialogs hold when they close; empty queue: cancelled.
  std::deque<std::string> files;
  // Texts of the popup entries to choose; empty queue: the menu is dismissed.
  std::deque<std::string> menuChoices;
  // Called for each dialog run; returns the dialog's result. Default: closes at once.
  std::function<int(QDialog&)> onRunDialog;
  // Called after each message box is recorded (e.g. to check state mid-run).
  std::function<void(const ShownMessage&)> onMessage;

  std::vector<ShownMessage> messages;
  std::vector<std::vector<std::string>> menus;  // entry texts ("*" marks a checked entry)
  std::vector<std::string> unexpected;

  // Texts only, in order.
  std::vector<std::string> Texts() const;
  void Clear();
};
