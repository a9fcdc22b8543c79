#pragma once
// Everything modal goes through this seam: message boxes owned by the main
// window, file dialogs and the About box. The program shows real Qt dialogs;
// tests install a scripted one that records every text and answers from a
// queue, so no test ever waits on a window a person would have to click.
#include <string>

#include <QPoint>

#include "common/Buttons.h"

class QAction;
class QDialog;
class QMenu;
class QWidget;

struct FileDialogRequest {
  bool open = false;          // false: a save-as dialog
  std::string defaultExt;     // "txt"
  std::string initialName;    // "Quorvel_Capture"
  std::string filter;         // "Text Files (*.txt)|*.txt|HEX Files (*.hex)|*.hex||"
};

class IModal {
 public:
  virtual ~IModal() = default;
  virtual int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                         Buttons buttons) = 0;
  // The full path the dialog holds when it closes. A cancelled dialog holds
  // its initial name, so callers get that back and treat it as any other.
  virtual std::string FileDialog(QWidget* owner, const FileDialogRequest& request) = 0;
  virtual int RunDialog(QDialog& dialog) = 0;
  // Shows a popup menu with its top-left corner at `screenPos` and returns
  // the chosen entry, or null.
  virtual QAction* TrackPopupMenu(QMenu& menu, QPoint screenPos) = 0;
};

// Real dialogs: QMessageBox, QFileDialog, QDialog::exec.
class GuiModal : public IModal {
 public:
  int MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                 Buttons buttons) override;
  std::string FileDialog(QWidget* owner, const FileDialogRequest& request) override;
  int RunDialog(QDialog& dialog) override;
  QAction* TrackPopupMenu(QMenu& menu, QPoint screenPos) override;
};
