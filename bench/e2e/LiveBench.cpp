// The live view against the paced simulated unit, in the program's own
// event loop: xcb when a display is there (run it under xvfb-run on a
// machine without one), offscreen otherwise. Prints figures; gates nothing.
//
//   bench_live cpu [seconds]      CPU of Orvanta, and in the same run of gpsd reading an identical
//                                 second simulated unit, and of the X server, at 4800 and 230400,
//                                 and at 230400 with the raw monitor open
//   bench_live latency [seconds]  last byte of a block on the line to the repaint that shows it,
//                                 on the screen
//   bench_live soak [seconds]     at 230400: blocks decoded against blocks sent, the input
//                                 queue's high-water mark, resident memory before and after
//   bench_live [all] [seconds]    cpu, then latency
//   a third argument, 4800 or 230400, runs that rate alone
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "ProcessCpu.h"
#include "Screen.h"
#include "ScriptedModal.h"
#include "SimProcess.h"
#include "TempSettings.h"
#include "app/ViewerDlg.h"
#include "sim/PtyHost.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlock = 300;
constexpr double kLatencyGoalMs = 10.0;
int onlyRate = 0;  // 0: both rates
bool Skip(int baud) { return onlyRate != 0 && baud != onlyRate; }

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
  Window(const std::string& device, int baud) {
    ViewerEnvironment env;
    env.modal = &modal;
    env.resolvePort = [device](const std::string&) { return device; };
    dlg = std::make_unique<CViewerDlg>(env);
    dlg->OnInitDialog();
    dlg->show();
    dlg->m_nBaudIndex = BaudIndex(baud);
    dlg->m_nBaudRate = baud;
    bench::RunFor(0.3);  // mapped and first painted before the stream starts
  }
  void Connect() { dlg->OnConnect(); }
  ~Window() { dlg->done(0); }
  ScriptedModal modal;
  std::unique_ptr<CViewerDlg> dlg;
};

// gpsd in the foreground on one device, reading only, at a fixed rate, on
// a port and control socket of its own so that it meets no other gpsd.
class Gpsd {
 public:
  bool Start(const std::string& program, const std::string& device, int baud, std::string& error) {
    const std::string port = std::to_string(20000 + getpid() % 20000);
    const std::string socket = dir_.path().toStdString() + "/gpsd.sock";
    const std::string log = dir_.path().toStdString() + "/gpsd.log";
    const std::vector<std::string> args = {program, "-N", "-n", "-b", "-s", std::to_string(baud), "-S", port,
                                           "-F", socket, device};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      pid_ = -1;
      error = std::string("cannot start ") + program + ": " + std::strerror(rc);
      return false;
    }
    return true;
  }
  ~Gpsd() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 50; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t Pid() const { return pid_; }

 private:
  QTemporaryDir dir_;
  pid_t pid_ = -1;
};

// CPU seconds of a set of processes between two readings.
struct CpuWatch {
  std::vector<pid_t> pids;
  std::vector<double> start;
  void Begin() {
    start.clear();
    for (pid_t p : pids) start.push_back(p > 0 ? bench::CpuSeconds(p) : -1);
  }
  double Used(size_t i) const { return pids[i] > 0 ? bench::CpuSeconds(pids[i]) - start[i] : -1; }
};

