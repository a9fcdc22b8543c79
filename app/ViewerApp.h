#pragma once
// The application object: prepares the platform, runs the main window
// modally and ends the program when it closes.
#include <functional>
#include <string>

#include "app/ViewerDlg.h"

class CViewerApp {
 public:
  // The socket layer's start-up. Nothing in this program uses sockets, so on
  // a platform with nothing to initialise it simply succeeds; tests inject a
  // failing one to reach the failure path.
  using SocketInit = std::function<bool()>;

  CViewerApp(const ViewerEnvironment& env, SocketInit socketInit = [] { return true; });

  // Always false: the program ends once the main window has closed.
  bool InitInstance();

  // The window while it runs, for the one who drives it (tests, --simulate).
  CViewerDlg* MainWindow() const { return m_pMainWnd; }

  // Window and message-box colours: black ground, text RGB(32, 231, 182).
  static void SetDialogColours();

 private:
  ViewerEnvironment m_env;
  SocketInit m_socketInit;
  CViewerDlg* m_pMainWnd = nullptr;
};
