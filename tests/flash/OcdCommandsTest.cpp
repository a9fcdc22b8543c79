#include "flash/OcdCommands.h"

#include <gtest/gtest.h>

#include <vector>

namespace orv::flash {
namespace {

using Bytes = std::vector<uint8_t>;

struct CommandCase {
  const char* legend;
  OcdCommand command;
  Bytes bytes;
  int readCount;
};

OcdCommand Must(const std::optional<OcdCommand>& command) { return command.value_or(OcdCommand{}); }

TEST(OcdCommands, CatalogueBytesAndReadCounts) {
  const uint8_t two[] = {0xAA, 0xBB};
  const CommandCase cases[] = {
      {"autobaud", Autobaud(), {0x80}, 2},
      {"read revision", ReadRevision(), {0x00}, 3},
      {"write control 81", WriteControl(0x81), {0x04, 0x81}, 2},
      {"read control", ReadControl(), {0x05}, 2},
      {"write register FF8 <- 73", Must(WriteRegister(0xFF8, {0x73})), {0x08, 0x0F, 0xF8, 0x01, 0x73}, 5},
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
  for (const CommandCase& c : cases) {
    EXPECT_EQ(c.command.bytes, c.bytes) << c.legend;
    EXPECT_EQ(c.command.readCount, c.readCount) << c.legend;
  }
}

TEST(OcdCommands, EveryCommandFitsTheExchangeBuffer) {
  const uint8_t sixteen[16] = {};
  const OcdCommand largest[] = {Must(WriteProgramMemory(0, sixteen, 16)), Must(ReadProgramMemory(0, 16)),
                                Must(WriteRegister(0, Bytes(16, 0))), Must(ReadRegister(0, 16))};
  for (const OcdCommand& command : largest) {
    EXPECT_LE(static_cast<int>(command.bytes.size()), kOcdBufferSize);
    EXPECT_LE(command.readCount, kOcdBufferSize);
  }
}

struct RefusalCase {
  const char* legend;
  std::optional<OcdCommand> command;
};

TEST(OcdCommands, RefusesWhatWouldOverrunOrWrap) {
  const uint8_t data[17] = {};
  const RefusalCase cases[] = {
      {"write program memory, 17 bytes", WriteProgramMemory(0, data, 17)},
      {"write program memory past FFFF", WriteProgramMemory(0xFFF8, data, 16)},
      {"write program memory, no data", WriteProgramMemory(0, nullptr, 4)},
      {"read program memory, 17 bytes", ReadProgramMemory(0, 17)},
      {"read program memory past FFFF", ReadProgramMemory(0xFFF8, 9)},
      {"write register, 13-bit address", WriteRegister(0x1000, {0})},
      {"write register, no data", WriteRegister(0xFF8, {})},
      {"read register, count 0", ReadRegister(0xFF8, 0)},
      {"read register, 17 bytes", ReadRegister(0xFF8, 17)},
  };
  for (const RefusalCase& c : cases) EXPECT_FALSE(c.command.has_value()) << c.legend;

  EXPECT_TRUE(WriteProgramMemory(0xFFF0, data, 16).has_value()) << "last 16 bytes of memory";
}

struct TextCase {
  uint8_t first;
  uint8_t second;
  const char* version;
  const char* crc;
};

TEST(OcdCommands, AnswerTextsTakeBytesAsSigned) {
  const TextCase cases[] = {
      {0x01, 0x02, "OCD VERSION: 1.2", "FLASH CRC:  1 2"},
      {0x12, 0x34, "OCD VERSION: 18.52", "FLASH CRC: 1852"},
      {0xAB, 0xCD, "OCD VERSION: -85.-51", "FLASH CRC: -85-51"},
      {0x7F, 0x80, "OCD VERSION: 127.-128", "FLASH CRC: 127-128"},
      {0xFF, 0x00, "OCD VERSION: -1.0", "FLASH CRC: -1 0"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(OcdVersionText(c.first, c.second), c.version) << int(c.first) << " " << int(c.second);
    EXPECT_EQ(FlashCrcText(c.first, c.second), c.crc) << int(c.first) << " " << int(c.second);
  }
}

}  // namespace
}  // namespace orv::flash
