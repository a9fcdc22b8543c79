#pragma once
// The simulated unit as the flash tests meet it without a pseudo-terminal:
// its debugger behind a sound cable (SimLink), a serial port whose far end
// is the whole unit in the test's own thread (SimPort), and a FlashHost
// that answers from a script and records what it was told (TestHost).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <cstdint>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "common/Crc16.h"
#include "flash/FlashHost.h"
#include "flash/Messages.h"
#include "flash/OcdCommands.h"
#include "sim/Faults.h"
#include "sim/MemoryImage.h"
#include "sim/Unit.h"
#include "tests/support/ReadFile.h"

namespace orv::flash::test {

using orv::test::ReadFile;

// Made once with srec_cat and committed:
//   srec_cat -generate 0 0x400 -random -o srec16_type04.hex -Intel -Output_Block_Size=16 -address-length=4
//   srec_cat -generate 0x8000 0x8300 -random -o srec16_type02.hex -Intel -Output_Block_Size=16 -address-length=3
//   srec_cat -generate 0 0x100 -random -o srec32.hex -Intel -Output_Block_Size=32 -address-length=2
inline std::string DataFile(const char* name) {
  return ReadFile(std::string(ORVANTA_SOURCE_DIR) + "/tests/flash/data/" + name);
}
// What `sed 's/.*/\L&/'` makes of a file.
inline std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The memory the simulator's own Intel HEX reader makes of `text` over `memory`.
inline sim::Memory HexOver(const std::string& text, sim::Memory memory) {
  std::string error;
  EXPECT_TRUE(sim::ReadHexImage(text, memory, error)) << error;
  return memory;
}
// "FLASH CRC: ..." for a memory.
inline std::string CrcText(const sim::Memory& memory) {
  const uint16_t crc = Crc16X25(memory.data(), memory.size());
  return FlashCrcText(static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF));
}

// The debugger alone, answering at once.
struct SimLink {
  sim::Memory memory{};
  sim::Ocd ocd{memory};
  int64_t nowMs = 0;

  // The debugger's own bytes for `bytes`, without the echo.
  std::vector<uint8_t> Answer(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out;
    for (uint8_t b : bytes) ocd.Receive(b, nowMs, out);
    return out;
  }
  // What the host reads back: the echo, then the answer.
  std::vector<uint8_t> Exchange(const OcdCommand& command) {
    std::vector<uint8_t> read = command.bytes;
    const std::vector<uint8_t> answer = Answer(command.bytes);
    read.insert(read.end(), answer.begin(), answer.end());
    return read;
  }
  void Exchange(std::initializer_list<FlashCommand> commands) {
    for (FlashCommand c : commands) Exchange(Command(c));
  }
  // Break, autobaud, debug mode with reset, as the opening handshake does.
  void Open() {
    ocd.Break();
    Exchange(Autobaud());
    Exchange(WriteControl(kControlDebug));
    Exchange(WriteControl(kControlDebugReset));
  }
  uint8_t FlashStatus() { return Exchange(Command(FlashCommand::Status))[kFlashStatusAt]; }
};

// A command the catalogue builds only within its limits.
inline OcdCommand Must(const std::optional<OcdCommand>& command) { return command.value_or(OcdCommand{}); }

inline sim::UnitOptions Unit(sim::Cable cable, const std::string& fault = "") {
  sim::UnitOptions unit;
  unit.cable = cable;
  unit.replay = std::vector<uint8_t>{};  // no stream: nothing but answers comes back
  std::string error;
  EXPECT_TRUE(fault.empty() || sim::ApplyFault(fault, unit.faults, error)) << error;
  return unit;
}

// The port of a PC joined to the whole simulated unit. Written bytes reach
// the unit at once; its answers are taken when they are due on the real
// clock, in the reading thread itself, so no busy machine can make them late.
class SimPort : public serial::Port {
 public:
  explicit SimPort(const sim::UnitOptions& options, int baud = 4800) : unit(options), baud_(baud) {}

  sim::Unit unit;
  std::string sent;                  // every byte written, in order
  std::vector<std::string> log;      // settings and break, in order
  bool failBaud = false, failTimeouts = false, failCounts = false, open = true;
  int stuckOut = 0;                  // bytes that never leave the output queue

