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

TEST(ReplayTest, SilentUntilTheFirstGoThenTheFileUnchangedOnce) {
  for (const size_t size : {0, 1500}) {
    const std::string file = Pattern(size);
    Unit unit(ReplayOf(file, size == 0));  // an empty file must not loop for ever
    UnitDriver driver(unit);
    EXPECT_EQ(driver.Run(2000), "") << size;
    driver.Send("$PZTQC,G$PZTQC,G$PZTQC,G");
    EXPECT_EQ(driver.Run(5000), file) << size;
    EXPECT_EQ(driver.Run(3000), "") << "once; " << size;
  }
}

TEST(ReplayTest, LoopRepeatsTheFile) {
  const std::string file = Pattern(100);
  Unit unit(ReplayOf(file, true));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  const std::string got = driver.Run(2000);
  ASSERT_GE(got.size(), 950u) << "about 2 s at 480 bytes a second";
  for (size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], file[i % file.size()]) << "byte " << i;
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
