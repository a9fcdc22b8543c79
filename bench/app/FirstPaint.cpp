// Time from process start to the main window's first paint, offscreen.
// Prints figures; gates nothing.
#include <QApplication>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <time.h>
#include <unistd.h>

#include "ScriptedModal.h"
#include "TempSettings.h"
#include "app/ViewerApp.h"

namespace {

// Seconds since this process started, from the kernel's own record.
double SecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(all.substr(all.rfind(')') + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) startTicks = std::stoull(field);
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - static_cast<double>(startTicks) / ticks;
}

class FirstPaintWatch : public QObject {
 public:
  double at = -1;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && at < 0) at = SecondsSinceProcessStart();
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TempSettings settings;
  ScriptedModal modal;
  FirstPaintWatch watch;
  modal.onRunDialog = [&](QDialog& dialog) {
    dialog.installEventFilter(&watch);
    dialog.show();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.repaint(); });
    for (int i = 0; i < 200 && watch.at < 0; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    static_cast<CViewerDlg&>(dialog).done(IDCANCEL);
    return IDCANCEL;
  };
  ViewerEnvironment env;
  env.modal = &modal;
  CViewerApp theApp(env);
  theApp.InitInstance();
  std::printf("process start to first paint: %.1f ms (offscreen)\n", watch.at * 1000.0);
  return 0;
}
