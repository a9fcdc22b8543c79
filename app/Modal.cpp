#include "app/Modal.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>

namespace {

// "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||" to Qt's ";;" form.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromLatin1(filter.c_str()).split('|', Qt::SkipEmptyParts);
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
  return out.join(";;");
}

}  // namespace

int GuiModal::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         Buttons buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(QString::fromLatin1(caption.c_str()));
  box.setText(QString::fromLatin1(text.c_str()));
  if (buttons == Buttons::YesNo) {
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
  }
  box.setIcon(caption == "Error" ? QMessageBox::Warning : QMessageBox::Information);
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return IDOK;
}

std::string GuiModal::FileDialog(QWidget* owner, const FileDialogRequest& request) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QString::fromLatin1(request.defaultExt.c_str()));
  dialog.setNameFilter(QtFilter(request.filter));
  dialog.selectFile(QString::fromLocal8Bit(request.initialName.c_str()));
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toLocal8Bit().toStdString();
  }
  // A cancelled dialog still holds the name it started with.
  return request.initialName;
}

int GuiModal::RunDialog(QDialog& dialog) { return dialog.exec(); }

QAction* GuiModal::TrackPopupMenu(QMenu& menu, QPoint screenPos) { return menu.exec(screenPos); }
