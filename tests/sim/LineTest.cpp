// What the PC meets on the line: the data line's faults (a mismatched rate,
// noise), and the FLASH cable: the wire's echo at any rate, the
// debugger's answer after it at 57600. The debugger's commands and the
// cable's faults are the flash tests' business.
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

TEST(FlashCableTest, EchoesAtAnyRateAndTheDebuggerAnswersAt57600Only) {
  const std::string bytes("$PZTQC,G\x00\x80\xFF", 11);
  for (const int baud : {4800, 9600, 57600}) {
    Unit unit(With("", Cable::Flash));
    UnitDriver driver(unit, baud);
    EXPECT_EQ(driver.Run(2000), "") << "no NMEA on the debug wire; " << baud;
    // At 57600 the debugger hears the autobaud character and answers right
    // after its echo.
    driver.Send(bytes);
    EXPECT_EQ(driver.Take(), baud == 57600 ? std::string("$PZTQC,G\x00\x80\x00\xFF", 12) : bytes) << baud;
  }
}

}  // namespace
}  // namespace orv::sim::test
