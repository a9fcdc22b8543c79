#include "FlashSession.h"

#include <QTest>
#include <gtest/gtest.h>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "Waits.h"
#include "display/DisplayModel.h"
#include "flash/Messages.h"
#include "sim/MemoryImage.h"

namespace flashtest {

using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  return static_cast<bool>(out);
}

std::string DataFile(const char* name) { return std::string(ORVANTA_SOURCE_DIR) + "/tests/flash/data/" + name; }

Memory RandomMemory(uint32_t seed) {
  std::mt19937 rng(seed);
  Memory memory;
  for (uint8_t& b : memory) b = static_cast<uint8_t>(rng());
  return memory;
}

Memory ErasedMemory() {
  Memory memory;
  memory.fill(0xFF);
  return memory;
}

Memory HexOver(const std::string& text, Memory memory) {
  std::string error;
  EXPECT_TRUE(orv::sim::ReadHexImage(text, memory, error)) << error;
  return memory;
}

std::vector<uint8_t> Bytes(const Memory& memory) { return std::vector<uint8_t>(memory.begin(), memory.end()); }

bool HaveSrecCat() { return std::system("command -v srec_cat >/dev/null 2>&1") == 0; }

// ---- Progress ----

namespace {

char CharOfGlyph(int offset) {
  static const struct {
    char c;
    int offset;
  } kLetters[] = {{'F', 380}, {'L', 500}, {'A', 280}, {'S', 640}, {'H', 420}, {' ', 0}};
  for (const auto& l : kLetters) {
    if (l.offset == offset) return l.c;
  }
  for (const char c : std::string("0123456789ABCDEF")) {
    if (orv::HexDigitGlyph(static_cast<unsigned char>(c)) * orv::kGlyphWidth == offset) return c;
  }
  return '?';
}

}  // namespace

ProgressRecorder::ProgressRecorder(CViewerDlg* dlg) : dlg_(dlg) {
  dlg_->installEventFilter(this);
  // Repaints of a window that is not exposed yet are dropped.
  EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg_));
}

ProgressRecorder::~ProgressRecorder() {
  if (dlg_) dlg_->removeEventFilter(this);
}

bool ProgressRecorder::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dlg_ && event->type() == QEvent::Paint) {
    std::string row;
    {
      std::lock_guard<std::mutex> lock(dlg_->m_lock);
      for (int i = 0; i < 10; ++i) row += CharOfGlyph(dlg_->m_model.m_nGlyphOffset[i]);
    }
    if (row.compare(0, 6, "FLASH ") == 0 && (rows.empty() || rows.back() != row)) {
      rows.push_back(row);
      if (onRow) onRow(row);
    }
  }
  return false;
}

std::vector<std::string> ProgressOf(const std::vector<std::string>& addresses) {
  std::vector<std::string> rows;
  for (const std::string& a : addresses) {
    const std::string row = "FLASH " + a;
    if (rows.empty() || rows.back() != row) rows.push_back(row);
  }
  return rows;
}

// ---- Session ----

namespace {

// No stream from the unit on the data cable: nothing but the loader's
// answers comes back, so no stream byte can be taken for one.
orv::sim::UnitOptions Quiet(orv::sim::UnitOptions unit) {
  if (unit.cable == orv::sim::Cable::Data && !unit.replay) unit.replay = std::vector<uint8_t>{};
  return unit;
}

}  // namespace

Session::Session(const orv::sim::UnitOptions& unit, bool pacing)
    : host(std::make_unique<orv::sim::PtyHost>(Quiet(unit), orv::sim::HostOptions{pacing, ""})) {
  std::string error;
  started = host->Start(error);
  EXPECT_TRUE(started) << error;
  echoes = unit.cable == orv::sim::Cable::Flash && !unit.faults.noEcho;
  w.modal.onMessage = [this](const ShownMessage& m) { Settle(m); };
}

