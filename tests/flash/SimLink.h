#pragma once
// The simulated unit's debugger behind a sound FLASH cable: every byte sent
// comes back, followed by the debugger's answer.
#include <cstdint>
#include <vector>

#include "flash/OcdCommands.h"
#include "sim/Ocd.h"

namespace orv::flash::test {

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

// A command the catalogue builds only within its limits, for the tests that
// stay inside them.
inline OcdCommand Must(const std::optional<OcdCommand>& command) { return command.value_or(OcdCommand{}); }

}  // namespace orv::flash::test
