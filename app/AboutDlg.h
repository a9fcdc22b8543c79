#pragma once
#include <QDialog>

// "About Orvanta": the version and a legend of the main window's buttons.
class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
