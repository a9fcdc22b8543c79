#include "flash/FlashImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/Messages.h"
#include "ImageRun.h"

namespace orv::flash {
namespace {

using Texts = std::vector<std::string>;

TEST(FlashImage, HeaderSetUps) {
  struct SetUp {
    Action action;
    std::string bytes;  // the page-range command
    ImageFormat format;
  };
  const SetUp ocd = {Action::OpenOcdAndErase, "", ImageFormat::Ocd};
  const SetUp intel = {Action::SendWithAck, "  *0410", ImageFormat::IntelHex};
  const SetUp table = {Action::SendWithAck, std::string("  *0D0D\n\r", 9), ImageFormat::Table};
  const struct {
    const char* legend;
    std::string line;
    std::vector<SetUp> setUps;
  } cases[] = {
      {"table image", "[TABLE][1A00][12][40]\n", {table}},
      {"table, EE past 7F", "[TABLE][FE00][15][200]\n", {{Action::SendWithAck, "  *7F84\n\r", ImageFormat::Table}}},
      {"table, lower-case address reads 1000", "[TABLE][1a00][12][40]\n",
       {{Action::SendWithAck, "  *0808\n\r", ImageFormat::Table}}},
      {"table, blanks before the numbers", "[TABLE][0400][ 8][ 64]\n",
       {{Action::SendWithAck, "  *0203\n\r", ImageFormat::Table}}},
      {"table, the first four characters of the address", "[TABLE][12345][3][7]\n",
       {{Action::SendWithAck, "  *0909\n\r", ImageFormat::Table}}},
      {"Intel HEX image", "[INTELHEX]0410\n", {intel}},
      {"Intel HEX, positions 10-13 whatever stands there", "x[INTELHEX]0410\n",
       {{Action::SendWithAck, "  *]041", ImageFormat::IntelHex}}},
      {"OCD image", "[ZTQFLASH]\n", {ocd}},
      {"table then OCD: set up twice, OCD decides", "[TABLE][1A00][12][40][ZTQFLASH]\n", {table, ocd}},
      {"OCD tag first in the line still comes after Intel HEX", "[ZTQFLASH][INTELHEX]0410\n",
       {{Action::SendWithAck, "  *[INT", ImageFormat::IntelHex}, ocd}},
      {"no tag", "hello\n", {}},
      {"lower-case tag is no tag", "[table][1A00][12][40]\n", {}},
  };
  for (const auto& c : cases) {
    FlashImage image;
    const std::vector<FlashStep> steps = image.Header(c.line);
    ASSERT_EQ(steps.size(), c.setUps.size()) << c.legend;
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i].action, c.setUps[i].action) << c.legend;
      EXPECT_EQ(steps[i].bytes, c.setUps[i].bytes) << c.legend;
      EXPECT_EQ(steps[i].format, c.setUps[i].format) << c.legend;
    }
  }
}

