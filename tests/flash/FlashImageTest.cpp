#include "flash/FlashImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/Messages.h"
#include "ImageRun.h"

namespace orv::flash {
namespace {

using test::ImageRun;
using test::RunImage;

// ---- Header set-up ----

struct SetUpExpect {
  Action action;
  std::string bytes;
  ImageFormat format;
};

struct HeaderCase {
  const char* legend;
  std::string line;
  std::vector<SetUpExpect> setUps;
};

TEST(FlashImageHeader, TagsInOrderEachIndependently) {
  const std::string kTableRange = std::string("  *0D0D\n\r", 9);
  const HeaderCase cases[] = {
      {"table image", "[TABLE][1A00][12][40]\n", {{Action::SendWithAck, kTableRange, ImageFormat::Table}}},
      {"table, pages 0 to 2", "[TABLE][0000][15][100]\n", {{Action::SendWithAck, "  *0002\n\r", ImageFormat::Table}}},
      {"table, EE past 7F", "[TABLE][FE00][15][200]\n", {{Action::SendWithAck, "  *7F84\n\r", ImageFormat::Table}}},
      {"table, lower-case address reads 1000", "[TABLE][1a00][12][40]\n",
       {{Action::SendWithAck, "  *0808\n\r", ImageFormat::Table}}},
      {"table, blanks before the numbers", "[TABLE][0400][ 8][ 64]\n",
       {{Action::SendWithAck, "  *0203\n\r", ImageFormat::Table}}},
      {"Intel HEX image", "[INTELHEX]0410\n", {{Action::SendWithAck, "  *0410", ImageFormat::IntelHex}}},
      {"Intel HEX, positions 10-13 whatever stands there", "x[INTELHEX]0410\n",
       {{Action::SendWithAck, "  *]041", ImageFormat::IntelHex}}},
      {"OCD image", "[ZTQFLASH]\n", {{Action::OpenOcdAndErase, "", ImageFormat::Ocd}}},
      {"table then OCD: set up twice, OCD decides", "[TABLE][1A00][12][40][ZTQFLASH]\n",
       {{Action::SendWithAck, kTableRange, ImageFormat::Table}, {Action::OpenOcdAndErase, "", ImageFormat::Ocd}}},
      {"OCD tag first in the line still comes after Intel HEX", "[INTELHEX]0410[ZTQFLASH]\n",
       {{Action::SendWithAck, "  *0410", ImageFormat::IntelHex}, {Action::OpenOcdAndErase, "", ImageFormat::Ocd}}},
      {"no tag", "hello\n", {}},
      {"lower-case tag is no tag", "[table][1A00][12][40]\n", {}},
  };
  for (const HeaderCase& c : cases) {
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

struct HeaderErrorCase {
  const char* legend;
  std::string line;
  const char* message;
};

TEST(FlashImageHeader, RefusedHeadersSayWhy) {
  const HeaderErrorCase cases[] = {
      {"width 0", "[TABLE][1A00][0][40]", msg::kTableWidth},
      {"width 16: a 77-character record", "[TABLE][1A00][16][40]", msg::kTableWidth},
      {"width 15 plus junk reads 15, fine", "[TABLE][1A00][15x][40]", nullptr},
      {"no fields", "[TABLE]", msg::kTableHeader},
      {"address of two digits", "[TABLE][1A][12][40]", msg::kTableHeader},
      {"Intel HEX without page range", "[INTELHEX]04\n", msg::kIntelHexPages},
      {"Intel HEX with a line end in its page range", "[INTELHEX]041\n", msg::kIntelHexPages},
  };
  for (const HeaderErrorCase& c : cases) {
    FlashImage image;
    const std::vector<FlashStep> steps = image.Header(c.line);
    ASSERT_FALSE(steps.empty()) << c.legend;
    if (c.message == nullptr) {
      EXPECT_NE(steps.back().action, Action::Error) << c.legend;
    } else {
      EXPECT_EQ(steps.back().action, Action::Error) << c.legend;
      EXPECT_EQ(steps.back().message, c.message) << c.legend;
    }
  }
}

TEST(FlashImageHeader, TableFieldsAreCutAsWritten) {
  const TableHeader h = ParseTableHeader("[TABLE][1A00][12][40]");
  EXPECT_EQ(h.addressText, "1A00");
  EXPECT_EQ(h.address, 0x1A00);
  EXPECT_EQ(h.lineWidth, 12);
  EXPECT_EQ(h.lineCount, 40);
  const TableHeader longField = ParseTableHeader("[TABLE][12345][3][7]");
  EXPECT_EQ(longField.addressText, "1234") << "first four characters of field 1";
}

// ---- Table image ----

TEST(FlashImageTable, WidthTwelveMakesRecordsOfSixtyOneCharacters) {
  const ImageRun run = RunImage(
      "[TABLE][0100][12][4]\n"
      "db 'this line is passed over, whatever it holds\n"
      "db 'ABCDEFGHIJKL'\n"
      "db 'MNOPQRSTUVWX'\n"
      "db 'abcdefghijkl'\n"
      "db 'mnopqrstuvwx'\n");
  ASSERT_EQ(run.error, "");
  const std::vector<std::string> sent = run.Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], ":180100004142434445464748494A4B4C4D4E4F505152535455565758BB\r\n");
  EXPECT_EQ(sent[0].size(), 61u);
  EXPECT_EQ(sent[1].substr(0, 9), ":18011800") << "second record follows on at 0100 + 24";
  EXPECT_EQ(run.shown, (std::vector<std::string>{"0118", "0130"}));
  EXPECT_EQ(run.byteCount, 48);
  EXPECT_EQ(run.end.action, Action::SendWithoutAck);
  EXPECT_EQ(run.end.bytes, EndRecord());
}

TEST(FlashImageTable, OddLineIsCountedButNeverSent) {
  const ImageRun run = RunImage("[TABLE][0000][4][3]\n\ndb 'ABCD'\ndb 'EFGH'\ndb 'IJKL'\n");
  EXPECT_EQ(run.Sent().size(), 1u);
  EXPECT_EQ(run.byteCount, 12);
  EXPECT_EQ(run.end.action, Action::SendWithoutAck);
}

struct TableRecordCase {
  const char* legend;
  std::string content;
  std::string record;
};

TEST(FlashImageTable, DataLines) {
  const TableRecordCase cases[] = {
      {"db 'AB' with N = 4: A, B, the quote, the LF", "[TABLE][0000][4][2]\n\ndb 'AB'\ndb 'CD'\n",
       ":080000004142270A4344270A8C\r\n"},
      {"db 'AB' at the end of a file without line end: a 0 byte", "[TABLE][0000][4][2]\n\ndb 'AB'\ndb 'CD'",
       ":080000004142270A4344270096\r\n"},
      {"db % digits as they stand; lower-case counts 0", "[TABLE][0040][1][2]\n\ndb %3F\ndb %a0\n",
       ":020040003Fa07F\r\n"},
      {"db % in a wider slot is padded with 00", "[TABLE][0000][3][2]\n\ndb %41\ndb %42\n",
       ":0600000041000042000077\r\n"},
      {"db % with no digits writes 00, one line", "[TABLE][0000][1][2]\n\ndb %\ndb %7\n",
       ":0200000000708E\r\n"},
      {"lower-case address: text as written, value 1000", "[TABLE][1a00][2][2]\n\ndb 'AB'\ndb 'CD'\n",
       ":041a000041424344E2\r\n"},
  };
  for (const TableRecordCase& c : cases) {
    const ImageRun run = RunImage(c.content);
    ASSERT_EQ(run.error, "") << c.legend;
    ASSERT_EQ(run.Sent().size(), 1u) << c.legend;
    EXPECT_EQ(run.Sent()[0], c.record) << c.legend;
  }
}

TEST(FlashImageTable, LowerCaseAddressCarriesOnFromItsValue) {
  const ImageRun run = RunImage("[TABLE][1a00][2][4]\n\ndb 'AB'\ndb 'CD'\ndb 'EF'\ndb 'GH'\n");
  ASSERT_EQ(run.Sent().size(), 2u);
  EXPECT_EQ(run.Sent()[1].substr(0, 9), ":04100400");
}

int HexValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

// Every record is a sound Intel HEX record whatever the width: its bytes
// sum to 0 and it is 4N + 13 characters long.
TEST(FlashImageTable, RecordsAreSoundForEveryWidth) {
  for (int width = 1; width <= 15; ++width) {
    std::string content = "[TABLE][2000][" + std::to_string(width) + "][4]\n\n";
    for (int line = 0; line < 4; ++line) {
      content += "db '" + std::string(static_cast<size_t>(width), static_cast<char>('A' + line)) + "'\n";
    }
    const ImageRun run = RunImage(content);
    ASSERT_EQ(run.Sent().size(), 2u) << "N = " << width;
    for (const std::string& record : run.Sent()) {
      ASSERT_EQ(record.size(), static_cast<size_t>(4 * width + 13)) << "N = " << width;
      int sum = 0;
      for (size_t i = 1; i + 2 < record.size(); i += 2) sum += HexValue(record[i]) * 16 + HexValue(record[i + 1]);
      EXPECT_EQ(sum & 0xFF, 0) << "N = " << width << ": " << record;
    }
    EXPECT_EQ(run.Sent()[1].substr(3, 4), run.shown[0]) << "N = " << width;
  }
}

TEST(FlashImageTable, FifthDataLineMalformedSendsTwoRecordsFirst) {
  const ImageRun run = RunImage(
      "[TABLE][0000][4][10]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndw 'EEEE'\ndb 'FFFF'\n");
  EXPECT_EQ(run.Sent().size(), 2u);
  EXPECT_EQ(run.error, msg::kDbFormat);
  EXPECT_EQ(run.lines.size(), 6u) << "nothing after the malformed line";
  EXPECT_EQ(run.end.action, Action::None) << "no end record";
}

TEST(FlashImageTable, RecordPastFFFFIsRefusedNotWrapped) {
  const ImageRun run = RunImage("[TABLE][FFF0][8][4]\n\ndb '11111111'\ndb '22222222'\ndb '33333333'\ndb '44444444'\n");
  ASSERT_EQ(run.Sent().size(), 1u) << "FFF0-FFFF fits";
  EXPECT_EQ(run.error, msg::kPastEndOfMemory);
}

// ---- No format ----

TEST(FlashImageNone, LinesWithoutFormat) {
  EXPECT_EQ(RunImage("hello\nworld\n").error, msg::kInvalidFileType);
  const ImageRun oneLine = RunImage("hello\n");
  EXPECT_EQ(oneLine.error, "");
  EXPECT_EQ(oneLine.end.action, Action::None);
  const ImageRun empty = RunImage("");
  EXPECT_EQ(empty.error, "");
  EXPECT_EQ(empty.byteCount, 0);
  EXPECT_EQ(empty.end.action, Action::None);
}

// ---- Intel HEX image ----

TEST(FlashImageIntelHex, LinesGoAsReadAndCountByTheirLength) {
  const std::vector<std::string> lines = {
      ":10010000000102030405060708090A0B0C0D0E0F77\n",
      ":10abcd00000102030405060708090A0B0C0D0E0F77\n",  // lower-case goes as it is
      "not a record\n",
      ":0A0110000102030405060708090AAE",  // last line, no line end
  };
  std::string content = "[INTELHEX]0410\n";
  for (const std::string& line : lines) content += line;
  const ImageRun run = RunImage(content);
  ASSERT_EQ(run.Sent(), lines);
  EXPECT_EQ(run.byteCount, 16 + 16 + 0 + 10);
  EXPECT_EQ(run.shown[0], "0100");
  EXPECT_EQ(run.shown[1], "abcd");
  EXPECT_EQ(run.end.bytes, EndRecord());
}

TEST(FlashImageIntelHex, CrLfLinesGoWithASingleLf) {
  const ImageRun run = RunImage("[INTELHEX]0410\r\n:0A0110000102030405060708090AAE\r\n");
  ASSERT_EQ(run.Sent().size(), 1u);
  EXPECT_EQ(run.Sent()[0], ":0A0110000102030405060708090AAE\n");
}

// ---- OCD image ----

struct OcdLineCase {
  const char* legend;
  std::string line;
  Action action;
  std::vector<uint8_t> bytes;  // the write, when there is one
  int growth;
  std::string address;
};

TEST(FlashImageOcd, RecordsBecomeProgramMemoryWrites) {
  std::vector<uint8_t> sixteen = {0x0A, 0x01, 0x00, 0x00, 0x10};
  for (uint8_t i = 0; i < 16; ++i) sixteen.push_back(i);
  const OcdLineCase cases[] = {
      {"16-byte data record", ":10010000000102030405060708090A0B0C0D0E0F77\n", Action::OcdWrite, sixteen, 16, "0100"},
      {"type 04 counted, not written", ":020000040001F9\n", Action::None, {}, 2, "0000"},
      {"LL 00 type 00 writes count 0", ":00123400BA\n", Action::OcdWrite, {0x0A, 0x12, 0x34, 0x00, 0x00}, 0, "1234"},
      {"end record", ":00000001FF\n", Action::None, {}, 0, "0000"},
      {"lower-case address reads 0", ":02ab000041420E\n", Action::OcdWrite, {0x0A, 0x00, 0x00, 0x00, 0x02, 0x41, 0x42},
       2, "ab00"},
      {"checksum and start not examined", "x02FFFE00ABCDzz\n", Action::OcdWrite,
       {0x0A, 0xFF, 0xFE, 0x00, 0x02, 0xAB, 0xCD}, 2, "FFFE"},
      {"not a record", "hello\n", Action::None, {}, 0, "lo\n "},
      {"17 bytes refused", ":110000000000000000000000000000000000000000EF\n", Action::Error, {}, 0, ""},
      {"shorter than its length", ":10000000AABB\n", Action::Error, {}, 0, ""},
      {"past FFFF", ":10FFF80000000000000000000000000000000000F9\n", Action::Error, {}, 0, ""},
  };
  for (const OcdLineCase& c : cases) {
    FlashImage image;
    image.Adopt(ImageFormat::Ocd);
    const FlashStep step = image.Line(c.line);
    ASSERT_EQ(step.action, c.action) << c.legend;
    if (c.action == Action::Error) continue;
    EXPECT_EQ(step.byteGrowth, c.growth) << c.legend;
    EXPECT_EQ(image.ByteCount(), c.growth) << c.legend;
    EXPECT_EQ(step.address, c.address) << c.legend;
    if (c.action == Action::OcdWrite) {
      EXPECT_EQ(step.ocd.bytes, c.bytes) << c.legend;
      EXPECT_EQ(step.ocd.readCount, static_cast<int>(c.bytes.size())) << c.legend << ": 5 + LL back";
    }
  }
}

TEST(FlashImageOcd, EndIsTheClosingSteps) {
  const ImageRun run = RunImage("[ZTQFLASH]\n:020000040001F9\n:0A0110000102030405060708090AAE\n:00000001FF\n");
  EXPECT_EQ(run.format, ImageFormat::Ocd);
  EXPECT_EQ(run.byteCount, 12);
  EXPECT_EQ(run.end.action, Action::CloseOcd);
  EXPECT_EQ(run.shown, (std::vector<std::string>{"0000", "0110", "0000"}));
}

TEST(FlashImage, EndRecordIsFifteenBytes) {
  const std::string end = EndRecord();
  ASSERT_EQ(end.size(), static_cast<size_t>(kEndRecordSize));
  EXPECT_EQ(end, std::string(":00000001FF\r\n\0\0", 15));
}

}  // namespace
}  // namespace orv::flash
