// The firmware loader behind "$PZTQC,P": page-range commands, records and
// the unit's six-byte answers, each in its own time. What the pages hold after
// a run, and the loader's faults, are the flash tests' rows.
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

// A unit whose loader is open, its memory zeroed so that an erase shows.
struct Loading {
  explicit Loading(const std::string& fault = "") : unit(With(fault)), driver(unit) {
    unit.memory().fill(0x00);
    driver.Send("$PZTQC,P");
    driver.Run(500);  // what was on its way before P
  }
  // The answer, however long the erase it waits for takes.
  std::string Say(const std::string& bytes) {
    driver.Send(bytes);
    return driver.Run(128 * Loader::kPageEraseMs + 10, 1);
  }
  Unit unit;
  UnitDriver driver;
};

TEST(LoaderTest, ThePageRangeIsAnsweredOnceItsPagesAreErased) {
  Loading f;
  f.driver.Send("  *0410");
  EXPECT_EQ(f.driver.Run(13 * Loader::kPageEraseMs - 1, 1), "") << "13 pages";
  EXPECT_EQ(f.driver.Run(1, 1), "0410\r\n");
}

TEST(LoaderTest, RecordsAreCheckedWrittenAndAnswered) {
  struct Case {
    const char* legend;
    std::string record;
    std::string answer;
    bool written;
  } cases[] = {
      {"12 34 56 78 at 0800", ":0408000012345678E0\r\n", "0800\r\n", true},
      {"the same, its checksum wrong", ":04080000123456780F\r\n", "ERR!\r\n", false},
  };
  for (const Case& c : cases) {
    Loading f;
    ASSERT_EQ(f.Say("  *0404\n\r"), "0404\r\n") << c.legend;
    EXPECT_EQ(f.Say(c.record), c.answer) << c.legend;
    EXPECT_EQ(f.unit.memory()[0x0800] == 0x12 && f.unit.memory()[0x0803] == 0x78, c.written) << c.legend;
    EXPECT_EQ(f.unit.memory()[0x0804], 0xFF) << c.legend << ": nothing after the data";
  }
}

// Without an erase, bits only go from 1 to 0; after the end record the
// loader hears nothing more.
TEST(LoaderTest, AnUnerasedByteKeepsItsZerosAndTheEndRecordClosesTheLoader) {
  Loading f;
  f.unit.memory()[0x1C00] = 0xF0;
  EXPECT_EQ(f.Say("  *0D0D\n\r"), "0D0D\r\n");
  EXPECT_EQ(f.Say(":011C00003CA7\r\n"), "1C00\r\n");
  EXPECT_EQ(f.unit.memory()[0x1C00], 0x30);
  EXPECT_EQ(f.Say(std::string(":00000001FF\r\n\0\0", 15)), "0000\r\n");
  EXPECT_FALSE(f.unit.LoaderOpen());
  EXPECT_EQ(f.Say(":011A000000E5\r\n"), "") << "closed: no answer";
}

}  // namespace
}  // namespace orv::sim::test
