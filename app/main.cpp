// orvanta: the Quorvel display unit's desktop companion. The command line
// is app/CommandLine.h; see also orvanta(1).
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/CommandLine.h"
#include "app/Modal.h"
#include "app/SimulatedUnit.h"
#include "app/ViewerApp.h"
#include "res/Resources.h"

namespace {

const char* Getenv(const char* name) { return std::getenv(name); }

// While QApplication connects to the window system, Qt's messages are held
// back. A display that is named but cannot be reached makes Qt print a
// paragraph about platform plugins and abort; the user is better served by
// the one line the command line gives for a missing display, and exit 1.
// Once the application stands, what was held back goes out as usual.
struct HeldMessage {
  QtMsgType type;
  const char* category;  // Qt's category names are static strings
  QString text;
};
std::vector<HeldMessage>* g_held = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    std::fputs(orv::NoDisplayLine(Getenv).c_str(), stderr);
    std::_Exit(orv::kExitCannotStart);
  }
  g_held->push_back({type, context.category, text});
}

void ReleaseHeldMessages(QtMessageHandler previous) {
  qInstallMessageHandler(previous);
  for (const HeldMessage& m : *g_held) {
    QMessageLogContext context(nullptr, 0, nullptr, m.category);
    qt_message_output(m.type, context, m.text);
  }
  g_held = nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  const orv::StartRequest request = orv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), Getenv);
  std::fputs(request.out.c_str(), stdout);
  std::fputs(request.err.c_str(), stderr);
  if (!request.run) return request.exitCode;

  std::vector<HeldMessage> held;
  g_held = &held;
  const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
  QApplication app(argc, argv);
  ReleaseHeldMessages(previous);

  QApplication::setOrganizationName("Veltrane");
  QApplication::setApplicationName("Quorvel");
  // The desktop entry's id: Wayland matches windows to it by this name.
  QGuiApplication::setDesktopFileName("com.veltrane.Orvanta");
  // Every window (message boxes too) carries the program's icon.
  QApplication::setWindowIcon(res::Icon());

  GuiModal modal;
  ViewerEnvironment env;
  env.modal = &modal;
  std::unique_ptr<SimulatedUnit> simulator;
  if (request.simulate) {
    std::string error;
    simulator = SimulatedUnit::Start(request.flashCable, error);
    if (!simulator) {
      std::fprintf(stderr, "orvanta: cannot start the simulated unit: %s\n", error.c_str());
      return orv::kExitCannotStart;
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
