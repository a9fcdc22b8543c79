#include "app/ViewerApp.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

CViewerApp::CViewerApp(const ViewerEnvironment& env, SocketInit socketInit)
    : m_env(env), m_socketInit(std::move(socketInit)) {}

void CViewerApp::SetDialogColours() {
  const QColor ground(0, 0, 0);
  const QColor text(32, 231, 182);
  // Fusion follows the palette on every platform; native styles may not.
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  QPalette palette;
  for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button}) {
    palette.setColor(role, ground);
  }
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText}) {
    palette.setColor(role, text);
  }
  palette.setColor(QPalette::ToolTipBase, ground);
  palette.setColor(QPalette::Highlight, text);
  palette.setColor(QPalette::HighlightedText, ground);
  palette.setColor(QPalette::Light, QColor(60, 60, 60));
  palette.setColor(QPalette::Mid, QColor(40, 40, 40));
  palette.setColor(QPalette::Dark, QColor(20, 20, 20));
  QApplication::setPalette(palette);
}

bool CViewerApp::InitInstance() {
  if (!m_socketInit()) {
    // String 103, in a box with the application's title.
    m_env.modal->MessageBox(nullptr, "Windows sockets initialization failed.", "Orvanta", Buttons::Ok);
    return false;
  }
  SetDialogColours();

  CViewerDlg dlg(m_env);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return false;
}
