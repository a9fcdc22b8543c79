#include "sim/Ocd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Crc16.h"
#include "flash/OcdCommands.h"
#include "SimLink.h"

namespace orv::flash {
namespace {

using Bytes = std::vector<uint8_t>;
using test::SimLink;
using sim::Ocd;

struct CrcCase {
  const char* legend;
  Bytes data;
  uint16_t crc;
};

TEST(Crc16X25, PublishedAndKnownValues) {
  const std::string check = "123456789";
  const CrcCase cases[] = {
      {"check value of 123456789", Bytes(check.begin(), check.end()), 0x906E},
      {"nothing", {}, 0x0000},
      {"64 KiB erased: looks like outside debug mode", Bytes(0x10000, 0xFF), 0xFFFF},
      {"64 KiB of zeros", Bytes(0x10000, 0x00), 0x0F47},
  };
  for (const CrcCase& c : cases) EXPECT_EQ(Crc16X25(c.data.data(), c.data.size()), c.crc) << c.legend;
}

// ---- The link ----

TEST(OcdSim, NothingBeforeTheAutobaudCharacter) {
  SimLink unit;
  EXPECT_EQ(unit.Answer({0x00, 0x05, 0x0E}), Bytes{}) << "no rate yet";
  EXPECT_EQ(unit.Answer({0x80}), Bytes{0x00}) << "autobaud: one byte after the cable's echo";
  EXPECT_EQ(unit.Answer({0x00}), (Bytes{Ocd::kRevisionMajor, Ocd::kRevisionMinor}));
  unit.ocd.Break();
  EXPECT_EQ(unit.Answer({0x00}), Bytes{}) << "a break wants a new autobaud";
}

TEST(OcdSim, BreakAbortsACommandAndKeepsDebugMode) {
  SimLink unit;
  unit.Open();
  unit.Answer({0x0B, 0x00});  // half a read program memory
  unit.ocd.Break();
  EXPECT_TRUE(unit.ocd.InDebugMode());
  unit.Answer({0x80});
  EXPECT_EQ(unit.Answer({0x05}), Bytes{0x80}) << "the half command is gone";
}

struct ReplyCase {
  const char* legend;
  OcdCommand command;
};

OcdCommand Must(const std::optional<OcdCommand>& command) { return command.value_or(OcdCommand{}); }

// The catalogue's read counts and the simulated debugger must agree, in
// debug mode and out of it, or every exchange of the run comes up short.
TEST(OcdSim, EveryCommandAnswersWhatItsReadCountExpects) {
  const uint8_t data[16] = {};
  const ReplyCase cases[] = {
      {"read revision", ReadRevision()},
      {"write control 80", WriteControl(0x80)},
      {"read control", ReadControl()},
      {"write register, 4 bytes", Must(WriteRegister(0x100, {1, 2, 3, 4}))},
      {"read register, 3 bytes", Must(ReadRegister(0x100, 3))},
      {"write program memory, 16 bytes", Must(WriteProgramMemory(0x1000, data, 16))},
      {"write program memory, 0 bytes", Must(WriteProgramMemory(0x1000, data, 0))},
      {"read program memory, 16 bytes", Must(ReadProgramMemory(0x1000, 16))},
      {"read memory CRC", ReadMemoryCrc()},
      {"flash set-up", Command(FlashCommand::SetUp)},
      {"flash control 00", Command(FlashCommand::Control00)},
      {"unlock 1", Command(FlashCommand::Unlock1)},
      {"flash status", Command(FlashCommand::Status)},
  };
  for (bool debug : {true, false}) {
    SimLink unit;
    unit.Open();
    if (!debug) unit.Exchange(WriteControl(kControlRelease));
    ASSERT_EQ(unit.ocd.InDebugMode(), debug);
    for (const ReplyCase& c : cases) {
      if (debug == false && c.command.bytes == WriteControl(0x80).bytes) continue;  // would enter debug mode
      EXPECT_EQ(static_cast<int>(unit.Exchange(c.command).size()), c.command.readCount)
          << c.legend << (debug ? " in debug mode" : " outside debug mode");
    }
  }
  SimLink unit;
  EXPECT_EQ(static_cast<int>(unit.Exchange(Autobaud()).size()), Autobaud().readCount) << "autobaud";
  // The release reads one byte of two echoed; the debugger adds nothing.
  unit.Open();
  EXPECT_EQ(unit.Exchange(Command(FlashCommand::Release)).size(), 2u) << "release";
}

TEST(OcdSim, ZeroCountWriteCarriesNoData) {
  SimLink unit;
  unit.Open();
  unit.Answer({0x0A, 0x12, 0x34, 0x00, 0x00});
  EXPECT_EQ(unit.Answer({0x00}), (Bytes{Ocd::kRevisionMajor, Ocd::kRevisionMinor})) << "next byte is a command";
}

TEST(OcdSim, RegisterCountZeroMeans256) {
  SimLink unit;
  unit.Open();
  EXPECT_EQ(unit.Answer({0x09, 0x00, 0x00, 0x00}).size(), 256u);
}

struct ControlCase {
  const char* legend;
  uint8_t written;
  uint8_t readBack;
  bool debug;
};

TEST(OcdSim, ControlRegister) {
  const ControlCase cases[] = {
      {"debug mode", 0x80, 0x80, true},
      {"debug mode and reset: the reset clears itself", 0x81, 0x80, true},
      {"release", 0x00, 0x00, false},
      {"break enable kept", 0xC0, 0xC0, true},
  };
  for (const ControlCase& c : cases) {
    SimLink unit;
    unit.Answer({0x80});
    unit.Exchange(WriteControl(c.written));
    EXPECT_EQ(unit.Exchange(ReadControl())[kControlValueAt], c.readBack) << c.legend;
    EXPECT_EQ(unit.ocd.InDebugMode(), c.debug) << c.legend;
    EXPECT_EQ(unit.ocd.Control(), c.readBack) << c.legend;
    EXPECT_EQ(unit.Answer({0x02}), Bytes{static_cast<uint8_t>(c.debug ? 0x80 : 0x00)}) << c.legend << ": status";
  }
}

// ---- The flash controller ----

struct UnlockCase {
  const char* legend;
  Bytes written;  // to FF8, one command each
  uint8_t status;
  bool writesTakeEffect;
};

TEST(OcdSim, UnlockOrder) {
  const UnlockCase cases[] = {
      {"73 then 8C", {0x73, 0x8C}, 0x03, true},
      {"73 alone", {0x73}, 0x01, false},
      {"8C then 73", {0x8C, 0x73}, 0x01, false},
      {"73 00 8C", {0x73, 0x00, 0x8C}, 0x00, false},
      {"73 8C then 00 locks", {0x73, 0x8C, 0x00}, 0x00, false},
      {"73 8C then 5E locks", {0x73, 0x8C, 0x5E}, 0x00, false},
      {"73 63 locks, erases nothing", {0x73, 0x63}, 0x00, false},
      {"73 73 8C: 73 starts the pair again", {0x73, 0x73, 0x8C}, 0x03, true},
      {"nothing", {}, 0x00, false},
  };
  const uint8_t data[] = {0x5A};
  for (const UnlockCase& c : cases) {
    SimLink unit;
    unit.memory.fill(0xFF);
    unit.Open();
    for (uint8_t value : c.written) unit.Exchange(Must(WriteRegister(kFlashControlRegister, {value})));
    EXPECT_EQ(unit.FlashStatus(), c.status) << c.legend;
    unit.Exchange(Must(WriteProgramMemory(0x0200, data, 1)));
    EXPECT_EQ(unit.memory[0x0200], c.writesTakeEffect ? 0x5A : 0xFF) << c.legend;
    EXPECT_EQ(unit.ocd.MemoryWriteCount(), c.writesTakeEffect ? 1 : 0) << c.legend;
    EXPECT_EQ(unit.ocd.MassEraseCount(), 0) << c.legend;
  }
}

void Unlock(SimLink& unit) {
  unit.Exchange(Command(FlashCommand::Unlock1));
  unit.Exchange(Command(FlashCommand::Unlock2));
}

TEST(OcdSim, WritesOnlyInDebugModeWhileUnlocked) {
  SimLink unit;
  unit.memory.fill(0xFF);
  unit.Open();
  Unlock(unit);
  unit.Exchange(WriteControl(kControlRelease));
  const uint8_t data[] = {0x12, 0x34};
  unit.Exchange(Must(WriteProgramMemory(0x0300, data, 2)));
  EXPECT_EQ(unit.memory[0x0300], 0xFF) << "outside debug mode";
  EXPECT_EQ(unit.ocd.MemoryWriteCount(), 0);
}

TEST(OcdSim, ProgrammingOnlyClearsBits) {
  SimLink unit;
  unit.memory.fill(0xF0);
  unit.Open();
  Unlock(unit);
  const uint8_t data[] = {0x3C};
  unit.Exchange(Must(WriteProgramMemory(0x0000, data, 1)));
  EXPECT_EQ(unit.memory[0], 0x30);
}

TEST(OcdSim, ResetLocksTheController) {
  SimLink unit;
  unit.Open();
  Unlock(unit);
  unit.Exchange(WriteControl(kControlDebugReset));
  EXPECT_EQ(unit.FlashStatus(), 0x00);
}

TEST(OcdSim, SetUpStoresTheClock) {
  SimLink unit;
  unit.Open();
  unit.Exchange(Command(FlashCommand::SetUp));
  const Bytes read = unit.Exchange(Must(ReadRegister(0xFF9, 3)));
  EXPECT_EQ(Bytes(read.begin() + kRegisterDataAt, read.end()), (Bytes{0x00, 0x48, 0x00}));
}

struct EraseCase {
  int64_t afterMs;
  uint8_t status;
};

TEST(OcdSim, MassEraseBusyForItsTimeThenLocked) {
  SimLink unit;
  unit.memory.fill(0x00);
  unit.nowMs = 1000;
  unit.Open();
  unit.Exchange(Command(FlashCommand::SetUp));
  Unlock(unit);
  unit.Exchange(Command(FlashCommand::MassErase));
  EXPECT_EQ(unit.ocd.MassEraseCount(), 1);
  const EraseCase cases[] = {
      {0, 0x20}, {1, 0x20}, {Ocd::kMassEraseMs - 1, 0x20}, {Ocd::kMassEraseMs, 0x00}, {10000, 0x00},
  };
  for (const EraseCase& c : cases) {
    unit.nowMs = 1000 + c.afterMs;
    EXPECT_EQ(unit.FlashStatus(), c.status) << c.afterMs << " ms after the erase";
  }
  for (uint8_t byte : unit.memory) ASSERT_EQ(byte, 0xFF);
  const uint8_t data[] = {0x00};
  unit.Exchange(Must(WriteProgramMemory(0, data, 1)));
  EXPECT_EQ(unit.memory[0], 0xFF) << "locked again after the erase";
  Unlock(unit);
  unit.Exchange(Must(WriteProgramMemory(0, data, 1)));
  EXPECT_EQ(unit.memory[0], 0x00) << "unlocked again";
}

TEST(OcdSim, WritesToTheControllerDuringAnEraseAreIgnored) {
  SimLink unit;
  unit.Open();
  Unlock(unit);
  unit.Exchange(Command(FlashCommand::MassErase));
  unit.Exchange(Command(FlashCommand::Unlock1));
  unit.Exchange(Command(FlashCommand::MassErase));
  EXPECT_EQ(unit.ocd.MassEraseCount(), 1);
}

TEST(OcdSim, EraseHangNeverReportsIdle) {
  SimLink unit;
  unit.ocd.SetEraseHang(true);
  unit.Open();
  Unlock(unit);
  unit.Exchange(Command(FlashCommand::MassErase));
  for (int64_t t : {int64_t{0}, Ocd::kMassEraseMs, int64_t{20000}, int64_t{3600000}}) {
    unit.nowMs = t;
    EXPECT_NE(unit.FlashStatus(), 0x00) << t << " ms";
  }
}

TEST(OcdSim, PageEraseClearsOnePage) {
  SimLink unit;
  unit.memory.fill(0x00);
  unit.Open();
  unit.Exchange(Must(WriteRegister(0xFF9, {0x03})));
  Unlock(unit);
  unit.Exchange(Must(WriteRegister(kFlashControlRegister, {0x95})));
  EXPECT_EQ(unit.FlashStatus(), 0x10);
  unit.nowMs += Ocd::kPageEraseMs;
  EXPECT_EQ(unit.FlashStatus(), 0x00);
  EXPECT_EQ(unit.memory[0x5FF], 0x00);
  EXPECT_EQ(unit.memory[0x600], 0xFF);
  EXPECT_EQ(unit.memory[0x7FF], 0xFF);
  EXPECT_EQ(unit.memory[0x800], 0x00);
}

// ---- Memory reads and the CRC ----

TEST(OcdSim, MemoryCrcInAndOutOfDebugMode) {
  SimLink unit;
  unit.memory.fill(0x00);
  const std::string check = "123456789";
  std::copy(check.begin(), check.end(), unit.memory.begin());
  unit.Open();
  const Bytes inDebug = unit.Exchange(ReadMemoryCrc());
  EXPECT_EQ(inDebug[kCrcHighAt] * 256 + inDebug[kCrcLowAt],
            Crc16X25(unit.memory.data(), unit.memory.size()));
  EXPECT_NE(inDebug[kCrcHighAt] * 256 + inDebug[kCrcLowAt], 0xFFFF);

  const Bytes memory = unit.Exchange(Must(ReadProgramMemory(0x0000, 9)));
  EXPECT_EQ(std::string(memory.begin() + kMemoryDataAt, memory.end()), check);

  unit.Exchange(WriteControl(kControlRelease));
  const Bytes outside = unit.Exchange(ReadMemoryCrc());
  EXPECT_EQ(outside[kCrcHighAt], 0xFF);
  EXPECT_EQ(outside[kCrcLowAt], 0xFF);
  const Bytes hidden = unit.Exchange(Must(ReadProgramMemory(0x0000, 2)));
  EXPECT_EQ(Bytes(hidden.begin() + kMemoryDataAt, hidden.end()), (Bytes{0xFF, 0xFF}));
}

}  // namespace
}  // namespace orv::flash
