// --replay: a file's bytes instead of the generated stream.
#include <gtest/gtest.h>

#include "UnitDriver.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return bytes;
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

UnitOptions ReplayOf(const std::vector<uint8_t>& bytes, bool loop = false) {
  UnitOptions options;
  options.replay = bytes;
  options.loop = loop;
  return options;
}

TEST(ReplayTest, SilentUntilTheFirstGoThenTheFileUnchanged) {
  const std::vector<uint8_t> file = Pattern(1500);  // every byte value, NUL included
  Unit unit(ReplayOf(file));
  UnitDriver driver(unit);
  EXPECT_EQ(driver.Run(2000), "");
  driver.Send("$PZTQC,G$PZTQC,G$PZTQC,G");
  EXPECT_TRUE(unit.ReplayStarted());
  const std::string got = driver.Run(5000);
  EXPECT_EQ(got, Text(file));
  EXPECT_EQ(driver.Run(3000), "") << "once, without --loop";
}

TEST(ReplayTest, LoopRepeatsTheFile) {
  const std::vector<uint8_t> file = Pattern(100);
  Unit unit(ReplayOf(file, true));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  const std::string got = driver.Run(2000);
  ASSERT_GE(got.size(), 950u) << "about 2 s at 480 bytes a second";
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(static_cast<uint8_t>(got[i]), file[i % file.size()]) << "byte " << i;
  }
}

TEST(ReplayTest, LaterGoesDoNotRestartAndProgramPausesIt) {
  const std::vector<uint8_t> file = Pattern(2000);
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
  EXPECT_EQ(got, Text(file));
}

TEST(ReplayTest, ANewConnectionStartsItAgain) {
  const std::vector<uint8_t> file = Pattern(1000);
  Unit unit(ReplayOf(file));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  driver.Run(1000);
  unit.Hangup();
  EXPECT_EQ(driver.Run(1000), "") << "waits for the next connection's G";
  driver.Send("$PZTQC,G$PZTQC,G$PZTQC,G");
  EXPECT_EQ(driver.Run(3000), Text(file));
}

TEST(ReplayTest, AnEmptyFileSendsNothing) {
  Unit unit(ReplayOf({}, true));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  EXPECT_EQ(driver.Run(2000), "");
}

TEST(ReplayTest, ARealLogComesThroughByteForByte) {
  const std::string log =
      "$GPRMC,092211.00,A,5759.09700,N,01144.34344,E,5.257,28.27,200715,,,A*58\r\n"
      "$IIMTW,16.8,C*1C\r\n$IIVLW,2354.92,N,2338.533,N*79\r\n!AIVDM,1,1,,B,13u=gHP3,0*1B\r\n";
  Unit unit(ReplayOf(std::vector<uint8_t>(log.begin(), log.end())));
  UnitDriver driver(unit);
  driver.Send("$PZTQC,G");
  EXPECT_EQ(driver.Run(2000), log);
}

}  // namespace
}  // namespace orv::sim::test
