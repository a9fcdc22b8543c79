#include "flash/Readback.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/Crc16.h"
#include "flash/FlashImage.h"
#include "flash/Messages.h"
#include "ImageRun.h"
#include "SimLink.h"

namespace orv::flash {
namespace {

// The exchange buffer after a read of 16 bytes: the echo, then the data.
std::vector<uint8_t> Exchange(uint16_t echoAddress, uint8_t first, uint8_t step, size_t size = 21) {
  std::vector<uint8_t> buffer = {0x0B, static_cast<uint8_t>(echoAddress >> 8), static_cast<uint8_t>(echoAddress),
                                 0x00, 0x10};
  for (int i = 0; i < 16; ++i) buffer.push_back(static_cast<uint8_t>(first + i * step));
  buffer.resize(size);
  return buffer;
}

TEST(Readback, RecordLinesFromTheExchangeBuffer) {
  const struct {
    const char* legend;
    uint16_t address;
    std::vector<uint8_t> exchange;
    std::string line;
  } cases[] = {
      {"erased memory at 0000: checksum 00", 0x0000, Exchange(0x0000, 0xFF, 0),
       ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"},
      {"erased memory at FFF0", 0xFFF0, Exchange(0xFFF0, 0xFF, 0), ":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r\n"},
      {"00 11 .. FF at 1230", 0x1230, Exchange(0x1230, 0x00, 0x11), ":1012300000112233445566778899AABBCCDDEEFFB6\r\n"},
      {"a wrong echo: the address as sent, the checksum from the echo", 0x0010, Exchange(0x0000, 0xFF, 0),
       ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"},
      {"a short exchange gives no line", 0x0000, Exchange(0x0000, 0xFF, 0, 20), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadbackRecordLine(c.address, c.exchange.data(), c.exchange.size()), c.line) << c.legend;
  }
  EXPECT_EQ(ReadbackHeaderLine(), "[ZTQFLASH]\r\n");
  EXPECT_EQ(ReadbackEndLine(), ":00000001FF\r\n");
}

TEST(Readback, ProgressRowShowsFlashAndTheAddress) {
  const struct {
    const char* legend;
    std::string address;
    std::vector<int> cells;  // 6 to 9
  } cases[] = {
      {"digits and letters", "1A2F", {40, 280, 60, 380}},
      {"lower case, blank and line end show blank", "ab\n ", {0, 0, 0, 0}},
      {"missing characters show blank", "9", {200, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    int grid[kCells];
    std::fill(std::begin(grid), std::end(grid), 999);
    FillProgressRow(grid, c.address);
    EXPECT_EQ(std::vector<int>(grid, grid + 6), (std::vector<int>{380, 500, 280, 640, 420, 0})) << c.legend;
    EXPECT_EQ(std::vector<int>(grid + 6, grid + 10), c.cells) << c.legend;
    EXPECT_EQ(std::vector<int>(grid + 10, grid + kCells), std::vector<int>(kCells - 10, 999)) << c.legend;
  }
}

std::string ReadBack(test::SimLink& unit) {
  unit.Open();
  std::string file = ReadbackHeaderLine();
  for (int address = 0; address < 0x10000; address += kReadbackRecordBytes) {
    const std::vector<uint8_t> buffer = unit.Exchange(ReadbackCommand(static_cast<uint16_t>(address)));
    file += ReadbackRecordLine(static_cast<uint16_t>(address), buffer.data(), buffer.size());
  }
  return file + ReadbackEndLine();
}

bool SrecCatAccepts(const std::string& records) {
  std::FILE* in = popen("srec_cat - -Intel -o /dev/null -Intel 2>/dev/null", "w");
  if (in == nullptr) return false;
  std::fwrite(records.data(), 1, records.size(), in);
  return pclose(in) == 0;
}

TEST(Readback, TheSavedFileProgramsTheSameMemoryBack) {
  test::SimLink source;
  std::mt19937 random(42);
  for (uint8_t& byte : source.memory) byte = static_cast<uint8_t>(random());
  const std::string file = ReadBack(source);
  size_t lines = 0;
  for (size_t pos = file.find("\r\n"); pos != std::string::npos; pos = file.find("\r\n", pos + 2)) ++lines;
  EXPECT_EQ(lines, 4098u);
  EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1) << "every LF comes after a CR";
  ASSERT_EQ(ValidateImage(file).message, "");

  // Erase and unlock as FLASH does, with the erase wait bounded.
  test::SimLink target;
  target.memory.fill(0x00);
  target.Open();
  target.Exchange({FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1, FlashCommand::Unlock2,
                   FlashCommand::MassErase});
  for (const int64_t deadline = target.nowMs + 20000; target.FlashStatus() != 0x00 && target.nowMs < deadline;) {
    target.nowMs += 200;
  }
  target.Exchange({FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1, FlashCommand::Unlock2});

  const test::ImageRun run = test::RunImage(file);
  ASSERT_EQ(run.error, "");
  for (const FlashStep& step : run.lines) {
    if (step.action == Action::OcdWrite) target.Exchange(step.ocd);
  }
  target.Exchange(Command(FlashCommand::Control00));
  EXPECT_EQ(run.byteCount, 65536);
  EXPECT_EQ(target.ocd.MassEraseCount(), 1);
  EXPECT_EQ(target.ocd.MemoryWriteCount(), 4096);
  EXPECT_TRUE(target.memory == source.memory);
  const std::vector<uint8_t> crc = target.Exchange(ReadMemoryCrc());
  EXPECT_EQ(crc[kCrcHighAt] * 256 + crc[kCrcLowAt], Crc16X25(source.memory.data(), source.memory.size()));

  // A read-back that failed half way leaves a file without its end record.
  const std::string cut = file.substr(0, file.find("\r\n", file.size() / 2) + 2);
  EXPECT_EQ(ValidateImage(cut).message, msg::kNoEndRecord);

  if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) GTEST_SKIP() << "srec_cat not available";
  EXPECT_TRUE(SrecCatAccepts(file.substr(file.find('\n') + 1))) << "srec_cat refused the file";
}

}  // namespace
}  // namespace orv::flash
