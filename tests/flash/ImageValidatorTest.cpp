#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "flash/FlashImage.h"
#include "flash/Messages.h"
#include "ImageRun.h"

namespace orv::flash {
namespace {

// Files made once with srec_cat and committed:
//   srec_cat -generate 0 0x400 -random -o srec16_type04.hex -Intel -Output_Block_Size=16 -address-length=4
//   srec_cat -generate 0x8000 0x8300 -random -o srec16_type02.hex -Intel -Output_Block_Size=16 -address-length=3
//   srec_cat -generate 0 0x100 -random -o srec32.hex -Intel -Output_Block_Size=32 -address-length=2
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
std::string DataFile(const char* name) { return std::string(ORV_FLASH_TEST_DATA) + "/" + name; }

const std::string kRecord16 = ":10010000000102030405060708090A0B0C0D0E0F77\n";
const std::string kEnd = ":00000001FF\n";

TEST(ValidateImage, RefusesBeforeAnythingIsSent) {
  const std::string k58(58, 'x');
  const std::string srec32 = ReadFile(DataFile("srec32.hex"));
  ASSERT_FALSE(srec32.empty());
  const struct {
    const char* legend;
    std::string content;
    int line;
    const char* message;  // null: nothing refused
  } cases[] = {
      {"empty file", "", 0, nullptr},
      {"untagged: the run says Invalid File Type in its place", "hello\nworld\n", 0, nullptr},
      {"OCD image, end record then blank lines", "[ZTQFLASH]\n" + kRecord16 + kEnd + "\n  \n", 0, nullptr},
      {"OCD image cut short by a failed read-back", "[ZTQFLASH]\n" + kRecord16 + kRecord16, 0, msg::kNoEndRecord},
      {"OCD image, data after the end record", "[ZTQFLASH]\n" + kEnd + kRecord16, 0, msg::kNoEndRecord},
      {"OCD record of 17 bytes: refused, not sent in pieces",
       "[ZTQFLASH]\n:110000000000000000000000000000000000000000EF\n" + kEnd, 2, msg::kRecordTooLong},
      {"srec_cat's 32-byte records as an OCD image", "[ZTQFLASH]\n" + srec32, 2, msg::kRecordTooLong},
      {"srec_cat's 32-byte records as an Intel HEX image", "[INTELHEX]0001\n" + srec32, 2, msg::kLineTooLong},
      {"OCD record shorter than its length", "[ZTQFLASH]\n:10000000AABB\n" + kEnd, 2, msg::kRecordTooShort},
      {"OCD record past FFFF", "[ZTQFLASH]\n:10FFF80000000000000000000000000000000000F9\n" + kEnd, 2,
       msg::kPastEndOfMemory},
      {"line of 58 characters and CR LF", "[INTELHEX]0410\n" + k58 + "\r\n", 0, nullptr},
      {"line of 59 characters and LF", "[INTELHEX]0410\n" + k58 + "x\n", 2, msg::kLineTooLong},
      {"last line of 59 characters, no line end", "[INTELHEX]0410\n" + k58 + "x", 0, nullptr},
      {"last line of 60 characters, no line end", "[INTELHEX]0410\n" + k58 + "xx", 2, msg::kLineTooLong},
      {"long header", "[ZTQFLASH]" + k58 + "\n" + kEnd, 1, msg::kLineTooLong},
      {"table width 16 would make a 77-character record", "[TABLE][0000][16][4]\n\n", 1, msg::kTableWidth},
      {"table header without fields", "[TABLE]\n\n", 1, msg::kTableHeader},
      {"Intel HEX header without its page range", "[INTELHEX]04\n", 1, msg::kIntelHexPages},
      {"table running past FFFF", "[TABLE][FFF0][8][4]\n\ndb '11111111'\ndb '22222222'\ndb '33333333'\ndb '44444444'\n",
       6, msg::kPastEndOfMemory},
      {"table ending at FFFF", "[TABLE][FFF0][8][2]\n\ndb '11111111'\ndb '22222222'\n", 0, nullptr},
      {"table, fifth line malformed: the run sends two records first",
       "[TABLE][0000][4][10]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndw 'EEEE'\ndb 'FFFF'\n", 0, nullptr},
      {"Intel HEX forwarded unexamined", "[INTELHEX]0410\nanything\n:FF\n", 0, nullptr},
  };
  for (const auto& c : cases) {
    const ImageProblem problem = ValidateImage(c.content);
    EXPECT_EQ(problem.message, c.message ? c.message : "") << c.legend;
    EXPECT_EQ(problem.line, c.line) << c.legend;
  }
}

using Memory = std::array<uint8_t, 0x10000>;

// The memory srec_cat itself makes of the file.
bool SrecMemory(const std::string& hexPath, Memory& memory) {
  std::FILE* out = popen(("srec_cat '" + hexPath + "' -Intel -fill 0xFF 0 0x10000 -o - -Binary").c_str(), "r");
  if (out == nullptr) return false;
  const size_t read = std::fread(memory.data(), 1, memory.size(), out);
  return pclose(out) == 0 && read == memory.size();
}

TEST(SrecCatImages, SixteenByteRecordsProgramWhatSrecCatReads) {
  const bool haveSrecCat = std::system("command -v srec_cat >/dev/null 2>&1") == 0;
  const struct {
    const char* file;
    int dataBytes;
    int records;
  } cases[] = {{"srec16_type04.hex", 0x400, 0x40}, {"srec16_type02.hex", 0x300, 0x30}};
  for (const auto& c : cases) {
    const std::string content = "[ZTQFLASH]\n" + ReadFile(DataFile(c.file));
    EXPECT_EQ(ValidateImage(content).message, "") << c.file;
    const test::ImageRun run = test::RunImage(content);
    EXPECT_EQ(run.error, "") << c.file;
    // Every line counts by its length: the data, and two for the leading
    // extended address record.
    EXPECT_EQ(run.byteCount, c.dataBytes + 2) << c.file;

    Memory programmed;
    programmed.fill(0xFF);
    int writes = 0;
    for (const FlashStep& step : run.lines) {
      if (step.action != Action::OcdWrite) continue;
      const auto& bytes = step.ocd.bytes;
      std::copy(bytes.begin() + 5, bytes.end(), programmed.begin() + (bytes[1] * 256 + bytes[2]));
      ++writes;
    }
    EXPECT_EQ(writes, c.records) << c.file;
    Memory expected;
    if (haveSrecCat) {
      ASSERT_TRUE(SrecMemory(DataFile(c.file), expected)) << c.file;
      EXPECT_TRUE(programmed == expected) << c.file;
    }
  }
  if (!haveSrecCat) GTEST_SKIP() << "srec_cat not available: memory not compared with its reading";
}

}  // namespace
}  // namespace orv::flash
