// What goes wrong on the data line: a mismatched rate, noise, a dead line.
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

TEST(FaultTest, AnotherRateGivesGarbageOfTheSameLength) {
  struct Case {
    const char* legend;
    int unitBaud;
    int pcBaud;
  } cases[] = {
      {"PC faster", 4800, 9600},
      {"PC slower", 9600, 4800},
      {"PC rate unknown", 4800, 0},
  };
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

}  // namespace
}  // namespace orv::sim::test
