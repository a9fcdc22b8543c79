// The line's own faults and the --fault options that do not belong to the
// loader: a mismatched rate, noise, a dead line, and the flash cable's echo.
#include <gtest/gtest.h>

#include "UnitDriver.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

UnitOptions WithFaults(Faults faults, Cable cable = Cable::Data) {
  UnitOptions options;
  options.faults = faults;
  options.cable = cable;
  return options;
}

int CountWellFormed(const std::string& stream, int& bad) {
  int good = 0;
  bad = 0;
  for (const std::string& s : Sentences(stream)) {
    std::string why;
    (WellFormed(s, why) ? good : bad) += 1;
  }
  return good;
}

TEST(FaultTest, AnotherRateGivesGarbageOfTheSameLength) {
  struct Case {
    const char* legend;
    int unitBaud;
    int pcBaud;
  } cases[] = {
      {"PC faster", 4800, 9600},
      {"PC slower", 9600, 4800},
      {"PC at the debugger's rate", 4800, 57600},
      {"PC rate unknown", 4800, 0},
  };
  for (const Case& c : cases) {
    UnitOptions options;
    options.unitBaud = c.unitBaud;
    Unit matched(options);
    Unit mismatched(options);
    const std::string clean = UnitDriver(matched, c.unitBaud).Run(5000);
    const std::string garbage = UnitDriver(mismatched, c.pcBaud).Run(5000);
    EXPECT_EQ(garbage.size(), clean.size()) << c.legend;
    EXPECT_EQ(garbage.find("$PZTQS,"), std::string::npos) << c.legend;
    int same = 0;
    for (size_t i = 0; i < garbage.size(); ++i) same += garbage[i] == clean[i];
    EXPECT_LT(same, static_cast<int>(clean.size() / 50)) << c.legend;
  }
}

TEST(FaultTest, NoiseSlipsRandomBytesIntoTheStream) {
  Faults faults;
  faults.noiseEvery = 20;
  Unit noisy(WithFaults(faults));
  Unit clean(UnitOptions{});
  const std::string withNoise = UnitDriver(noisy).Run(20000);
  const std::string without = UnitDriver(clean).Run(20000);
  EXPECT_EQ(withNoise.size(), without.size()) << "noise takes line time too";
  int bad = 0;
  const int good = CountWellFormed(withNoise, bad);
  EXPECT_GT(bad, 20);
  EXPECT_GT(good, 20) << "most sentences still get through";
}

TEST(FaultTest, DropAfterLeavesTheLineDeadAfterNBytes) {
  for (const int64_t n : {0, 1, 299, 1000}) {
    Faults faults;
    faults.dropAfter = n;
    Unit unit(WithFaults(faults));
    UnitDriver driver(unit);
    const std::string got = driver.Run(5000);
    EXPECT_EQ(static_cast<int64_t>(got.size()), n) << "drop-after=" << n;
    EXPECT_TRUE(unit.LineDead()) << "drop-after=" << n;
    driver.Send("$PZTQC,P");
    EXPECT_FALSE(unit.LoaderOpen()) << "a dead line hears nothing; drop-after=" << n;
    EXPECT_EQ(driver.Run(5000), "") << "drop-after=" << n;
  }
}

TEST(FaultTest, DropAfterCountsLoaderAnswersToo) {
  Faults faults;
  faults.dropAfter = 1;
  Unit unit(WithFaults(faults));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,P  *0000");
  EXPECT_EQ(driver.Take(), "0");
  EXPECT_EQ(driver.Run(1000), "");
}

TEST(FaultTest, FlashCableEchoesAtAnyRateAndSendsNoStream) {
  const std::string bytes("$PZTQC,G\x00\x80\xFF", 11);
  struct Case {
    int baud;
    std::string back;
  } cases[] = {
      {4800, bytes},
      {9600, bytes},
      // At 57600 the debugger hears the autobaud character and answers
      // right after its echo.
      {57600, std::string("$PZTQC,G\x00\x80\x00\xFF", 12)},
  };
  for (const Case& c : cases) {
    Unit unit(WithFaults({}, Cable::Flash));
    UnitDriver driver(unit, c.baud);
    EXPECT_EQ(driver.Run(2000), "") << "no NMEA on the debug wire; " << c.baud;
    driver.Send(bytes);
    EXPECT_EQ(driver.Take(), c.back) << c.baud;
  }
}

TEST(FaultTest, NoEchoAndBadEcho) {
  const std::string bytes = "$PZTQC,P";
  Faults none;
  none.noEcho = true;
  Unit silent(WithFaults(none, Cable::Flash));
  UnitDriver a(silent, 4800);
  a.Send(bytes);
  EXPECT_EQ(a.Run(1000), "");

  Faults bad;
  bad.badEcho = true;
  Unit altered(WithFaults(bad, Cable::Flash));
  UnitDriver b(altered, 4800);
  b.Send(bytes);
  const std::string got = b.Take();
  ASSERT_EQ(got.size(), bytes.size()) << "right count";
  for (size_t i = 0; i < bytes.size(); ++i) EXPECT_NE(got[i], bytes[i]) << "byte " << i;
}

TEST(FaultTest, FaultNamesAndNumbers) {
  struct Case {
    const char* option;
    bool ok;
  } cases[] = {
      {"no-echo", true},       {"bad-echo", true},      {"late-reply", true},
      {"late-reply=2500", true}, {"stop-ack=3", true},  {"stop-ack=0", true},
      {"stop-ack", false},     {"stop-ack=", false},    {"stop-ack=-1", false},
      {"stop-ack=x", false},   {"erase-hang", true},    {"erase-hang=1", false},
      {"drop-after=100", true}, {"drop-after", false},  {"noise", true},
      {"noise=5", true},       {"noise=0", false},      {"hash-ack", true},
      {"no-such", false},      {"", false},             {"NO-ECHO", false},
  };
  for (const Case& c : cases) {
    Faults faults;
    std::string error;
    EXPECT_EQ(ApplyFault(c.option, faults, error), c.ok) << "--fault " << c.option << ": " << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << c.option;
    }
  }
  Faults f;
  std::string error;
  ASSERT_TRUE(ApplyFault("late-reply", f, error));
  EXPECT_EQ(f.lateReplyMs, 300);
  ASSERT_TRUE(ApplyFault("noise", f, error));
  EXPECT_EQ(f.noiseEvery, 64);
  ASSERT_TRUE(ApplyFault("drop-after=123456789012", f, error));
  EXPECT_EQ(f.dropAfter, 123456789012);
}

}  // namespace
}  // namespace orv::sim::test
