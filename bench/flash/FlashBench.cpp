// FLASH and SAVE to ".hex" through the window against the simulated unit,
// which gives both directions of the line their wire time and keeps no
// credit: wall time against what a real line and unit need (the bytes'
// wire time, plus the unit's own erase time), and the PC's turnaround per
// exchange that makes up the difference. Prints figures; gates nothing.
// Goal: wall / line time <= 1.05.
//
//   bench_flash                  all of them
//   bench_flash ocd              64 KiB programmed and read back through the debugger at 57600
//   bench_flash loader [KiB]     an Intel HEX image (64 KiB) through the unit's loader at 57600 and 4800
#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "ScriptedModal.h"
#include "TempSettings.h"
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "sim/Loader.h"
#include "sim/PtyHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// `kib` KiB of noise as Intel HEX data records of 16 bytes, LF ended.
std::string Records(int kib) {
  std::mt19937 rng(7);
  std::string text;
  for (int address = 0; address < kib * 1024; address += 16) {
    int sum = 0x10 + (address >> 8) + (address & 0xFF);
    std::string line = orv::Format(":10%04X00", address);
    for (int i = 0; i < 16; ++i) {
      const int b = static_cast<int>(rng() & 0xFF);
      sum += b;
      line += orv::Format("%02X", b);
    }
    text += line + orv::Format("%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
  }
  return text + ":00000001FF\n";
}

bool Write(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

struct Bench {
  Bench(orv::sim::UnitOptions unit, int baud) : echoes(unit.cable == orv::sim::Cable::Flash) {
    unit.replay = std::vector<uint8_t>{};  // no stream: only the loader or the debugger talks
    host = std::make_unique<orv::sim::PtyHost>(unit, orv::sim::HostOptions{true, ""});
    std::string error;
    if (!host->Start(error)) {
      std::fprintf(stderr, "bench_flash: %s\n", error.c_str());
      return;
    }
    ViewerEnvironment env;
    env.modal = &modal;
    const std::string device = host->SlavePath();
    env.resolvePort = [device](const std::string&) { return device; };
    dlg = std::make_unique<CViewerDlg>(env);
    dlg->OnInitDialog();
    dlg->show();
    const bool exposed = QTest::qWaitForWindowExposed(dlg.get());
    dlg->m_nBaudRate = baud;
    dlg->OnConnect();
    ok = exposed && dlg->m_hPort != nullptr && QTest::qWaitFor([&] { return host->BytesFromPc() >= 24; }, 5000);
    // The FLASH cable returns the three G commands of the connect.
    if (ok && echoes) ok = QTest::qWaitFor([&] { return InQueue() >= 24; }, 5000);
  }
  ~Bench() {
    if (dlg) dlg->done(0);
  }
  int InQueue() {
    int in = 0, out = 0;
    return dlg->m_hPort && dlg->m_hPort->QueueCounts(in, out).ok() ? in : 0;
  }

  std::unique_ptr<orv::sim::PtyHost> host;
  ScriptedModal modal;
  std::unique_ptr<CViewerDlg> dlg;
  bool echoes = false;
  bool ok = false;
};

// Processor time of the calling thread (the window's), in seconds.
double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
  double wall = 0;
  double cpu = 0;  // the window thread's
  long long out = 0, back = 0;
  bool done = false;
};

template <class F>
Figures Measure(Bench& b, const std::string& last, F run) {
  Figures f;
  b.modal.Clear();
  const long long out0 = b.host->BytesFromPc(), back0 = b.host->BytesToPc();
  const auto start = Clock::now();
  const double cpu0 = ThreadCpuSeconds();
  run();
  f.wall = std::chrono::duration<double>(Clock::now() - start).count();
  f.cpu = ThreadCpuSeconds() - cpu0;
  f.out = b.host->BytesFromPc() - out0;
  f.back = b.host->BytesToPc() - back0;
  const std::vector<std::string> texts = b.modal.Texts();
  f.done = !texts.empty() && texts.back().rfind(last, 0) == 0;
  if (!f.done) {
    for (const std::string& t : texts) std::fprintf(stderr, "  message: %s\n", t.c_str());
  }
  return f;
}

double WireSeconds(long long bytes, int baud) { return static_cast<double>(bytes) * 10 / baud; }

// `wireBytes` on the line at `baud` and `unitSeconds` of the unit's own
// work are what the run cannot do without; the rest is the PC's turnaround.
void Print(const char* what, const Figures& f, long long wireBytes, int baud, double unitSeconds, int exchanges) {
  const double line = WireSeconds(wireBytes, baud) + unitSeconds;
  std::printf(
      "%-32s %s wall %7.2f s  line %7.2f s (wire %7.2f + unit %4.2f)  wall/line %.3f  turnaround %5.0f us/exchange"
      " (window thread's processor time %4.0f us)\n",
      what, f.done ? "ok    " : "FAILED", f.wall, line, WireSeconds(wireBytes, baud), unitSeconds, f.wall / line,
      (f.wall - line) / exchanges * 1e6, f.cpu / exchanges * 1e6);
  std::fflush(stdout);
}

void Ocd(const std::string& dir) {
  orv::sim::UnitOptions unit;
  unit.cable = orv::sim::Cable::Flash;
  Bench b(unit, 4800);
  if (!b.ok) return;
  const std::string image = dir + "/image.txt";
  Write(image, "[ZTQFLASH]\n" + Records(64));

  // One wire: the echo of what the PC sends and the debugger's answers.
  const double erase = static_cast<double>(orv::sim::Ocd::kMassEraseMs) / 1000;
  b.modal.files = {image};
  b.modal.answers = {IDYES, IDYES};
  const Figures program = Measure(b, "Loaded Flash: bytes =65536", [&] { b.dlg->OnFlash(); });
  Print("OCD program 64 KiB at 57600", program, program.back, 57600, erase, 4096);

  b.modal.files = {dir + "/unit.hex"};
  b.modal.answers = {IDYES};
  const Figures save = Measure(b, "FLASH CRC: ", [&] { b.dlg->OnSave(); });
  Print("OCD read back 64 KiB at 57600", save, save.back, 57600, 0, 4096);
}

void Loader(const std::string& dir, int baud, int kib) {
  orv::sim::UnitOptions unit;
  unit.unitBaud = baud;
  Bench b(unit, baud);
  if (!b.ok) return;
  const std::string image = dir + "/image.hex";
  const int pages = kib * 2;
  Write(image, orv::Format("[INTELHEX]00%02X\n", pages - 1) + Records(kib));
  b.modal.files = {image};
  b.modal.answers = {IDYES, IDYES};
  const Figures f = Measure(b, orv::Format("Loaded Flash: bytes =%d", kib * 1024), [&] { b.dlg->OnFlash(); });
  // Two wires: what the PC sends and the loader's answers each take their
  // own; an answer follows its record.
  const std::string what = orv::Format("loader Intel HEX %d KiB at %d", kib, baud);
  Print(what.c_str(), f, f.out + f.back, baud, pages * orv::sim::Loader::kPageEraseMs / 1000.0, kib * 64);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TempSettings settings;
  QTemporaryDir temporary;
  const QString dir = temporary.path();
  const std::string mode = argc > 1 ? argv[1] : "all";
  const int kib = argc > 2 ? std::atoi(argv[2]) : 64;
  if ((mode != "all" && mode != "ocd" && mode != "loader") || kib < 1 || kib > 64) {
    std::fprintf(stderr, "usage: bench_flash [ocd | loader [KiB, 1 to 64]]\n");
    return 2;
  }
  std::printf("The simulated unit gives both directions their wire time; goal wall/line <= 1.05.\n");
  if (mode != "loader") Ocd(dir.toStdString());
  if (mode != "ocd") {
    Loader(dir.toStdString(), 57600, kib);
    Loader(dir.toStdString(), 4800, kib);
  }
  return 0;
}
