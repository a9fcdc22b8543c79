// The firmware loader behind "$PZTQC,P": page-range commands, records and
// the unit's six-byte answers.
#include <gtest/gtest.h>

#include <algorithm>

#include "UnitDriver.h"
#include "common/Text.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

// An Intel HEX record with a correct checksum.
std::string Record(int type, int address, const std::vector<uint8_t>& data, const char* end = "\r\n") {
  std::string text = Format(":%02X%04X%02X", static_cast<unsigned>(data.size()), address, type);
  unsigned sum = static_cast<unsigned>(data.size()) + (address >> 8) + (address & 0xFF) + type;
  for (const uint8_t b : data) {
    text += Format("%02X", b);
    sum += b;
  }
  return text + Format("%02X", (0x100 - (sum & 0xFF)) & 0xFF) + end;
}

struct Fixture {
  explicit Fixture(Faults faults = {}) : unit(Options(faults)), driver(unit) {
    unit.memory().fill(0x00);  // so that an erase shows
    driver.Send("$PZTQC,P");
    driver.Run(500);           // the stream has stopped; drain what was on its way
  }
  static UnitOptions Options(Faults faults) {
    UnitOptions o;
    o.faults = faults;
    return o;
  }
  std::string Say(const std::string& bytes) {
    driver.Send(bytes);
    return driver.Take();
  }
  Unit unit;
  UnitDriver driver;
};

TEST(LoaderTest, ProgramCommandStopsTheStreamAndGoResumesIt) {
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  EXPECT_FALSE(driver.Run(2000).empty());
  driver.Send("$PZTQC,P");
  EXPECT_TRUE(driver.Run(5000).empty()) << "nothing after P";
  EXPECT_TRUE(unit.LoaderOpen());
  driver.Send("$PZTQC,G");
  EXPECT_FALSE(unit.LoaderOpen());
  const std::string resumed = driver.Run(2000);
  ASSERT_FALSE(resumed.empty());
  EXPECT_EQ(resumed[0], '$') << "the stream resumes with a whole sentence";
}

TEST(LoaderTest, PageRangeCommandsEraseTheirPagesAndAreAnswered) {
  struct Case {
    const char* legend;
    std::string command;
    std::string answer;
    int firstPage;
    int lastPage;  // -1: nothing erased
  } cases[] = {
      {"table image, LF CR", "  *0D0E\n\r", "0D0E\r\n", 0x0D, 0x0E},
      {"Intel HEX image", "  *0410", "0410\r\n", 0x04, 0x10},
      {"one page", "  *0000", "0000\r\n", 0x00, 0x00},
      {"to the last page", "  *7E7F\n\r", "7E7F\r\n", 0x7E, 0x7F},
      {"beyond 64 KiB is ignored", "  *7FFF", "7FFF\r\n", 0x7F, 0x7F},
      {"end before start", "  *0504", "0504\r\n", 0, -1},
      {"lower-case digits", "  *0a0b", "0a0b\r\n", 0x0A, 0x0B},
      {"leading junk", "xx   *0203", "0203\r\n", 0x02, 0x03},
      {"not hex", "  *0G10", "ERR!\r\n", 0, -1},
  };
  for (const Case& c : cases) {
    Fixture f;
    EXPECT_EQ(f.Say(c.command), c.answer) << c.legend;
    for (int page = 0; page < 128; ++page) {
      const bool erased = c.lastPage >= 0 && page >= c.firstPage && page <= c.lastPage;
      const auto begin = f.unit.memory().begin() + page * 512;
      const bool allFF = std::all_of(begin, begin + 512, [](uint8_t b) { return b == 0xFF; });
      const bool all00 = std::all_of(begin, begin + 512, [](uint8_t b) { return b == 0x00; });
      EXPECT_TRUE(erased ? allFF : all00) << c.legend << ": page " << page;
    }
  }
}

TEST(LoaderTest, RecordsAreCheckedWrittenAndAnswered) {
  const std::vector<uint8_t> data = {0x12, 0x34, 0x56, 0x78};
  struct Case {
    const char* legend;
    std::string record;
    std::string answer;
    bool written;
  } cases[] = {
      {"CR LF", Record(0, 0x0800, data), "0800\r\n", true},
      {"LF only", Record(0, 0x0800, data, "\n"), "0800\r\n", true},
      {"lower-case digits", ":0408000012345678e0\n", "0800\r\n", true},
      {"bad checksum", ":04080000123456780F\r\n", "ERR!\r\n", false},
      {"count too large", ":0508000012345678EE\r\n", "ERR!\r\n", false},
      {"not hex", ":04080000123456X8EE\r\n", "ERR!\r\n", false},
      {"not a record", "hello\r\n", "ERR!\r\n", false},
      {"empty line", "\n", "ERR!\r\n", false},
      {"no line end yet", Record(0, 0x0800, data, ""), "", false},
      {"other record type", Record(4, 0x0000, {0x00, 0x00}), "0000\r\n", false},
  };
  for (const Case& c : cases) {
    Fixture f;
    ASSERT_EQ(f.Say("  *0404\n\r"), "0404\r\n") << c.legend;
    EXPECT_EQ(f.Say(c.record), c.answer) << c.legend;
    const bool written = f.unit.memory()[0x0800] == 0x12 && f.unit.memory()[0x0803] == 0x78;
    EXPECT_EQ(written, c.written) << c.legend;
    EXPECT_EQ(f.unit.memory()[0x0804], 0xFF) << c.legend << ": nothing after the data";
  }
}

