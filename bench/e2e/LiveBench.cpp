// Live view against the paced simulated unit. Prints figures; gates nothing.
//
//   bench_live cpu [seconds]      CPU Orvanta uses while connected at 4800 and at 230400 baud,
//                                 and at 230400 with the raw monitor open
//   bench_live latency [seconds]  last byte of a block on the line to the repaint that shows it
//   bench_live soak [seconds]     at 230400: blocks decoded against blocks sent, the input
//                                 queue's high-water mark, resident memory before and after
#include <QApplication>
#include <QEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "ScriptedModal.h"
#include "TempSettings.h"
#include "SimProcess.h"
#include "app/ViewerDlg.h"
#include "sim/PtyHost.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

int BaudIndex(int baud) {
  const int table[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};
  for (int i = 0; i < 8; ++i) {
    if (table[i] == baud) return i;
  }
  return 1;
}

struct Window {
  explicit Window(const std::string& device, int baud) {
    ViewerEnvironment env;
    env.modal = &modal;
    env.resolvePort = [device](const std::string&) { return device; };
    dlg = std::make_unique<CViewerDlg>(env);
    dlg->OnInitDialog();
    dlg->show();
    dlg->m_nBaudIndex = BaudIndex(baud);
    dlg->m_nBaudRate = baud;
    dlg->OnConnect();
  }
  ~Window() { dlg->done(0); }
  ScriptedModal modal;
  std::unique_ptr<CViewerDlg> dlg;
};

class PaintClock : public QObject {
 public:
  std::vector<Clock::time_point> paints;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.push_back(Clock::now());
    return QObject::eventFilter(watched, event);
  }
};

void RunFor(double seconds) { QTest::qWait(static_cast<int>(seconds * 1000)); }

// The simulated unit in-process, talking and paced at `baud`; null when it cannot start.
std::unique_ptr<orv::sim::PtyHost> StartHost(int baud) {
  orv::sim::UnitOptions unit;
  unit.unitBaud = baud;
  auto host = std::make_unique<orv::sim::PtyHost>(unit, orv::sim::HostOptions{});
  std::string error;
  if (!host->Start(error)) {
    std::printf("cannot start the simulated unit: %s\n", error.c_str());
    return nullptr;
  }
  return host;
}

void Cpu(double seconds) {
  const struct {
    int baud;
    bool monitor;
  } runs[] = {{4800, false}, {230400, false}, {230400, true}};
  for (const auto& run : runs) {
    const int baud = run.baud;
    SimProcess sim;
    if (!sim.Start({"--baud", std::to_string(baud)})) {
      std::printf("cannot start quorvel-sim\n");
      return;
    }
    Window w(sim.SlavePath(), baud);
    if (run.monitor) w.dlg->OnRawMonitor();
    RunFor(1.0);
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    RunFor(seconds);
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("%6d baud%s: %.2f s CPU per minute connected (%.2f%% of one core)\n", baud,
                run.monitor ? " with the raw monitor open" : "", cpu / wall * 60.0, cpu / wall * 100.0);
  }
}

void Latency(double seconds) {
  for (int baud : {4800, 230400}) {
    const auto host = StartHost(baud);
    if (!host) return;
    Window w(host->SlavePath(), baud);
    PaintClock paints;
    w.dlg->installEventFilter(&paints);
    // When the 300th, 600th, ... byte of the stream left the simulator.
    std::vector<Clock::time_point> blockEnds;
    std::atomic<bool> stop{false};
    std::thread watch([&] {
      int64_t next = 300;
      while (!stop) {
        if (host->BytesToPc() >= next) {
          blockEnds.push_back(Clock::now());
          next += 300;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    });
    RunFor(seconds);
    stop = true;
    watch.join();
    std::vector<double> ms;
    for (const auto& end : blockEnds) {
      const auto shown = std::lower_bound(paints.paints.begin(), paints.paints.end(), end);
      if (shown != paints.paints.end()) ms.push_back(std::chrono::duration<double, std::milli>(*shown - end).count());
    }
    if (ms.empty()) {
      std::printf("%6d baud: no blocks\n", baud);
      continue;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%6d baud: %zu blocks, latency p50 %.1f ms, p99 %.1f ms, max %.1f ms\n", baud, ms.size(),
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
  }
}

void Soak(double seconds) {
  const int baud = 230400;
  const auto host = StartHost(baud);
  if (!host) return;
  Window w(host->SlavePath(), baud);
  PaintClock paints;
  w.dlg->installEventFilter(&paints);
  RunFor(1.0);
  const long rss0 = ResidentKiB();
  const size_t paints0 = paints.paints.size();
  const int64_t sent0 = host->BytesToPc();
  int highWater = 0;
  const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
  while (Clock::now() < end) {
    QTest::qWait(50);
    PortHandle port;
    {
      std::lock_guard<std::mutex> lock(w.dlg->m_lock);
      port = w.dlg->m_hPort;
    }
    int in = 0, out = 0;
    if (port && port->QueueCounts(in, out).ok()) highWater = std::max(highWater, in);
  }
  const double blocksSent = static_cast<double>(host->BytesToPc() - sent0) / 300.0;
  std::printf("%.0f s at %d baud: %.0f blocks sent, %zu repaints, input queue high-water %d bytes, "
              "resident %ld KiB -> %ld KiB\n",
              seconds, baud, blocksSent, paints.paints.size() - paints0, highWater, rss0, ResidentKiB());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TempSettings settings;
  const std::string mode = argc > 1 ? argv[1] : "cpu";
  const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
  if (mode == "cpu") {
    Cpu(seconds);
  } else if (mode == "latency") {
    Latency(seconds);
  } else if (mode == "soak") {
    Soak(seconds);
  } else {
    std::fprintf(stderr, "usage: bench_live cpu|latency|soak [seconds]\n");
    return 2;
  }
  return 0;
}