// Whole files, each set-up carried out and each record acknowledged.
TEST(FlashImage, Runs) {
  const Texts intelLines = {":10010000000102030405060708090A0B0C0D0E0F77\n",
                            ":10abcd00000102030405060708090A0B0C0D0E0F77\n", "not a record\n",
                            ":0A0110000102030405060708090AAE"};
  const struct {
    const char* legend;
    std::string content;
    Texts sent;
    Texts shown;  // not compared when empty
    int byteCount;
    std::string error;
    Action end;
  } cases[] = {
      {"table N = 12: 61-character records; the first line is passed over whatever it holds",
       "[TABLE][0100][12][4]\ndb 'passed over\ndb 'ABCDEFGHIJKL'\ndb 'MNOPQRSTUVWX'\ndb 'abcdefghijkl'\n"
       "db 'mnopqrstuvwx'\n",
       {":180100004142434445464748494A4B4C4D4E4F505152535455565758BB\r\n",
        ":180118006162636465666768696A6B6C6D6E6F707172737475767778A3\r\n"},
       {"0118", "0130"}, 48, "", Action::SendWithoutAck},
      {"table N = 15: the widest record, 73 characters", "[TABLE][2000][15][2]\n\ndb '" + std::string(15, 'A') +
       "'\ndb '" + std::string(15, 'B') + "'\n",
       {":1E20000041414141414141414141414141414142424242424242424242424242424215\r\n"}, {"201E"}, 30, "",
       Action::SendWithoutAck},
      {"table with an odd number of lines: the last is counted, never sent",
       "[TABLE][0000][4][3]\n\ndb 'ABCD'\ndb 'EFGH'\ndb 'IJKL'\n", {":080000004142434445464748D4\r\n"}, {}, 12, "",
       Action::SendWithoutAck},
      {"db 'AB' with N = 4: A, B, the quote, the LF", "[TABLE][0000][4][2]\n\ndb 'AB'\ndb 'CD'\n",
       {":080000004142270A4344270A8C\r\n"}, {}, 8, "", Action::SendWithoutAck},
      {"db 'AB' at the end of a file without line end: a 0 byte", "[TABLE][0000][4][2]\n\ndb 'AB'\ndb 'CD'",
       {":080000004142270A4344270096\r\n"}, {}, 8, "", Action::SendWithoutAck},
      {"db % digits as they stand; lower-case counts 0", "[TABLE][0040][1][2]\n\ndb %3F\ndb %a0\n",
       {":020040003Fa07F\r\n"}, {}, 2, "", Action::SendWithoutAck},
      {"db % in a wider slot is padded with 00", "[TABLE][0000][3][2]\n\ndb %41\ndb %42\n",
       {":0600000041000042000077\r\n"}, {}, 2, "", Action::SendWithoutAck},
      {"lower-case address: text as written, then on from its value 1000",
       "[TABLE][1a00][2][4]\n\ndb 'AB'\ndb 'CD'\ndb 'EF'\ndb 'GH'\n",
       {":041a000041424344E2\r\n", ":0410040045464748CE\r\n"}, {"1004", "1008"}, 8, "", Action::SendWithoutAck},
      {"table, fifth data line malformed: two records, then the error, no end record",
       "[TABLE][0000][4][10]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndw 'EEEE'\ndb 'FFFF'\n",
       {":080000004141414142424242EC\r\n", ":080008004343434344444444D4\r\n"}, {}, 16, msg::kDbFormat, Action::None},
      {"untagged first line, then a line", "hello\nworld\n", {}, {}, 0, msg::kInvalidFileType, Action::None},
      {"untagged line alone", "hello\n", {}, {}, 0, "", Action::None},
      {"empty file", "", {}, {}, 0, "", Action::None},
      {"Intel HEX lines go as read and count by their length", "[INTELHEX]0410\n" + intelLines[0] +
       intelLines[1] + intelLines[2] + intelLines[3], intelLines, {"0100", "abcd", " a r", "0110"}, 42, "",
       Action::SendWithoutAck},
      {"Intel HEX CR LF lines go with a single LF", "[INTELHEX]0410\r\n:0A0110000102030405060708090AAE\r\n",
       {":0A0110000102030405060708090AAE\n"}, {}, 10, "", Action::SendWithoutAck},
      {"OCD image: every record counted and shown, the closing steps follow",
       "[ZTQFLASH]\n:020000040001F9\n:0A0110000102030405060708090AAE\n:00000001FF\n", {}, {"0000", "0110", "0000"},
       12, "", Action::CloseOcd},
  };
  for (const auto& c : cases) {
    const test::ImageRun run = test::RunImage(c.content);
    EXPECT_EQ(run.sent, c.sent) << c.legend;
    EXPECT_EQ(c.shown.empty() ? c.shown : run.shown, c.shown) << c.legend;
    EXPECT_EQ(run.byteCount, c.byteCount) << c.legend;
    EXPECT_EQ(run.error, c.error) << c.legend;
    EXPECT_EQ(run.end.action, c.end) << c.legend;
    EXPECT_EQ(run.end.bytes, c.end == Action::SendWithoutAck ? std::string(":00000001FF\r\n\0\0", 15) : "")
        << c.legend;
  }
}

TEST(FlashImage, OcdRecordsBecomeProgramMemoryWrites) {
  std::vector<uint8_t> sixteen = {0x0A, 0x01, 0x00, 0x00, 0x10};
  for (uint8_t i = 0; i < 16; ++i) sixteen.push_back(i);
  const struct {
    const char* legend;
    std::string line;
    Action action;
    std::vector<uint8_t> bytes;  // the write, when there is one
    int growth;
    std::string address;
  } cases[] = {
      {"16-byte data record", ":10010000000102030405060708090A0B0C0D0E0F77\n", Action::OcdWrite, sixteen, 16, "0100"},
      {"type 04 counted, not written", ":020000040001F9\n", Action::None, {}, 2, "0000"},
      {"LL 00 type 00 writes count 0", ":00123400BA\n", Action::OcdWrite, {0x0A, 0x12, 0x34, 0x00, 0x00}, 0, "1234"},
      {"end record", ":00000001FF\n", Action::None, {}, 0, "0000"},
      {"lower-case address reads 0", ":02ab000041420E\n", Action::OcdWrite, {0x0A, 0x00, 0x00, 0x00, 0x02, 0x41, 0x42},
       2, "ab00"},
      {"checksum and start not examined", "x02FFFE00ABCDzz\n", Action::OcdWrite,
       {0x0A, 0xFF, 0xFE, 0x00, 0x02, 0xAB, 0xCD}, 2, "FFFE"},
      {"not a record", "hello\n", Action::None, {}, 0, "lo\n "},
  };
  for (const auto& c : cases) {
    FlashImage image;
    image.Adopt(ImageFormat::Ocd);
    const FlashStep step = image.Line(c.line);
    EXPECT_EQ(step.action, c.action) << c.legend;
    EXPECT_EQ(image.ByteCount(), c.growth) << c.legend;
    EXPECT_EQ(step.address, c.address) << c.legend;
    EXPECT_EQ(step.ocd.bytes, c.bytes) << c.legend;
    EXPECT_EQ(step.ocd.readCount, static_cast<int>(c.bytes.size())) << c.legend << ": 5 + LL back";
  }
}

}  // namespace
}  // namespace orv::flash
