// FLASH and SAVE to ".hex" against the simulated unit pacing its line:
// wall time against the time the bytes need on the wire. Prints figures;
// gates nothing.
//
//   bench_flash            all of them
//   bench_flash ocd        64 KiB programmed and read back through the debugger at 57600
//   bench_flash loader     a 64 KiB Intel HEX image through the unit's loader at 4800 and 230400
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "ScriptedModal.h"
#include "TempSettings.h"
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "flash/Messages.h"
#include "sim/PtyHost.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace msg = orv::flash::msg;

// 64 KiB of noise as 4096 Intel HEX data records of 16 bytes, LF ended.
std::string Records() {
  std::mt19937 rng(7);
  std::string text;
  for (int address = 0; address < 0x10000; address += 16) {
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
  Bench(orv::sim::UnitOptions unit, int baud)
      : host(unit, orv::sim::HostOptions{true, ""}), echoes(unit.cable == orv::sim::Cable::Flash) {
    std::string error;
    if (!host.Start(error)) {
      std::fprintf(stderr, "bench_flash: %s\n", error.c_str());
      return;
    }
    ViewerEnvironment env;
    env.modal = &modal;
    const std::string device = host.SlavePath();
    env.resolvePort = [device](const std::string&) { return device; };
    dlg = std::make_unique<CViewerDlg>(env);
    dlg->OnInitDialog();
    dlg->show();
    const bool exposed = QTest::qWaitForWindowExposed(dlg.get());
    dlg->m_nBaudRate = baud;
    dlg->OnConnect();
    ok = exposed && dlg->m_hPort != nullptr && QTest::qWaitFor([&] { return host.BytesFromPc() >= 24; }, 5000);
    // The FLASH cable returns the three G commands of the connect.
    if (ok && echoes) ok = QTest::qWaitFor([&] { return InQueue() >= 24; }, 5000);
    // A person answers "Are you sure" long after the cable has returned
    // "$PZTQC,P"; the scripted answer waits (bounded) for that echo.
    modal.onMessage = [this](const ShownMessage& m) {
      if (echoes && m.text == msg::kSureToFlash && !QTest::qWaitFor([&] { return InQueue() >= inBefore + 8; }, 2000)) {
        std::fprintf(stderr, "bench_flash: no echo of $PZTQC,P\n");
      }
    };
  }
  ~Bench() {
    if (dlg) dlg->done(0);
  }
  int InQueue() {
    int in = 0, out = 0;
    return dlg->m_hPort && dlg->m_hPort->QueueCounts(in, out).ok() ? in : 0;
  }

  orv::sim::PtyHost host;
  ScriptedModal modal;
  std::unique_ptr<CViewerDlg> dlg;
  bool echoes = false;
  bool ok = false;
  int inBefore = 0;
};

struct Figures {
  double wall = 0;
  long long out = 0, back = 0;
  bool done = false;
};

template <class F>
Figures Measure(Bench& b, const std::string& last, F run) {
  Figures f;
  b.modal.Clear();
  b.inBefore = b.InQueue();
  const long long out0 = b.host.BytesFromPc(), back0 = b.host.BytesToPc();
  const auto start = Clock::now();
  run();
  f.wall = std::chrono::duration<double>(Clock::now() - start).count();
  f.out = b.host.BytesFromPc() - out0;
  f.back = b.host.BytesToPc() - back0;
  const std::vector<std::string> texts = b.modal.Texts();
  f.done = !texts.empty() && texts.back().rfind(last, 0) == 0;
  if (!f.done) {
    for (const std::string& t : texts) std::fprintf(stderr, "  message: %s\n", t.c_str());
  }
  return f;
}

double WireSeconds(long long bytes, int baud) { return static_cast<double>(bytes) * 10 / baud; }

void Print(const char* what, const Figures& f, int baud, bool bothWays) {
  const double back = WireSeconds(f.back, baud);
  std::printf("%-34s %s  wall %7.2f s  bytes out %7lld back %7lld  wire(back) %7.2f s  wall/wire(back) %.3f", what,
              f.done ? "ok    " : "FAILED", f.wall, f.out, f.back, back, f.wall / back);
  if (bothWays) {
    const double both = WireSeconds(f.out + f.back, baud);
    std::printf("  wire(both ways) %7.2f s  wall/wire(both) %.3f", both, f.wall / both);
  }
  std::printf("\n");
  std::fflush(stdout);
}

void Ocd(const QTemporaryDir& dir) {
  orv::sim::UnitOptions unit;
  unit.cable = orv::sim::Cable::Flash;
  Bench b(unit, 4800);
  if (!b.ok) return;
  const std::string image = dir.path().toStdString() + "/image.txt";
  Write(image, "[ZTQFLASH]\n" + Records());

  b.modal.files = {image};
  b.modal.answers = {IDYES, IDYES};
  Print("OCD program 64 KiB at 57600", Measure(b, "Loaded Flash: bytes =65536", [&] { b.dlg->OnFlash(); }), 57600,
        false);

  b.modal.files = {dir.path().toStdString() + "/unit.hex"};
  b.modal.answers = {IDYES};
  Print("OCD read back 64 KiB at 57600", Measure(b, "FLASH CRC: ", [&] { b.dlg->OnSave(); }), 57600, false);
}

void Loader(const QTemporaryDir& dir, int baud) {
  orv::sim::UnitOptions unit;
  unit.cable = orv::sim::Cable::Data;
  unit.unitBaud = baud;
  unit.replay = std::vector<uint8_t>{};  // no stream: only the loader talks
  Bench b(unit, baud);
  if (!b.ok) return;
  const std::string image = dir.path().toStdString() + "/image.hex";
  Write(image, "[INTELHEX]007F\n" + Records());
  b.modal.files = {image};
  b.modal.answers = {IDYES, IDYES};
  const std::string what = "loader Intel HEX 64 KiB at " + std::to_string(baud);
  Print(what.c_str(), Measure(b, "Loaded Flash: bytes =65536", [&] { b.dlg->OnFlash(); }), baud, true);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TempSettings settings;
  QTemporaryDir dir;
  const std::string mode = argc > 1 ? argv[1] : "all";
  if (mode != "all" && mode != "ocd" && mode != "loader") {
    std::fprintf(stderr, "usage: bench_flash [ocd|loader]\n");
    return 2;
  }
  std::printf("The simulated unit paces what it sends at the line's rate; what the PC sends is not paced.\n");
  if (mode != "loader") Ocd(dir);
  if (mode != "ocd") {
    Loader(dir, 230400);
    Loader(dir, 4800);
  }
  return 0;
}
