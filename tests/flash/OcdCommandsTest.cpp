#include "flash/OcdCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FlashTesting.h"
#include "common/Crc16.h"

namespace orv::flash {
namespace {

using test::Must;

// Each command's bytes and read count, and the simulated debugger's answer
// to it, in debug mode and out of it: an answer of another length leaves
// every exchange of the run short, and a command that takes more or fewer
// bytes than its own makes the debugger read the next command wrong.
TEST(OcdCommands, CatalogueBytesReadCountsAndTheDebuggersAnswers) {
  const uint8_t two[] = {0xAA, 0xBB};
  const struct {
    const char* legend;
    OcdCommand command;
    std::vector<uint8_t> bytes;
    int readCount;
  } cases[] = {
      {"autobaud", Autobaud(), {0x80}, 2},
      {"read revision", ReadRevision(), {0x00}, 3},
      {"write control 81", WriteControl(0x81), {0x04, 0x81}, 2},
      {"read control", ReadControl(), {0x05}, 2},
      {"write register 123 <- 1 2 3", Must(WriteRegister(0x123, {1, 2, 3})), {0x08, 0x01, 0x23, 0x03, 1, 2, 3}, 7},
      {"read register FFA x2", Must(ReadRegister(0xFFA, 2)), {0x09, 0x0F, 0xFA, 0x02}, 6},
      {"write program memory 1234 <- AA BB", Must(WriteProgramMemory(0x1234, two, 2)),
       {0x0A, 0x12, 0x34, 0x00, 0x02, 0xAA, 0xBB}, 7},
      {"write program memory, count 0", Must(WriteProgramMemory(0x1234, nullptr, 0)),
       {0x0A, 0x12, 0x34, 0x00, 0x00}, 5},
      {"read program memory FFF0 x16", Must(ReadProgramMemory(0xFFF0, 16)), {0x0B, 0xFF, 0xF0, 0x00, 0x10}, 21},
      {"read memory CRC", ReadMemoryCrc(), {0x0E}, 3},
      {"flash set-up", Command(FlashCommand::SetUp), {0x08, 0x0F, 0xF8, 0x04, 0x00, 0x00, 0x48, 0x00}, 8},
      {"flash control 00", Command(FlashCommand::Control00), {0x08, 0x0F, 0xF8, 0x01, 0x00}, 5},
      {"unlock 1", Command(FlashCommand::Unlock1), {0x08, 0x0F, 0xF8, 0x01, 0x73}, 5},
      {"unlock 2", Command(FlashCommand::Unlock2), {0x08, 0x0F, 0xF8, 0x01, 0x8C}, 5},
      {"mass erase", Command(FlashCommand::MassErase), {0x08, 0x0F, 0xF8, 0x01, 0x63}, 5},
      {"flash status", Command(FlashCommand::Status), {0x09, 0x0F, 0xF8, 0x01}, 5},
      {"release", Command(FlashCommand::Release), {0x04, 0x00}, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.command.bytes, c.bytes) << c.legend;
    EXPECT_EQ(c.command.readCount, c.readCount) << c.legend;
    const size_t answer = static_cast<size_t>(std::max(0, c.readCount - static_cast<int>(c.bytes.size())));
    for (const bool debug : {true, false}) {
      test::SimLink unit;
      if (c.bytes[0] != 0x80) unit.Open();  // autobaud goes to a debugger that waits for it
      if (!debug) unit.Exchange(WriteControl(kControlRelease));
      EXPECT_EQ(unit.Answer(c.bytes).size(), answer) << c.legend << (debug ? " in debug mode" : " outside it");
      EXPECT_EQ(unit.Answer({0x00}).size(), 2u) << c.legend << ": read revision after it";
    }
  }
}

// The exchange buffer holds 24 bytes: 16 data bytes a command at most, and
// no memory command that would wrap past FFFF.
TEST(OcdCommands, RefusesWhatWouldOverrunOrWrap) {
  const uint8_t data[17] = {};
  const struct {
    const char* legend;
    std::optional<OcdCommand> command;
    bool built;
  } cases[] = {
      {"write program memory, the last 16 bytes of memory", WriteProgramMemory(0xFFF0, data, 16), true},
      {"read register, 16 bytes", ReadRegister(0xFF8, 16), true},
      {"write program memory, 17 bytes", WriteProgramMemory(0, data, 17), false},
      {"write program memory past FFFF", WriteProgramMemory(0xFFF8, data, 16), false},
      {"read program memory, 17 bytes", ReadProgramMemory(0, 17), false},
      {"read program memory past FFFF", ReadProgramMemory(0xFFF8, 9), false},
      {"write register, 13-bit address", WriteRegister(0x1000, {0}), false},
      {"read register, 17 bytes", ReadRegister(0xFF8, 17), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.command.has_value(), c.built) << c.legend;
    EXPECT_LE(c.command.value_or(OcdCommand{}).readCount, kOcdBufferSize) << c.legend;
  }
}

// The memory's CRC the run shows next to the debugger's: X.25, by its check value.
TEST(OcdCommands, AnswerTextsTakeBytesAsSignedAndTheCrcIsX25) {
  EXPECT_EQ(Crc16X25(reinterpret_cast<const uint8_t*>("123456789"), 9), 0x906E);
  const struct {
    uint8_t first;
    uint8_t second;
    const char* version;
    const char* crc;
  } cases[] = {
      {0x01, 0x02, "OCD VERSION: 1.2", "FLASH CRC:  1 2"},
      {0xAB, 0xCD, "OCD VERSION: -85.-51", "FLASH CRC: -85-51"},
      {0x7F, 0x80, "OCD VERSION: 127.-128", "FLASH CRC: 127-128"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OcdVersionText(c.first, c.second), c.version) << int(c.first) << " " << int(c.second);
    EXPECT_EQ(FlashCrcText(c.first, c.second), c.crc) << int(c.first) << " " << int(c.second);
  }
}

}  // namespace
}  // namespace orv::flash
