#include "sim/Ocd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/OcdCommands.h"
#include "FlashTesting.h"

namespace orv::flash {
namespace {

using sim::Ocd;
using test::Must;
using test::SimLink;

// What the flash controller makes of the values written to FF8, and
// whether a program memory write of 5A at 0200 then takes effect.
TEST(OcdSim, UnlockOrderAndWrites) {
  const auto ctl = [](uint8_t value) { return Must(WriteRegister(kFlashControlRegister, {value})); };
  const struct {
    const char* legend;
    std::vector<OcdCommand> steps;
    uint8_t status;  // FF: outside debug mode every register reads FF
    uint8_t fill;
    uint8_t after;
  } cases[] = {
      {"73 then 8C", {ctl(0x73), ctl(0x8C)}, 0x03, 0xFF, 0x5A},
      {"73 alone", {ctl(0x73)}, 0x01, 0xFF, 0xFF},
      {"73 00 8C", {ctl(0x73), ctl(0x00), ctl(0x8C)}, 0x00, 0xFF, 0xFF},
      {"73 8C then 00 locks", {ctl(0x73), ctl(0x8C), ctl(0x00)}, 0x00, 0xFF, 0xFF},
      {"73 63 locks, erases nothing", {ctl(0x73), ctl(0x63)}, 0x00, 0xFF, 0xFF},
      {"unlocked, then out of debug mode: no writes", {ctl(0x73), ctl(0x8C), WriteControl(0x00)}, 0xFF, 0xFF, 0xFF},
      {"unlocked, then a reset locks", {ctl(0x73), ctl(0x8C), WriteControl(0x81)}, 0x00, 0xFF, 0xFF},
      {"programming only clears bits", {ctl(0x73), ctl(0x8C)}, 0x03, 0xF0, 0x50},
  };
  const uint8_t data[] = {0x5A};
  for (const auto& c : cases) {
    SimLink unit;
    unit.memory.fill(c.fill);
    unit.Open();
    for (const OcdCommand& step : c.steps) unit.Exchange(step);
    EXPECT_EQ(unit.FlashStatus(), c.status) << c.legend;
    unit.Exchange(Must(WriteProgramMemory(0x0200, data, 1)));
    EXPECT_EQ(unit.memory[0x0200], c.after) << c.legend;
    EXPECT_EQ(unit.ocd.MemoryWriteCount(), c.after != c.fill ? 1 : 0) << c.legend;
    EXPECT_EQ(unit.ocd.MassEraseCount(), 0) << c.legend;
  }
}

// A mass erase keeps the controller busy for its time, takes no other
// value meanwhile, and leaves it locked.
TEST(OcdSim, MassEraseStatusOverTheClock) {
  SimLink unit;
  unit.memory.fill(0x00);
  unit.nowMs = 1000;
  unit.Open();
  unit.Exchange({FlashCommand::Unlock1, FlashCommand::Unlock2, FlashCommand::MassErase});
  unit.Exchange({FlashCommand::Unlock1, FlashCommand::MassErase});  // ignored while busy
  EXPECT_EQ(unit.ocd.MassEraseCount(), 1);
  for (const int64_t after : {int64_t{0}, Ocd::kMassEraseMs - 1, Ocd::kMassEraseMs, int64_t{10000}}) {
    unit.nowMs = 1000 + after;
    EXPECT_EQ(unit.FlashStatus(), after < Ocd::kMassEraseMs ? 0x20 : 0x00) << after << " ms after";
  }
  for (int a = 0; a < 0x10000; ++a) ASSERT_EQ(unit.memory[a], 0xFF) << "address " << a;
  const uint8_t data[] = {0x00};
  unit.Exchange(Must(WriteProgramMemory(0x0600, data, 1)));
  EXPECT_EQ(unit.memory[0x0600], 0xFF) << "locked again after the erase";
}

}  // namespace
}  // namespace orv::flash
