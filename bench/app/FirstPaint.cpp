// Process start to the main window's first picture on the screen, the way
// the program starts: xcb when a display is there (run it under xvfb-run on
// a machine without one), offscreen otherwise. The time is taken once the
// first paint has been flushed and, under X, carried out by the X server.
// For scale, the same is measured for a bare dialog of the same size that
// only fills itself black: what any Qt program pays on this machine. CPU
// is the process's own (all threads), which a busy machine disturbs less
// than the wall clock. Prints figures; gates nothing.
//
//   bench_first_paint [runs]   starts itself `runs` times each way (default 9) and prints the medians
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ProcessCpu.h"
#include "Screen.h"
#include "TempSettings.h"
#include "app/Modal.h"
#include "app/ViewerApp.h"

namespace {

// Milliseconds since this process started, from the kernel's own record.
double MsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  const std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(all.substr(all.rfind(')') + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) startTicks = std::stoull(field);
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - static_cast<double>(startTicks) / ticks) * 1000.0;
}

// Milliseconds of CPU this process has used, all threads.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Runs `dialog` until its first picture is on the screen; the times then.
class FirstPicture : public QObject {
 public:
  double wallMs = -1;
  double cpuMs = -1;
  void Run(QDialog& dialog) {
    QEventLoop loop;
    dialog.installEventFilter(this);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
      if (!painted_ || wallMs >= 0) return;
      bench::WaitForScreen();
      wallMs = MsSinceProcessStart();
      cpuMs = CpuMs();
      loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    dialog.show();
    loop.exec();
  }

 private:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted_ = true;
    return false;
  }
  bool painted_ = false;
};

// The real dialogs, except that the main window's run ends once its first
// picture is on the screen.
class FirstPaintModal : public GuiModal {
 public:
  FirstPicture first;
  int RunDialog(QDialog& dialog) override {
    first.Run(dialog);
    dialog.done(IDCANCEL);
    return IDCANCEL;
  }
};

class BareDialog : public QDialog {
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

// One start, as the program starts (or a bare dialog): "wall cpu platform".
int Once(int argc, char** argv, bool bare) {
  bench::ChoosePlatform();
  QApplication app(argc, argv);
  QApplication::setOrganizationName("Veltrane");
  QApplication::setApplicationName("Quorvel");
  TempSettings settings;
  FirstPaintModal modal;
  const FirstPicture& shown = modal.first;
  if (bare) {
    BareDialog dialog;
    dialog.resize(285, 325);
    modal.first.Run(dialog);
  } else {
    ViewerEnvironment env;
    env.modal = &modal;
    CViewerApp theApp(env);
    theApp.InitInstance();
  }
  std::printf("%.1f %.1f %s\n", shown.wallMs, shown.cpuMs, bench::PlatformName().c_str());
  return shown.wallMs >= 0 ? 0 : 1;
}

struct Runs {
  std::vector<double> wall, cpu;
  std::string platform;
  void Add(const std::string& self, const char* mode) {
    const std::string command = "'" + self + "' " + mode + " 2>/dev/null";
    FILE* child = popen(command.c_str(), "r");
    if (!child) return;
    double w = -1, c = -1;
    char name[32] = {};
    if (std::fscanf(child, "%lf %lf %31s", &w, &c, name) == 3 && w >= 0) {
      wall.push_back(w);
      cpu.push_back(c);
      platform = name;
    }
    pclose(child);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--once") == 0) return Once(argc, argv, false);
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return Once(argc, argv, true);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  Runs orvanta, bare;
  for (int i = 0; i < runs; ++i) {
    orvanta.Add(argv[0], "--once");
    bare.Add(argv[0], "--bare");
  }
  if (orvanta.wall.empty()) {
    std::printf("process start to first paint: no run showed the window\n");
    return 1;
  }
  std::printf("process start to first picture on the screen (%s), medians of %zu runs:\n", orvanta.platform.c_str(),
              orvanta.wall.size());
  const double median = bench::Median(orvanta.wall);
  std::printf("  Orvanta      %6.1f ms wall, %6.1f ms CPU (goal <= 100 ms wall: %s)\n", median,
              bench::Median(orvanta.cpu), median <= 100 ? "met" : "not met");
  if (!bare.wall.empty()) {
    std::printf("  bare dialog  %6.1f ms wall, %6.1f ms CPU (any Qt program here)\n", bench::Median(bare.wall),
                bench::Median(bare.cpu));
  }
  return 0;
}