Session::Session(const std::vector<std::string>& simArgs) {
  std::vector<std::string> args = simArgs;
  bool flash = false;
  for (size_t i = 0; i + 1 < args.size(); ++i) flash = flash || (args[i] == "--cable" && args[i + 1] == "flash");
  if (!flash) args.insert(args.end(), {"--replay", "/dev/null"});
  started = sim.Start(args);
  EXPECT_TRUE(started) << "quorvel-sim did not start";
  echoes = flash;
  w.modal.onMessage = [this](const ShownMessage& m) { Settle(m); };
}

int Session::InQueue() const {
  const PortHandle port = w.dlg->m_hPort;
  int in = 0, out = 0;
  if (!port || !port->QueueCounts(in, out).ok()) return -1;
  return in;
}

// A person takes a while to answer "Are you sure": long enough for the
// cable to have returned "$PZTQC,P" before the debugger's opening flushes
// the input. A scripted answer comes at once, so wait (bounded) for that.
void Session::Settle(const ShownMessage& m) {
  if (echoes && m.text == orv::flash::msg::kSureToFlash) {
    EXPECT_TRUE(WaitFor([this] { return InQueue() >= inQueueBefore + 8; }, 2000)) << "the echo of $PZTQC,P";
  }
  if (onMessage) onMessage(m);
}

bool Session::Connect(int baud) {
  const std::string path = host ? host->SlavePath() : sim.SlavePath();
  w.resolve = [path](const std::string&) { return path; };
  w.dlg->m_nBaudRate = baud;
  w.dlg->OnConnect();
  w.modal.Clear();
  const bool open = w.dlg->m_bConnected && w.dlg->m_hPort && w.dlg->m_hPort->IsOpen();
  // The cable returns the three G commands of the connect.
  if (open && echoes) {
    EXPECT_TRUE(WaitFor([this] { return InQueue() >= 24; }, 2000)) << "the echo of the connect";
  }
  if (open && host) {
    EXPECT_TRUE(WaitFor([this] { return host->BytesFromPc() >= 24; }, 2000)) << "the three G commands";
  }
  return open;
}

namespace {

double Timed(const std::function<void()>& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

double Session::Flash(const std::string& path, std::vector<int> answers) {
  w.modal.files.push_back(path);
  for (int a : answers) w.modal.answers.push_back(a);
  inQueueBefore = std::max(0, InQueue());
  return Timed([&] { w.dlg->OnFlash(); });
}

double Session::Save(const std::string& path, std::vector<int> answers) {
  w.modal.files.push_back(path);
  for (int a : answers) w.modal.answers.push_back(a);
  return Timed([&] { w.dlg->OnSave(); });
}

std::string Session::Path(const std::string& name) const { return w.workDir.path().toStdString() + "/" + name; }

int Session::Baud() const {
  const PortHandle port = w.dlg->m_hPort;
  return port ? port->BaudRate() : -1;
}

bool Session::OcdTimeouts() const {
  const PortHandle port = w.dlg->m_hPort;
  if (!port) return false;
  const orv::serial::Timeouts t = port->GetTimeouts();
  return !t.readReturnsAtOnce && t.readConstantMs == 100 && t.readMultiplierMs == 1 && t.writeConstantMs == 100 &&
         t.writeMultiplierMs == 1;
}

bool Session::UnitHasHeardAll() {
  const auto status = [this] { return host->WithUnit([](orv::sim::Unit& u) { return u.StatusText(); }); };
  const std::string before = status();
  w.dlg->OnPage();
  return WaitFor([&] { return status() != before; }, 2000);
}

Memory Session::UnitMemory() {
  return host->WithUnit([](orv::sim::Unit& unit) { return unit.memory(); });
}

bool Session::InDebugMode() {
  return host->WithUnit([](orv::sim::Unit& unit) { return unit.ocd().InDebugMode(); });
}

}  // namespace flashtest
