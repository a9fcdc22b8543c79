// The generated sentence stream of the data cable, byte for byte.
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

std::string Stream(uint32_t seed, int64_t ms, int baud = 4800, int64_t stepMs = 10) {
  UnitOptions options;
  options.seed = seed;
  options.unitBaud = baud;
  Unit unit(options);
  return UnitDriver(unit, baud).Run(ms, stepMs);
}

TEST(StreamTest, EverySentenceIsWellFormedAndASeedRepeats) {
  const std::string stream = Stream(7, 60000);
  std::string joined;
  for (const std::string& s : Sentences(stream)) {
    EXPECT_TRUE(WellFormed(s)) << s;
    joined += s;
  }
  EXPECT_EQ(stream.substr(0, joined.size()), joined) << "nothing lies before or between them";
  // A minute at 4800 bit/s, in whole sentences but for the one the run cut short.
  EXPECT_TRUE(joined.size() > 28000 && stream.size() - joined.size() < 83) << joined.size() << " of " << stream.size();
  EXPECT_EQ(Stream(42, 20000), Stream(42, 20000)) << "a seed gives the same stream every time";
  EXPECT_NE(Stream(42, 20000), Stream(43, 20000));
}

TEST(StreamTest, RateKeepsToTheUnitsBaudAndALateHostGetsNoBurst) {
  struct Case {
    const char* legend;
    int baud;
    int64_t stepMs;
  } cases[] = {
      {"4800, host every 10 ms", 4800, 10},
      {"4800, host every 200 ms", 4800, 200},
      {"38400, host every 3 ms", 38400, 3},
  };
  for (const Case& c : cases) {
    const double got = static_cast<double>(Stream(1, 10000, c.baud, c.stepMs).size());
    // The line's clock starts at the host's first look.
    const double ideal = c.baud / 10.0 * static_cast<double>(10000 - c.stepMs) / 1000.0;
    EXPECT_LE(got, ideal + 1) << c.legend;
    EXPECT_GE(got, ideal * 0.99) << c.legend << ": the line stays saturated";
  }
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  driver.Run(1000);
  // Nothing taken for five seconds: a real line would have lost those bytes.
  EXPECT_LE(driver.Run(5000, 5000).size(), 121u);
  // --no-pacing: as fast as it is taken.
  UnitOptions unpaced;
  unpaced.pacedStream = false;
  Unit fast(unpaced);
  uint8_t buffer[4096];
  EXPECT_EQ(fast.Transmit(buffer, sizeof buffer, 4800, 0), sizeof buffer);
}

}  // namespace
}  // namespace orv::sim::test
