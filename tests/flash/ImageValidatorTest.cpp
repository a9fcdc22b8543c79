#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "flash/FlashImage.h"
#include "flash/Messages.h"
#include "ImageRun.h"

namespace orv::flash {
namespace {

const std::string kRecord16 = ":10010000000102030405060708090A0B0C0D0E0F77\n";
const std::string kEnd = ":00000001FF\n";

struct ValidateCase {
  const char* legend;
  std::string content;
  int line;
  const char* message;  // null: nothing refused
};

TEST(ValidateImage, RefusesBeforeAnythingIsSent) {
  const std::string k58(58, 'x');
  const ValidateCase cases[] = {
      {"empty file", "", 0, nullptr},
      {"untagged: the run says Invalid File Type in its place", "hello\nworld\n", 0, nullptr},
      {"OCD image with its end record", "[ZTQFLASH]\n" + kRecord16 + kEnd, 0, nullptr},
      {"OCD image, end record then blank lines", "[ZTQFLASH]\n" + kRecord16 + kEnd + "\n  \n", 0, nullptr},
      {"OCD image, CR LF line ends", "[ZTQFLASH]\r\n:00000001FF\r\n", 0, nullptr},
      {"OCD image cut short by a failed read-back", "[ZTQFLASH]\n" + kRecord16 + kRecord16, 0, msg::kNoEndRecord},
      {"OCD image of the header alone", "[ZTQFLASH]\n", 0, msg::kNoEndRecord},
      {"OCD image, data after the end record", "[ZTQFLASH]\n" + kEnd + kRecord16, 0, msg::kNoEndRecord},
      {"OCD record of 17 bytes", "[ZTQFLASH]\n:110000000000000000000000000000000000000000EF\n" + kEnd, 2,
       msg::kRecordTooLong},
      {"OCD record of 32 bytes, 75 characters",
       "[ZTQFLASH]\n:200000008BDEBCB785CA493DFA5A8199E397B847A5475EE66AB43CE4630E4EF5A046FEF151\n" + kEnd, 2,
       msg::kRecordTooLong},
      {"OCD record shorter than its length", "[ZTQFLASH]\n:10000000AABB\n" + kEnd, 2, msg::kRecordTooShort},
      {"OCD record past FFFF", "[ZTQFLASH]\n:10FFF80000000000000000000000000000000000F9\n" + kEnd, 2,
       msg::kPastEndOfMemory},
      {"line of 58 characters and LF", "[INTELHEX]0410\n" + k58 + "\n", 0, nullptr},
      {"line of 58 characters and CR LF", "[INTELHEX]0410\n" + k58 + "\r\n", 0, nullptr},
      {"line of 59 characters and LF", "[INTELHEX]0410\n" + k58 + "x\n", 2, msg::kLineTooLong},
      {"last line of 59 characters, no line end", "[INTELHEX]0410\n" + k58 + "x", 0, nullptr},
      {"last line of 60 characters, no line end", "[INTELHEX]0410\n" + k58 + "xx", 2, msg::kLineTooLong},
      {"long line in the middle", "[INTELHEX]0410\n:00\n" + k58 + "xyz\n:00\n", 3, msg::kLineTooLong},
      {"long header", "[ZTQFLASH]" + k58 + "\n" + kEnd, 1, msg::kLineTooLong},
      {"long line in a table", "[TABLE][0000][4][4]\n\ndb 'ABCD'\n" + k58 + "xyz\n", 4, msg::kLineTooLong},
      {"table width 16", "[TABLE][0000][16][4]\n\n", 1, msg::kTableWidth},
      {"table width 0", "[TABLE][0000][0][4]\n\n", 1, msg::kTableWidth},
      {"table running past FFFF", "[TABLE][FFF0][8][4]\n\ndb '11111111'\ndb '22222222'\ndb '33333333'\ndb '44444444'\n",
       6, msg::kPastEndOfMemory},
      {"table ending at FFFF", "[TABLE][FFF0][8][2]\n\ndb '11111111'\ndb '22222222'\n", 0, nullptr},
      {"table, fifth line malformed: two records go first", 
       "[TABLE][0000][4][10]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndw 'EEEE'\ndb 'FFFF'\n", 0, nullptr},
      {"Intel HEX forwarded unexamined", "[INTELHEX]0410\nanything\n:FF\n", 0, nullptr},
  };
  for (const ValidateCase& c : cases) {
    const ImageProblem problem = ValidateImage(c.content);
    if (c.message == nullptr) {
      EXPECT_TRUE(problem.Ok()) << c.legend << ": " << problem.message;
    } else {
      EXPECT_EQ(problem.message, c.message) << c.legend;
      EXPECT_EQ(problem.line, c.line) << c.legend;
    }
  }
}

// The run reads the file with LineReader; fed the same way, the validator
// must come to the same answer as over the content in memory.
TEST(ValidateImage, StreamFedThroughLineReaderAgrees) {
  const std::string content = "[ZTQFLASH]\r\n" + kRecord16 + ":10FFF80000000000000000000000000000000000F9\n";
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::fwrite(content.data(), 1, content.size(), file);
  std::rewind(file);
  LineReader reader(file);
  ImageValidator validator;
  std::string piece;
  while (reader.Next(piece) == LineStatus::Line) validator.Feed(piece);
  std::fclose(file);
  const ImageProblem problem = validator.Finish();
  EXPECT_EQ(problem.message, msg::kPastEndOfMemory);
  EXPECT_EQ(problem.line, 3);
}

// ---- Files made by srec_cat ----
//
// Committed once, made with
//   srec_cat -generate 0 0x400 -random -o srec16_type04.hex -Intel -Output_Block_Size=16 -address-length=4
//   srec_cat -generate 0x8000 0x8300 -random -o srec16_type02.hex -Intel -Output_Block_Size=16 -address-length=3
//   srec_cat -generate 0 0x100 -random -o srec32.hex -Intel -Output_Block_Size=32 -address-length=2

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string DataFile(const char* name) { return std::string(ORV_FLASH_TEST_DATA) + "/" + name; }

using Memory = std::array<uint8_t, 0x10000>;

// Programs an OCD image into erased memory the way the run would, through
// the write commands the translation gives.
Memory Program(const std::string& content, int& writes) {
  Memory memory;
  memory.fill(0xFF);
  writes = 0;
  const test::ImageRun run = test::RunImage(content);
  for (const FlashStep& step : run.lines) {
    if (step.action != Action::OcdWrite) continue;
    const auto& bytes = step.ocd.bytes;
    const unsigned address = bytes[1] * 256u + bytes[2];
    for (size_t i = 5; i < bytes.size(); ++i) memory[address + i - 5] = bytes[i];
    ++writes;
  }
  return memory;
}

// The memory srec_cat itself makes of the file, or nothing without srec_cat.
bool SrecMemory(const std::string& hexPath, Memory& memory) {
  if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) return false;
  char binPath[] = "/tmp/orv_flash_srecXXXXXX";
  const int fd = mkstemp(binPath);
  if (fd < 0) return false;
  close(fd);
  const std::string command = "srec_cat '" + hexPath + "' -Intel -fill 0xFF 0 0x10000 -o '" + binPath + "' -Binary";
  const bool made = std::system(command.c_str()) == 0;
  const std::string bytes = made ? ReadFile(binPath) : std::string();
  std::remove(binPath);
  if (bytes.size() != memory.size()) return false;
  std::copy(bytes.begin(), bytes.end(), memory.begin());
  return true;
}

struct SrecCase {
  const char* file;
  int dataBytes;
  int records;
};

TEST(SrecCatImages, SixteenByteRecordsProgramWhatSrecCatReads) {
  const SrecCase cases[] = {{"srec16_type04.hex", 0x400, 0x40}, {"srec16_type02.hex", 0x300, 0x30}};
  bool compared = true;
  for (const SrecCase& c : cases) {
    const std::string content = "[ZTQFLASH]\n" + ReadFile(DataFile(c.file));
    ASSERT_GT(content.size(), 20u) << c.file;
    EXPECT_TRUE(ValidateImage(content).Ok()) << c.file << ": " << ValidateImage(content).message;

    const test::ImageRun run = test::RunImage(content);
    EXPECT_EQ(run.error, "") << c.file;
    // Every line counts by its length: the data, plus two for the leading
    // extended address record.
    EXPECT_EQ(run.byteCount, c.dataBytes + 2) << c.file;
    int writes = 0;
    const Memory programmed = Program(content, writes);
    EXPECT_EQ(writes, c.records) << c.file;

    Memory expected;
    if (!SrecMemory(DataFile(c.file), expected)) {
      compared = false;
      continue;
    }
    EXPECT_TRUE(programmed == expected) << c.file;
  }
  if (!compared) GTEST_SKIP() << "srec_cat not available: memory not compared with its reading";
}

TEST(SrecCatImages, ThirtyTwoByteRecordsAreRefusedBeforeTheErase) {
  const std::string content = "[ZTQFLASH]\n" + ReadFile(DataFile("srec32.hex"));
  const ImageProblem problem = ValidateImage(content);
  EXPECT_EQ(problem.message, msg::kRecordTooLong);
  EXPECT_EQ(problem.line, 2);
}

TEST(SrecCatImages, AsIntelHexImageTheLongLinesAreRefused) {
  const std::string content = "[INTELHEX]0001\n" + ReadFile(DataFile("srec32.hex"));
  const ImageProblem problem = ValidateImage(content);
  EXPECT_EQ(problem.message, msg::kLineTooLong);
  EXPECT_EQ(problem.line, 2);
}

}  // namespace
}  // namespace orv::flash