void Cpu(double seconds) {
  const std::string gpsdProgram = bench::FindProgram("gpsd");
  const pid_t xServer = bench::XServerPid();
  std::printf("CPU over %.0f s, %s; Orvanta is this process (run time of its threads from /proc)\n", seconds,
              bench::PlatformName().c_str());
  if (gpsdProgram.empty()) std::printf("  gpsd: skipped, not installed (Debian package gpsd)\n");
  const struct {
    int baud;
    bool monitor;
    double goal;  // Orvanta's CPU against gpsd's
  } runs[] = {{4800, false, 0.1}, {230400, false, 0.5}, {230400, true, 0.5}};
  for (const auto& run : runs) {
    const int baud = run.baud;
    if (Skip(baud)) continue;
    const std::vector<std::string> simArgs = {"--baud", std::to_string(baud)};
    SimProcess ours, theirs;
    if (!ours.Start(simArgs)) {
      std::printf("cannot start quorvel-sim\n");
      return;
    }
    Gpsd gpsd;
    std::string error;
    if (!gpsdProgram.empty() && theirs.Start(simArgs) &&
        !gpsd.Start(gpsdProgram, theirs.SlavePath(), baud, error)) {
      std::printf("  gpsd: skipped, %s\n", error.c_str());
    }
    Window w(ours.SlavePath(), baud);
    w.Connect();
    if (run.monitor) w.dlg->OnRawMonitor();
    bench::RunFor(2.0);
    CpuWatch cpu{{getpid(), gpsd.Pid(), xServer}, {}};
    cpu.Begin();
    const auto t0 = Clock::now();
    bench::RunFor(seconds);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double orvanta = cpu.Used(0) / wall * 100.0;
    std::printf("%6d baud%s: Orvanta %.2f %% of a core", baud, run.monitor ? " with the raw monitor open" : "",
                orvanta);
    if (xServer > 0) std::printf(", X server %.2f %%", cpu.Used(2) / wall * 100.0);
    if (gpsd.Pid() > 0) {
      const double theirs = cpu.Used(1) / wall * 100.0;
      const double ratio = theirs > 0 ? orvanta / theirs : 0;
      std::printf(", gpsd %.2f %%: ratio %.2f (goal <= %.1f: %s)", theirs, ratio, run.goal,
                  ratio <= run.goal && theirs > 0 ? "met" : "not met");
    }
    std::printf("\n");
  }
}

// The simulated unit in this process, so that the bytes it has put on the
// line can be counted as they go; null when it cannot start.
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

// When each block was on the screen. After each repaint request it
// carries out, the window notes how many decoded blocks the screen shows;
// just before the event loop waits again (the repaint is flushed by then)
// that count is read, the X server is waited for, and every newly shown
// block gets the time.
class ScreenClock : public QObject {
 public:
  explicit ScreenClock(CViewerDlg& dlg) : dlg_(dlg) {
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &ScreenClock::Stamp);
  }
  std::vector<Clock::time_point> shownAt;

 private:
  void Stamp() {
    const uint64_t shown = dlg_.m_nBlocksShown;
    if (shown <= shownAt.size()) return;
    bench::WaitForScreen();
    shownAt.resize(shown, Clock::now());
  }
  CViewerDlg& dlg_;
};