  const std::string& Path() const override { return path_; }
  bool IsOpen() const override { return open; }
  serial::Status Configure(int baud) override { return SetBaudRate(baud); }
  serial::Status SetBaudRate(int baud) override {
    return Set("baud " + std::to_string(baud), failBaud, [&] { baud_ = baud; });
  }
  int BaudRate() const override { return baud_; }
  serial::Status SetTimeouts(const serial::Timeouts& t) override {
    return Set("timeouts", failTimeouts, [&] { timeouts_ = t; });
  }
  serial::Timeouts GetTimeouts() const override { return timeouts_; }
  serial::Status SetRts(bool) override { return {}; }
  serial::Status SetBreak(bool on) override { return Set(on ? "break on" : "break off", false, [] {}); }
  serial::Status SetEventMask(unsigned) override { return {}; }
  serial::Status QueueCounts(int& in, int& out) override {
    Pump();
    in = static_cast<int>(inbox_.size());
    out = stuckOut;
    return failCounts ? Failed(serial::Error::Io) : serial::Status{};
  }
  serial::Status Read(void* data, int n, int& got) override {
    const bool atOnce = timeouts_.readReturnsAtOnce;
    const bool complete = Await(n, atOnce ? 0 : timeouts_.ReadTotalMs(n));
    got = std::min<int>(n, static_cast<int>(inbox_.size()));
    std::copy(inbox_.begin(), inbox_.begin() + got, static_cast<char*>(data));
    inbox_.erase(0, static_cast<size_t>(got));
    return complete || atOnce ? serial::Status{} : Failed(serial::Error::Timeout);
  }
  serial::Status Write(const void* data, int n, int& written) override {
    written = 0;
    if (!open) return Failed(serial::Error::Closed);
    sent.append(static_cast<const char*>(data), static_cast<size_t>(n));
    unit.Receive(static_cast<const uint8_t*>(data), static_cast<size_t>(n), baud_, NowMs());
    written = n;
    return {};
  }
  serial::Status WaitForInput(int minBytes, int timeoutMs) override {
    return Await(minBytes, timeoutMs) ? serial::Status{} : Failed(serial::Error::Timeout);
  }
  void Cancel() override {}
  void ClearCancel() override {}
  serial::Status Close() override { return Set("close", false, [&] { open = false; }); }

 private:
  template <class F>
  serial::Status Set(const std::string& what, bool fail, F apply) {
    log.push_back(what);
    if (fail) return Failed(serial::Error::Config);
    apply();
    return {};
  }
  static serial::Status Failed(serial::Error code) {
    serial::Status s;
    s.code = code;
    return s;
  }
  int64_t NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  }
  void Pump() {
    uint8_t buffer[4096];
    inbox_.append(reinterpret_cast<char*>(buffer), unit.Transmit(buffer, sizeof buffer, baud_, NowMs()));
  }
  bool Await(int n, long long ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (Pump(); static_cast<int>(inbox_.size()) < n; Pump()) {
      if (!open || std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
  }

  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  int baud_;
  serial::Timeouts timeouts_ = serial::Timeouts::Connection();
  std::string inbox_;
  std::string path_ = "sim";
};

// Questions and progress reports carry "Status", everything else "Error".
inline const char* CaptionOf(const std::string& text) {
  const char* status[] = {msg::kSureToFlash, msg::kEraseAndFlash, msg::kSaveFlashData, msg::kFlashErased,
                          "OCD VERSION: ",    "FLASH CRC: ",       "Loaded Flash: bytes ="};
  for (const char* s : status) {
    if (text.rfind(s, 0) == 0) return msg::kCaptionStatus;
  }
  return msg::kCaptionError;
}
inline bool IsQuestion(const std::string& text) {
  return text == msg::kSureToFlash || text == msg::kEraseAndFlash || text == msg::kSaveFlashData;
}

class TestHost : public FlashHost {
 public:
  explicit TestHost(std::shared_ptr<SimPort> port, std::deque<int> answers = {})
      : port(std::move(port)), answers(std::move(answers)) {}

  std::shared_ptr<serial::Port> LinkPort() override { return port; }
  int ConnectionBaud() override { return 4800; }
  int Message(const std::string& text, const char* caption, Buttons buttons) override {
    texts.push_back(text);
    EXPECT_STREQ(caption, CaptionOf(text)) << text;
    EXPECT_EQ(buttons, IsQuestion(text) ? Buttons::YesNo : Buttons::Ok) << text;
    if (onMessage) onMessage(text);
    if (buttons == Buttons::Ok) return IDOK;
    EXPECT_FALSE(answers.empty()) << "unscripted question: " << text;
    const int answer = answers.empty() ? IDNO : answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void Progress(const std::string& address) override {
    progress.push_back(address);
    if (onProgress) onProgress(address);
  }
  void PortBusy(bool b) override { busy = b; }

  std::shared_ptr<SimPort> port;
  std::deque<int> answers;
  std::vector<std::string> texts;
  std::vector<std::string> progress;
  std::function<void(const std::string&)> onMessage;
  std::function<void(const std::string&)> onProgress;
  bool busy = false;
};

}  // namespace orv::flash::test
