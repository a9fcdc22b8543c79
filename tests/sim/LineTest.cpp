// What the PC meets on the line: the data line's faults (a mismatched rate,
// noise, a dead line), and the FLASH cable: the wire's echo at any rate, the
// debugger's answer after it at 57600, and the cable's faults. The
// debugger's commands themselves are the flash tests' business.
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

TEST(FaultTest, AnotherRateGivesGarbageOfTheSameLength) {
  struct Case {
    const char* legend;
    int unitBaud;
    int pcBaud;
  } cases[] = {{"PC faster", 4800, 9600}, {"PC slower", 9600, 4800}, {"PC rate unknown", 4800, 0}};
  for (const Case& c : cases) {
    UnitOptions options;
    options.unitBaud = c.unitBaud;
    Unit matched(options);
    Unit mismatched(options);
    const std::string clean = UnitDriver(matched, c.unitBaud).Run(5000);
    const std::string garbage = UnitDriver(mismatched, c.pcBaud).Run(5000);
    ASSERT_EQ(garbage.size(), clean.size()) << c.legend;
    size_t same = 0;
    for (size_t i = 0; i < garbage.size(); ++i) same += garbage[i] == clean[i];
    EXPECT_LT(same, clean.size() / 50) << c.legend;
  }
}

TEST(FaultTest, NoiseSlipsRandomBytesIntoTheStream) {
  Unit noisy(With("noise=20"));
  Unit clean(UnitOptions{});
  const std::string withNoise = UnitDriver(noisy).Run(20000);
  EXPECT_EQ(withNoise.size(), UnitDriver(clean).Run(20000).size()) << "noise takes line time too";
  int good = 0;
  int bad = 0;
  for (const std::string& s : Sentences(withNoise)) (WellFormed(s) ? good : bad) += 1;
  EXPECT_GT(bad, 20);
  EXPECT_GT(good, 20) << "most sentences still get through";
}

TEST(FaultTest, DropAfterLeavesTheLineDeadAfterNBytes) {
  for (const int64_t n : {0, 1, 299}) {
    Unit unit(With("drop-after=" + std::to_string(n)));
    UnitDriver driver(unit);
    EXPECT_EQ(static_cast<int64_t>(driver.Run(5000).size()), n) << "drop-after=" << n;
    driver.Send("$PZTQC,P");
    EXPECT_FALSE(unit.LoaderOpen()) << "a dead line hears nothing; drop-after=" << n;
    EXPECT_EQ(driver.Run(5000), "") << "drop-after=" << n;
  }
  // Loader answers count too.
  Unit unit(With("drop-after=1"));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,P  *0000");
  EXPECT_EQ(driver.Run(1000), "0");
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (const int v : values) s += static_cast<char>(v);
  return s;
}

struct Cable {
  explicit Cable(const std::string& fault = "", int baud = 57600)
      : unit(With(fault, orv::sim::Cable::Flash)), driver(unit, baud) {}
  std::string Exchange(const std::string& bytes) {
    driver.Send(bytes);
    return driver.Take();
  }
  Unit unit;
  UnitDriver driver;
};

TEST(FlashCableTest, EchoesAtAnyRateAndTheDebuggerAnswersAt57600Only) {
  const std::string bytes("$PZTQC,G\x00\x80\xFF", 11);
  for (const int baud : {4800, 9600, 57600}) {
    Cable c("", baud);
    EXPECT_EQ(c.driver.Run(2000), "") << "no NMEA on the debug wire; " << baud;
    // At 57600 the debugger hears the autobaud character and answers right
    // after its echo.
    EXPECT_EQ(c.Exchange(bytes), baud == 57600 ? std::string("$PZTQC,G\x00\x80\x00\xFF", 12) : bytes) << baud;
  }
}

TEST(FlashCableTest, TheDebuggerWorksOnTheUnitsMemory) {
  Cable c;
  c.unit.memory()[0x1234] = 0xFF;
  EXPECT_EQ(c.Exchange(Bytes({0x80, 0x04, 0x81, 0x05})), Bytes({0x80, 0x00, 0x04, 0x81, 0x05, 0x80}));
  for (const int key : {0x73, 0x8C}) c.Exchange(Bytes({0x08, 0x0F, 0xF8, 0x01, key}));
  EXPECT_EQ(c.Exchange(Bytes({0x0A, 0x12, 0x34, 0x00, 0x01, 0x5A})), Bytes({0x0A, 0x12, 0x34, 0x00, 0x01, 0x5A}));
  EXPECT_EQ(c.unit.memory()[0x1234], 0x5A);
}

TEST(FlashCableTest, ARateChangeIsTheBreakBeforeAutobaud) {
  Cable c;
  c.Exchange(Bytes({0x80, 0x04, 0x80}));
  c.driver.SetPcBaud(4800);
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05})) << "at 4800 only the echo";
  c.driver.SetPcBaud(57600);
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05})) << "waiting for autobaud after the break";
  EXPECT_EQ(c.Exchange(Bytes({0x80, 0x05})), Bytes({0x80, 0x00, 0x05, 0x80})) << "debug mode survives a break";
}

TEST(FlashCableTest, EchoFaults) {
  EXPECT_EQ(Cable("no-echo", 4800).Exchange("$PZTQC,P"), "") << "no-echo";
  const std::string back = Cable("bad-echo").Exchange(Bytes({0x80, 0x05}));
  ASSERT_EQ(back.size(), 4u) << "bad-echo: the right count, the answers intact";
  EXPECT_TRUE(back[0] != '\x80' && back[1] == '\x00' && back[2] != '\x05' && back[3] == '\x00');
}

TEST(FlashCableTest, LateReplyHoldsBackTheAnswerNotTheEcho) {
  Cable c("late-reply");
  EXPECT_EQ(c.Exchange(Bytes({0x80})), Bytes({0x80})) << "the wire echoes at once";
  EXPECT_EQ(c.driver.Run(101 + 2, 1), "") << "past the PC's 100 + n ms";
  EXPECT_EQ(c.Exchange(Bytes({0x05})), Bytes({0x05})) << "the next echo overtakes the late answer";
  EXPECT_EQ(c.driver.Run(300, 1), Bytes({0x00, 0x00}));
}

TEST(FlashCableTest, EraseHangKeepsTheControllerBusy) {
  for (const bool hang : {false, true}) {
    Cable c(hang ? "erase-hang" : "");
    c.Exchange(Bytes({0x80, 0x04, 0x80}));
    for (const int value : {0x73, 0x8C, 0x63}) c.Exchange(Bytes({0x08, 0x0F, 0xF8, 0x01, value}));
    c.driver.Run(5000);
    const std::string status = c.Exchange(Bytes({0x09, 0x0F, 0xF8, 0x01}));
    ASSERT_EQ(status.size(), 5u);
    EXPECT_EQ(status[4] != 0, hang) << "erase-hang " << hang;
  }
}

}  // namespace
}  // namespace orv::sim::test