// Per block, from a thread that looks every 100 us: when its last byte left
// the simulator, and whether decoding it changed any cell (a block that
// changes none has nothing to show and is left out of the figures).
struct BlockWatch {
  std::vector<Clock::time_point> end;
  std::vector<bool> changed;
  bool realTime = false;
  void Run(const orv::sim::PtyHost& host, CViewerDlg& dlg, const std::atomic<bool>& stop) {
    // On a busy machine a watcher at normal priority stamps late; where it
    // is allowed, it runs ahead of everything else (it is awake for a few
    // microseconds every 100).
    sched_param param{};
    param.sched_priority = 1;
    realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    int64_t next = kBlock;
    uint64_t decoded = 0;
    int cells[orv::kCells] = {};
    while (!stop) {
      if (host.BytesToPc() >= next) {
        end.push_back(Clock::now());
        next += kBlock;
      }
      {
        std::lock_guard<std::mutex> lock(dlg.m_lock);
        const int* now = dlg.m_model.m_nGlyphOffset;
        if (dlg.m_nBlocksDecoded > decoded) {
          // Two blocks decoded between two looks share the answer.
          changed.resize(dlg.m_nBlocksDecoded, !std::equal(now, now + orv::kCells, cells));
          decoded = dlg.m_nBlocksDecoded;
        }
        std::copy(now, now + orv::kCells, cells);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  }
};

void Latency(double seconds) {
  std::printf("block to screen over %.0f s, %s: last byte of a block on the line to its repaint %s\n", seconds,
              bench::PlatformName().c_str(),
              bench::PlatformName() == "xcb" ? "carried out by the X server" : "flushed");
  for (const int baud : {4800, 230400}) {
    if (Skip(baud)) continue;
    const auto host = StartHost(baud);
    if (!host) return;
    std::vector<double> ms;
    size_t unchanged = 0, early = 0, pending = 0;
    bool realTime = false;
    {
      Window w(host->SlavePath(), baud);
      ScreenClock clock(*w.dlg);
      BlockWatch blocks;
      std::atomic<bool> stop{false};
      std::thread watch([&] { blocks.Run(*host, *w.dlg, stop); });
      w.Connect();
      bench::RunFor(seconds);
      stop = true;
      watch.join();
      realTime = blocks.realTime;
      // The first blocks cross the connection's own start-up; they are left out.
      for (size_t k = 2; k < blocks.end.size(); ++k) {
        if (k >= clock.shownAt.size() || k >= blocks.changed.size()) {
          ++pending;
        } else if (!blocks.changed[k]) {
          ++unchanged;
        } else if (clock.shownAt[k] < blocks.end[k]) {
          ++early;
        } else {
          ms.push_back(std::chrono::duration<double, std::milli>(clock.shownAt[k] - blocks.end[k]).count());
        }
      }
    }
    const size_t count = ms.size();
    const std::string figures = bench::Percentiles(ms);
    const double p99 = bench::Percentile(ms, 0.99);
    std::printf("%6d baud: %zu blocks that changed the screen: %s (goal p99 <= %.0f ms: %s)\n", baud, count,
                figures.c_str(), kLatencyGoalMs, count > 0 && p99 <= kLatencyGoalMs ? "met" : "not met");
    std::printf("             %zu changed nothing, %zu not shown by the end, %zu shown before the line had them "
                "(the watcher lagged%s)\n",
                unchanged, pending, early, realTime ? "" : "; it ran at normal priority");
  }
}

void Soak(double seconds) {
  const int baud = 230400;
  const auto host = StartHost(baud);
  if (!host) return;
  Window w(host->SlavePath(), baud);
  w.Connect();
  bench::RunFor(1.0);
  const long rss0 = ResidentKiB();
  const int64_t sent0 = host->BytesToPc();
  const uint64_t decoded0 = [&] {
    std::lock_guard<std::mutex> lock(w.dlg->m_lock);
    return w.dlg->m_nBlocksDecoded;
  }();
  int highWater = 0;
  QTimer sample;
  QObject::connect(&sample, &QTimer::timeout, [&] {
    PortHandle port;
    {
      std::lock_guard<std::mutex> lock(w.dlg->m_lock);
      port = w.dlg->m_hPort;
    }
    int in = 0, out = 0;
    if (port && port->QueueCounts(in, out).ok()) highWater = std::max(highWater, in);
  });
  sample.start(50);
  bench::RunFor(seconds);
  sample.stop();
  const double blocksSent = static_cast<double>(host->BytesToPc() - sent0) / kBlock;
  uint64_t decoded = 0;
  {
    std::lock_guard<std::mutex> lock(w.dlg->m_lock);
    decoded = w.dlg->m_nBlocksDecoded - decoded0;
  }
  std::printf("%.0f s at %d baud: %.0f blocks sent, %llu decoded, input queue high-water %d bytes, "
              "resident %ld KiB -> %ld KiB\n",
              seconds, baud, blocksSent, static_cast<unsigned long long>(decoded), highWater, rss0, ResidentKiB());
}

}  // namespace

int main(int argc, char** argv) {
  bench::ChoosePlatform();
  QApplication app(argc, argv);
  TempSettings settings;
  const std::string mode = argc > 1 ? argv[1] : "all";
  const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
  onlyRate = argc > 3 ? std::atoi(argv[3]) : 0;
  if (mode == "cpu" || mode == "all") Cpu(seconds);
  if (mode == "latency" || mode == "all") Latency(seconds);
  if (mode == "soak") Soak(seconds);
  if (mode != "cpu" && mode != "latency" && mode != "soak" && mode != "all") {
    std::fprintf(stderr, "usage: bench_live [cpu|latency|soak|all] [seconds] [4800|230400]\n");
    return 2;
  }
  return 0;
}
