// The FLASH cable with the on-chip debugger behind it, seen from the PC:
// what comes back for each byte sent, at which rate, and when.
#include <gtest/gtest.h>

#include "UnitDriver.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (const int v : values) s += static_cast<char>(v);
  return s;
}

struct Cable {
  explicit Cable(Faults faults = {}) : unit(Options(faults)), driver(unit, 57600) {}
  static UnitOptions Options(Faults faults) {
    UnitOptions o;
    o.cable = orv::sim::Cable::Flash;
    o.faults = faults;
    return o;
  }
  std::string Exchange(const std::string& bytes) {
    driver.Send(bytes);
    return driver.Take();
  }
  // The opening handshake's bytes up to debug mode.
  void Open() {
    ASSERT_EQ(Exchange(Bytes({0x80})), Bytes({0x80, 0x00}));
    ASSERT_EQ(Exchange(Bytes({0x04, 0x80})), Bytes({0x04, 0x80}));
  }
  Unit unit;
  UnitDriver driver;
};

TEST(FlashCableTest, TheHandshakeAsThePcSeesIt) {
  Cable c;
  struct Step {
    const char* legend;
    std::string sent;
    std::string back;  // echo, then the debugger's answer
  } steps[] = {
      {"autobaud: two bytes for one", Bytes({0x80}), Bytes({0x80, 0x00})},
      {"read control", Bytes({0x05}), Bytes({0x05, 0x00})},
      {"write control 80", Bytes({0x04, 0x80}), Bytes({0x04, 0x80})},
      {"read control: debug mode", Bytes({0x05}), Bytes({0x05, 0x80})},
      {"write control 81", Bytes({0x04, 0x81}), Bytes({0x04, 0x81})},
      {"read revision", Bytes({0x00}), Bytes({0x00, Ocd::kRevisionMajor, Ocd::kRevisionMinor})},
  };
  for (const Step& s : steps) EXPECT_EQ(c.Exchange(s.sent), s.back) << s.legend;
  EXPECT_TRUE(c.unit.ocd().InDebugMode());
}

TEST(FlashCableTest, ProgramMemoryWritesLandInTheUnitsMemory) {
  Cable c;
  c.Open();
  // Unlock the flash controller, then write two bytes at 1234.
  for (const int key : {0x73, 0x8C}) c.Exchange(Bytes({0x08, 0x0F, 0xF8, 0x01, key}));
  c.unit.memory()[0x1234] = 0xFF;
  c.unit.memory()[0x1235] = 0xFF;
  const std::string write = Bytes({0x0A, 0x12, 0x34, 0x00, 0x02, 0x5A, 0xA5});
  EXPECT_EQ(c.Exchange(write), write) << "echo only";
  EXPECT_EQ(c.unit.memory()[0x1234], 0x5A);
  EXPECT_EQ(c.unit.memory()[0x1235], 0xA5);
  EXPECT_EQ(c.Exchange(Bytes({0x0B, 0x12, 0x34, 0x00, 0x02})),
            Bytes({0x0B, 0x12, 0x34, 0x00, 0x02, 0x5A, 0xA5}));
}

TEST(FlashCableTest, ARateChangeIsTheBreakBeforeAutobaud) {
  Cable c;
  c.Open();
  c.driver.SetPcBaud(4800);
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05})) << "at 4800 only the echo";
  c.driver.SetPcBaud(57600);
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05})) << "waiting for autobaud after the break";
  EXPECT_EQ(c.Exchange(Bytes({0x80})), Bytes({0x80, 0x00}));
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05, 0x80})) << "debug mode survives a break";
}

TEST(FlashCableTest, LateReplyHoldsBackTheAnswerNotTheEcho) {
  Faults faults;
  faults.lateReplyMs = 300;
  Cable c(faults);
  c.driver.Send(Bytes({0x80}));
  EXPECT_EQ(c.driver.Take(), Bytes({0x80})) << "the wire echoes at once";
  EXPECT_EQ(c.driver.Run(101 + 2, 1), "") << "past the PC's 100 + n ms";
  c.driver.Send(Bytes({0x05}));
  EXPECT_EQ(c.driver.Take(), Bytes({0x05})) << "the next echo overtakes the late answer";
  EXPECT_EQ(c.driver.Run(300, 1), Bytes({0x00, 0x00}));
}

TEST(FlashCableTest, EraseHangKeepsTheControllerBusy) {
  for (const bool hang : {false, true}) {
    Faults faults;
    faults.eraseHang = hang;
    Cable c(faults);
    c.Open();
    for (const int value : {0x73, 0x8C, 0x63}) c.Exchange(Bytes({0x08, 0x0F, 0xF8, 0x01, value}));
    c.driver.Run(5000);
    const std::string status = c.Exchange(Bytes({0x09, 0x0F, 0xF8, 0x01}));
    ASSERT_EQ(status.size(), 5u);
    EXPECT_EQ(status[4] != 0, hang) << "erase-hang " << hang;
  }
}

TEST(FlashCableTest, BadEchoStillLetsTheAnswerThrough) {
  Faults faults;
  faults.badEcho = true;
  Cable c(faults);
  const std::string back = c.Exchange(Bytes({0x80}));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_NE(back[0], '\x80');
  EXPECT_EQ(back[1], '\x00');
}

}  // namespace
}  // namespace orv::sim::test