TEST(LoaderTest, IntelHexRecordsFollowTheSevenByteCommandDirectly) {
  Fixture f;
  EXPECT_EQ(f.Say("  *0101"), "0101\r\n");
  EXPECT_EQ(f.Say(Record(0, 0x0200, {0xAA}, "\n")), "0200\r\n");
  EXPECT_EQ(f.unit.memory()[0x0200], 0xAA);
}

TEST(LoaderTest, ATableImageLoadsAndTheEndRecordClosesTheLoader) {
  Fixture f;
  // Header [TABLE][1A00][12][40]: SS = 0D, EE = 0D + 480 / 512 = 0D.
  EXPECT_EQ(f.Say("  *0D0D\n\r"), "0D0D\r\n");
  std::vector<uint8_t> line(24);
  for (int r = 0; r < 3; ++r) {
    for (size_t i = 0; i < line.size(); ++i) line[i] = static_cast<uint8_t>(r * 24 + i);
    const int address = 0x1A00 + r * 24;
    EXPECT_EQ(f.Say(Record(0, address, line)), Format("%04X\r\n", address)) << "record " << r;
  }
  for (int i = 0; i < 72; ++i) EXPECT_EQ(f.unit.memory()[0x1A00 + i], i) << i;
  EXPECT_EQ(f.unit.loader().RecordsWritten(), 3);
  // The end record as the PC sends it, with two zero bytes after it.
  EXPECT_EQ(f.Say(std::string(":00000001FF\r\n\0\0", 15)), "0000\r\n");
  EXPECT_FALSE(f.unit.LoaderOpen());
  EXPECT_EQ(f.Say(Record(0, 0x1A00, {0x00})), "") << "closed: no answer, no write";
  EXPECT_EQ(f.unit.memory()[0x1A00], 0x00);
  f.Say("$PZTQC,G");
  EXPECT_TRUE(f.unit.Streaming());
}

TEST(LoaderTest, FlashBitsOnlyGoFromOneToZeroWithoutAnErase) {
  Fixture f;
  f.unit.memory()[0x0300] = 0xF0;
  EXPECT_EQ(f.Say("  *0000"), "0000\r\n");
  EXPECT_EQ(f.Say(Record(0, 0x0300, {0x3C})), "0300\r\n");
  EXPECT_EQ(f.unit.memory()[0x0300], 0x30) << "page 1 was not erased";
}

TEST(LoaderTest, HashAckFaultAnswersWithTwoHashes) {
  Faults faults;
  faults.hashAck = true;
  Fixture f(faults);
  EXPECT_EQ(f.Say("  *0D0E\n\r"), "##0D0E");
  EXPECT_EQ(f.Say(Record(0, 0x1A00, {1, 2})), "##1A00");
  EXPECT_EQ(f.Say(":01000000FF01\r\n"), "ERR!\r\n") << "a bad record is still refused";
}

TEST(LoaderTest, StopAckFaultGoesSilentAfterNRecords) {
  Faults faults;
  faults.stopAckAfter = 2;
  Fixture f(faults);
  EXPECT_EQ(f.Say("  *0000"), "0000\r\n") << "the page range is not a record";
  EXPECT_EQ(f.Say(Record(0, 0x0010, {1})), "0010\r\n");
  EXPECT_EQ(f.Say(Record(0, 0x0020, {2})), "0020\r\n");
  EXPECT_EQ(f.Say(Record(0, 0x0030, {3})), "");
  EXPECT_EQ(f.driver.Run(3000), "");
}

TEST(LoaderTest, LateReplyFaultHoldsTheAnswerBack) {
  Faults faults;
  faults.lateReplyMs = 300;
  Fixture f(faults);
  f.driver.Send("  *0000");
  EXPECT_EQ(f.driver.Run(290, 1), "");
  EXPECT_EQ(f.driver.Run(20, 1), "0000\r\n");
}

TEST(LoaderTest, GoLeavesTheLoaderHalfWay) {
  Fixture f;
  EXPECT_EQ(f.Say("  *0000"), "0000\r\n");
  EXPECT_EQ(f.Say(":0400"), "");
  f.Say("$PZTQC,G");
  EXPECT_FALSE(f.unit.LoaderOpen());
  f.driver.Run(1000);
  // A new P starts again from the page range.
  f.Say("$PZTQC,P");
  f.driver.Run(500);
  EXPECT_EQ(f.Say(Record(0, 0, {1})), "") << "records before the page range are ignored";
  EXPECT_EQ(f.Say("  *0101"), "0101\r\n");
}

}  // namespace
}  // namespace orv::sim::test
