// orvanta: the Quorvel display unit's desktop companion.
//
//   orvanta                     talk to the unit on the COM port chosen in the window
//   orvanta --simulate[=flash]  talk to a simulated unit, whichever COM port is chosen
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/Modal.h"
#include "app/SimulatedUnit.h"
#include "app/ViewerApp.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: orvanta [--simulate[=data|flash]]\n"
               "  --simulate        run a simulated unit (data cable) and route every COM port to it\n"
               "  --simulate=flash  the same unit on the FLASH cable, for programming and read-back\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Veltrane");
  QApplication::setApplicationName("Quorvel");

  bool simulate = false;
  bool flashCable = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--simulate") == 0 || std::strcmp(arg, "--simulate=data") == 0 ||
        std::strcmp(arg, "--simulate=flash") == 0) {
      simulate = true;
      flashCable = std::strcmp(arg, "--simulate=flash") == 0;
    } else {
      return Usage();
    }
  }

  GuiModal modal;
  ViewerEnvironment env;
  env.modal = &modal;
  std::unique_ptr<SimulatedUnit> simulator;
  if (simulate) {
    std::string error;
    simulator = SimulatedUnit::Start(flashCable, error);
    if (!simulator) {
      std::fprintf(stderr, "orvanta: cannot start the simulated unit: %s\n", error.c_str());
      return 1;
    }
    const std::string path = simulator->Path();
    std::fprintf(stderr, "orvanta: simulated unit on %s; every COM port leads there\n", path.c_str());
    env.resolvePort = [path](const std::string&) { return path; };
  }

  CViewerApp theApp(env);
  theApp.InitInstance();
  if (simulator) simulator->Stop();
  return 0;
}
