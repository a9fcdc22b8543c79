// orvanta: the Quorvel display unit's desktop companion.
#include <QApplication>

#include "app/Modal.h"
#include "app/ViewerApp.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Veltrane");
  QApplication::setApplicationName("Quorvel");

  GuiModal modal;
  ViewerEnvironment env;
  env.modal = &modal;

  CViewerApp theApp(env);
  theApp.InitInstance();
  return 0;
}
