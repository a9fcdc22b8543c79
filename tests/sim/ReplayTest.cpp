// --replay: a file's bytes instead of the generated stream.
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

// Every byte value, NUL included.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 256);
  return bytes;
}

UnitOptions ReplayOf(const std::string& bytes, bool loop = false) {
  UnitOptions options;
  options.replay = std::vector<uint8_t>(bytes.begin(), bytes.end());
  options.loop = loop;
  return options;
}

TEST(ReplayTest, SilentUntilTheFirstGoThenTheFileUnchangedOnceOrLooped) {
  const struct {
    const char* legend;
    size_t size;
    bool loop;
    size_t inFiveSeconds;
  } cases[] = {{"once", 1500, false, 1500}, {"looped", 100, true, 2350}, {"empty, looped", 0, true, 0}};
  for (const auto& c : cases) {
    const std::string file = Pattern(c.size);
    Unit unit(ReplayOf(file, c.loop));
    UnitDriver driver(unit);
    EXPECT_EQ(driver.Run(2000), "") << c.legend;
    driver.Send("$PZTQC,G$PZTQC,G$PZTQC,G");
    const std::string got = driver.Run(5000);
    std::string want = file;
    while (c.loop && !file.empty() && want.size() < got.size()) want += file;
    EXPECT_GE(got.size(), c.inFiveSeconds) << c.legend;
    EXPECT_EQ(got, want.substr(0, got.size())) << c.legend;
    EXPECT_EQ(driver.Run(3000).empty(), !c.loop || file.empty()) << c.legend;
  }
}

TEST(ReplayTest, LaterGoesGoOnProgramPausesAndANewConnectionStartsAgain) {
  const std::string file = Pattern(2000);
  Unit unit(ReplayOf(file));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  std::string got = driver.Run(1000);
  driver.Send("$PZTQC,G");
  got += driver.Run(500);
  driver.Send("$PZTQC,P");
  EXPECT_EQ(driver.Run(1000), "");
  driver.Send("$PZTQC,G");
  got += driver.Run(5000);
  EXPECT_EQ(got, file);

  unit.Hangup();
  EXPECT_EQ(driver.Run(1000), "") << "waits for the next connection's G";
  driver.Send("$PZTQC,G$PZTQC,G$PZTQC,G");
  EXPECT_EQ(driver.Run(5000), file);
}

}  // namespace
}  // namespace orv::sim::test
