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

std::vector<uint8_t> Exchange(uint16_t echoAddress, std::vector<uint8_t> data) {
  std::vector<uint8_t> buffer = {0x0B, static_cast<uint8_t>(echoAddress >> 8),
                                 static_cast<uint8_t>(echoAddress & 0xFF), 0x00, 0x10};
  buffer.insert(buffer.end(), data.begin(), data.end());
  return buffer;
}

std::vector<uint8_t> Counting() {
  std::vector<uint8_t> data;
  for (uint8_t i = 0; i < 16; ++i) data.push_back(static_cast<uint8_t>(i * 17));
  return data;
}

struct RecordCase {
  const char* legend;
  uint16_t address;
  std::vector<uint8_t> exchange;
  std::string line;
};

TEST(ReadbackRecord, LinesFromTheExchangeBuffer) {
  const RecordCase cases[] = {
      {"erased memory at 0000: checksum 00", 0x0000, Exchange(0x0000, std::vector<uint8_t>(16, 0xFF)),
       ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"},
      {"erased memory at FFF0", 0xFFF0, Exchange(0xFFF0, std::vector<uint8_t>(16, 0xFF)),
       ":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r\n"},
      {"00 11 .. FF at 1230", 0x1230, Exchange(0x1230, Counting()),
       ":1012300000112233445566778899AABBCCDDEEFFB6\r\n"},
      {"a wrong echo: the address as sent, the checksum from the echo", 0x0010,
       Exchange(0x0000, std::vector<uint8_t>(16, 0xFF)), ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"},
  };
  for (const RecordCase& c : cases) {
    const std::string line = ReadbackRecordLine(c.address, c.exchange.data(), c.exchange.size());
    EXPECT_EQ(line, c.line) << c.legend;
    EXPECT_EQ(line.size(), static_cast<size_t>(kReadbackRecordChars + 2)) << c.legend;
  }
}

TEST(ReadbackRecord, ShortBufferGivesNoLine) {
  const std::vector<uint8_t> buffer(20, 0xFF);
  EXPECT_EQ(ReadbackRecordLine(0, buffer.data(), buffer.size()), "");
  EXPECT_EQ(ReadbackRecordLine(0, nullptr, 21), "");
}

TEST(ReadbackRecord, FixedLinesEndInCrLf) {
  EXPECT_EQ(ReadbackHeaderLine(), "[ZTQFLASH]\r\n");
  EXPECT_EQ(ReadbackEndLine(), ":00000001FF\r\n");
  EXPECT_EQ(ReadbackCommand(0xABC0).bytes, (std::vector<uint8_t>{0x0B, 0xAB, 0xC0, 0x00, 0x10}));
  EXPECT_EQ(ReadbackCommand(0xABC0).readCount, kReadbackExchange);
}

struct ProgressCase {
  const char* legend;
  std::string address;
  std::vector<int> cells;  // 6 to 9
};

TEST(ProgressRow, FlashThenTheAddress) {
  const ProgressCase cases[] = {
      {"digits and letters", "1A2F", {40, 280, 60, 380}},
      {"zeros", "0000", {20, 20, 20, 20}},
      {"lower case and blank show blank", "ab0 ", {0, 0, 20, 0}},
      {"line end shows blank", "lo\n ", {0, 0, 0, 0}},
      {"missing characters show blank", "9", {200, 0, 0, 0}},
  };
  for (const ProgressCase& c : cases) {
    int grid[kCells];
    for (int& cell : grid) cell = 999;
    FillProgressRow(grid, c.address);
    const std::vector<int> flash(grid, grid + 6);
    EXPECT_EQ(flash, (std::vector<int>{380, 500, 280, 640, 420, 0})) << c.legend;
    EXPECT_EQ(std::vector<int>(grid + 6, grid + 10), c.cells) << c.legend;
    for (int i = 10; i < kCells; ++i) ASSERT_EQ(grid[i], 999) << c.legend << ": cell " << i << " kept";
  }
}

// ---- Read back, then program back ----

std::string ReadBack(test::SimLink& unit) {
  unit.Open();
  std::string file = ReadbackHeaderLine();
  for (int address = 0; address < 0x10000; address += kReadbackRecordBytes) {
    const OcdCommand command = ReadbackCommand(static_cast<uint16_t>(address));
    const std::vector<uint8_t> buffer = unit.Exchange(command);
    EXPECT_EQ(static_cast<int>(buffer.size()), command.readCount);
    file += ReadbackRecordLine(static_cast<uint16_t>(address), buffer.data(), buffer.size());
  }
  return file + ReadbackEndLine();
}

void EraseAndUnlock(test::SimLink& unit) {
  unit.Open();
  for (FlashCommand c : {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                         FlashCommand::Unlock2, FlashCommand::MassErase}) {
    unit.Exchange(Command(c));
  }
  const int64_t deadline = unit.nowMs + 20000;
  while (unit.FlashStatus() != 0x00 && unit.nowMs < deadline) unit.nowMs += 200;
  for (FlashCommand c : {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                         FlashCommand::Unlock2}) {
    unit.Exchange(Command(c));
  }
}

bool SrecCatAccepts(const std::string& records) {
  if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) return false;
  char path[] = "/tmp/orv_readbackXXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return false;
  std::FILE* file = fdopen(fd, "wb");
  std::fwrite(records.data(), 1, records.size(), file);
  std::fclose(file);
  const std::string command = std::string("srec_cat '") + path + "' -Intel -o /dev/null -Intel 2>/dev/null";
  const bool ok = std::system(command.c_str()) == 0;
  std::remove(path);
  return ok;
}

TEST(ReadbackRoundTrip, TheSavedFileProgramsTheSameMemoryBack) {
  test::SimLink source;
  std::mt19937 random(42);
  for (uint8_t& byte : source.memory) byte = static_cast<uint8_t>(random());
  const std::string file = ReadBack(source);

  size_t lines = 0;
  for (size_t pos = file.find("\r\n"); pos != std::string::npos; pos = file.find("\r\n", pos + 2)) ++lines;
  EXPECT_EQ(lines, 4098u);
  EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1) << "every LF comes after a CR";
  ASSERT_TRUE(ValidateImage(file).Ok()) << ValidateImage(file).message;

  test::SimLink target;
  target.memory.fill(0x00);
  EraseAndUnlock(target);
  ASSERT_EQ(target.ocd.MassEraseCount(), 1);

  const test::ImageRun run = test::RunImage(file);
  ASSERT_EQ(run.error, "");
  for (const FlashStep& step : run.lines) {
    if (step.action == Action::OcdWrite) {
      ASSERT_EQ(static_cast<int>(target.Exchange(step.ocd).size()), step.ocd.readCount);
    }
  }
  target.Exchange(Command(FlashCommand::Control00));
  EXPECT_EQ(run.byteCount, 65536);
  EXPECT_EQ(target.ocd.MemoryWriteCount(), 4096);
  EXPECT_TRUE(target.memory == source.memory);

  const std::vector<uint8_t> crc = target.Exchange(ReadMemoryCrc());
  const uint16_t expected = Crc16X25(source.memory.data(), source.memory.size());
  EXPECT_EQ(crc[kCrcHighAt] * 256 + crc[kCrcLowAt], expected);

  const std::string records = file.substr(file.find('\n') + 1);
  if (!SrecCatAccepts(records)) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") == 0) ADD_FAILURE() << "srec_cat refused the file";
    else GTEST_SKIP() << "srec_cat not available: file not checked by it";
  }
}

TEST(ReadbackRoundTrip, AFailedReadBackIsRefusedBeforeTheErase) {
  test::SimLink source;
  source.memory.fill(0xFF);
  std::string file = ReadBack(source);
  file.resize(file.size() / 2);
  file.resize(file.rfind("\r\n") + 2);  // cut where the failing read stopped the file
  EXPECT_EQ(ValidateImage(file).message, msg::kNoEndRecord);
}

}  // namespace
}  // namespace orv::flash
