// The whole-image check that stands before anything is sent, and what the
// run then sends of the images it lets through.
#include <gtest/gtest.h>

#include "common/LineReader.h"
#include "common/Text.h"
#include "flash/FlashImage.h"
#include "FlashTesting.h"

namespace orv::flash {
namespace {

using test::DataFile;
using test::Lowered;
using Texts = std::vector<std::string>;

const std::string kRecord = ":10010000000102030405060708090A0B0C0D0E0F77\n";
const std::string kEnd = ":00000001FF\n";

// All but the last line (the end record) of a file.
std::string Cut(const std::string& text) { return text.substr(0, text.rfind(':')); }

TEST(CheckImage, RefusesWhatMustNotReachTheUnit) {
  const std::string hex04 = DataFile("srec16_type04.hex");  // 0000-03FF: pages 00 and 01
  const std::string hex02 = DataFile("srec16_type02.hex");  // 8000-82FF behind a 02 record of 0000
  const std::string x49(49, 'x');
  const struct {
    const char* legend;
    std::string content;
    int line;          // 0: accepted
    std::string what;  // the refusal after "line N: ", or the page-range command of an accepted image
  } cases[] = {
      {"OCD image, blank lines after the end record", "[ZTQFLASH]\n" + kRecord + kEnd + "\n  \n", 0, ""},
      {"the end record without its line end", "[ZTQFLASH]\n" + kRecord + ":00000001FF", 0, ""},
      {"OCD image lowered with sed reads as its values", "[ZTQFLASH]\n" + Lowered(hex02), 0, ""},
      {"Intel HEX inside its pages", "[INTELHEX]0001\n" + hex04, 0, "  *0001"},
      {"Intel HEX lowered, pages lowered", "[INTELHEX]4a4b\n:029400004142e7\n" + Lowered(kEnd), 0, "  *4A4B"},
      {"table: the erase covers every page the data touches", "[TABLE][01FC][4][2]\n\ndb 'WXYZ'\ndb 'ABCD'\n", 0,
       "  *0001\n\r"},
      {"table: blanks before the numbers, N = 15, ending at FFFF",
       "[TABLE][FFE2][ 15][ 2]\n\ndb '" + std::string(15, 'A') + "'\ndb '" + std::string(15, 'B') + "'\n", 0, "  *7F7F\n\r"},
      {"a line of 58 characters and CR LF", "[TABLE][0000][4][2]\n\ndb 'ABCD'" + x49 + "\r\ndb 'EFGH'\n", 0,
       "  *0000\n\r"},
      {"a line of 59 characters and LF", "[TABLE][0000][4][2]\n\ndb 'ABCD'x" + x49 + "\ndb 'EFGH'\n", 3,
       msg::kLineTooLong},
      {"empty file", "", 1, msg::kNoTag},
      {"srec_cat output without a tag", hex04, 1, msg::kNoTag},
      {"two tags", "[TABLE][1A00][12][40][ZTQFLASH]\n", 1, msg::kTwoTags},
      {"table address not hex", "[TABLE][1G00][4][2]\n", 1, msg::kTableHeader},
      {"table without fields", "[TABLE]\n", 1, msg::kTableHeader},
      {"table width 16 makes a 77-character record", "[TABLE][0000][16][4]\n", 1, msg::kTableWidth},
      {"table width 0", "[TABLE][0000][0][4]\n", 1, msg::kTableWidth},
      {"table, fifth data line malformed",
       "[TABLE][0000][4][10]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndw 'EEEE'\n", 7, msg::kDbLine},
      {"db % without hex digits", "[TABLE][0000][1][2]\n\ndb %3F\ndb %G1\n", 4, msg::kDbHex},
      {"table without a whole record", "[TABLE][0000][4][1]\n\ndb 'AAAA'\n", 3, msg::kTableEmpty},
      {"table past FFFF", "[TABLE][FFF8][8][2]\n\ndb '11111111'\ndb '22222222'\n", 4, msg::kPastEndOfMemory},
      {"Intel HEX page range not hex", "[INTELHEX]04\n", 1, msg::kIntelHexPages},
      {"a record after the end record", "[ZTQFLASH]\n" + kEnd + kRecord, 3, msg::kAfterEnd},
      {"checksum wrong", "[ZTQFLASH]\n:10010000000102030405060708090A0B0C0D0E0F78\n" + kEnd, 2,
       Format(msg::kChecksum, 0x78, 0x77)},
      {"not a hex digit", "[ZTQFLASH]\n:1001000G000102030405060708090A0B0C0D0E0F77\n" + kEnd, 2,
       Format(msg::kBadDigit, 9)},
      {"shorter than its length", "[ZTQFLASH]\n:10000000AABB9B\n" + kEnd, 2, msg::kRecordLength},
      {"unknown record type", "[INTELHEX]0000\n:00000006FA\n" + kEnd, 2, Format(msg::kRecordType, 6)},
      {"04 record above 64 KiB", "[ZTQFLASH]\n:020000040001F9\n" + kRecord + kEnd, 2, msg::kUpperAddress},
      {"02 record moving the data", "[INTELHEX]0000\n:020000021000EC\n" + kEnd, 2, msg::kUpperAddress},
      {"Intel HEX outside the header's pages", "[INTELHEX]0000\n" + hex04, 35, Format(msg::kOutsidePages, 0x200, 0, 0)},
      {"OCD record of 17 bytes", "[ZTQFLASH]\n:110000000000000000000000000000000000000000EF\n" + kEnd, 2,
       msg::kRecordTooLong},
      {"OCD record past FFFF", "[ZTQFLASH]\n:10FFF80000000000000000000000000000000000F9\n" + kEnd, 2,
       msg::kPastEndOfMemory},
      {"srec_cat's 32-byte records", "[ZTQFLASH]\n" + DataFile("srec32.hex"), 2, msg::kLineTooLong},
      {"not a record", "[ZTQFLASH]\nhello\n" + kEnd, 2, msg::kNotRecord},
  };
  for (const auto& c : cases) {
    ImagePlan plan;
    const ImageProblem problem = CheckImage(c.content, plan);
    EXPECT_EQ(problem.line, c.line) << c.legend;
    EXPECT_EQ(problem.message, c.line ? Format(msg::kRefusal, c.line, c.what.c_str()) : "") << c.legend;
    EXPECT_EQ(c.line == 0 ? plan.pageRange : c.what, c.what) << c.legend;
  }
  ImagePlan plan;
  const std::string cut = "[INTELHEX]0001\n" + Cut(hex04);
  EXPECT_EQ(CheckImage(cut, plan).message, Format(msg::kNoEndRecord, 66)) << "Intel HEX cut short";
  EXPECT_EQ(CheckImage(std::string(17 << 20, 'x'), plan).message, msg::kFileTooLarge);
}

// What the run sends of an image, in order, and what it shows and counts.
struct Translation {
  Texts sent;
  Texts shown;
  std::vector<std::vector<uint8_t>> writes;
  int byteCount = 0;
};

Translation Translate(const std::string& content) {
  Translation t;
  ImageTranslator image;
  size_t pos = 0;
  std::string line;
  NextLine(content, pos, line);
  EXPECT_EQ(image.Header(line), "") << content;
  while (NextLine(content, pos, line) == LineStatus::Line) {
    const FlashStep step = image.Line(line);
    EXPECT_EQ(step.problem, "") << line;
    if (!step.showBefore.empty()) t.shown.push_back(step.showBefore);
    if (step.action == Action::SendWithAck) t.sent.push_back(step.bytes);
    if (step.action == Action::OcdWrite) t.writes.push_back(step.ocd.bytes);
    if (!step.showAfter.empty()) t.shown.push_back(step.showAfter);
    t.byteCount += step.byteGrowth;
  }
  t.byteCount += image.UnpairedGrowth();
  return t;
}

TEST(ImageTranslator, WhatGoesToTheUnit) {
  const std::vector<uint8_t> write0110 = {0x0A, 0x01, 0x10, 0x00, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const struct {
    const char* legend;
    std::string content;
    Texts sent;
    Texts shown;
    int byteCount;
    std::vector<std::vector<uint8_t>> writes;
  } cases[] = {
      {"table N = 12: the first line is passed over whatever it holds",
       "[TABLE][0100][12][4]\ndb 'passed over\ndb 'ABCDEFGHIJKL'\ndb 'MNOPQRSTUVWX'\ndb 'abcdefghijkl'\n"
       "db 'mnopqrstuvwx'\n",
       {":180100004142434445464748494A4B4C4D4E4F505152535455565758BB\r\n",
        ":180118006162636465666768696A6B6C6D6E6F707172737475767778A3\r\n"},
       {"0118", "0130"}, 48, {}},
      {"db 'AB' with N = 4: A, B, the quote, the LF", "[TABLE][0000][4][2]\n\ndb 'AB'\ndb 'CD'\n",
       {":080000004142270A4344270A8C\r\n"}, {"0008"}, 8, {}},
      {"db % of either case, a wider slot filled with 00", "[TABLE][0040][2][2]\n\ndb %3f\ndb %A0\n",
       {":040040003F00A000DD\r\n"}, {"0044"}, 2, {}},
      {"lower-case address read as its value", "[TABLE][1a00][2][4]\n\ndb 'AB'\ndb 'CD'\ndb 'EF'\ndb 'GH'\n",
       {":041A000041424344D8\r\n", ":041A040045464748C4\r\n"}, {"1A04", "1A08"}, 8, {}},
      {"an odd last line is counted, never sent", "[TABLE][0000][4][3]\n\ndb 'ABCD'\ndb 'EFGH'\ndb 'IJKL'\n",
       {":080000004142434445464748D4\r\n"}, {"0008"}, 12, {}},
      {"Intel HEX goes in upper case, CR LF as LF", "[INTELHEX]0001\r\n:0a0110000102030405060708090aae\r\n" + kEnd,
       {":0A0110000102030405060708090AAE\n", kEnd}, {"0110", "0000"}, 10, {}},
      {"OCD: data records written, every record counted and shown",
       "[ZTQFLASH]\n:020000040000FA\n:0a0110000102030405060708090aae\n" + kEnd, {}, {"0000", "0110", "0000"}, 12,
       {write0110}},
  };
  for (const auto& c : cases) {
    const Translation t = Translate(c.content);
    EXPECT_EQ(t.sent, c.sent) << c.legend;
    EXPECT_EQ(t.shown, c.shown) << c.legend;
    EXPECT_EQ(t.byteCount, c.byteCount) << c.legend;
    EXPECT_EQ(t.writes, c.writes) << c.legend;
  }
}

}  // namespace
}  // namespace orv::flash
