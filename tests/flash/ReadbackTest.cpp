#include "flash/Readback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
      {"erased memory at FFF0", 0xFFF0, Exchange(0xFFF0, 0xFF, 0), ":10FFF000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF11\r\n"},
      {"00 11 .. FF at 1230", 0x1230, Exchange(0x1230, 0x00, 0x11), ":1012300000112233445566778899AABBCCDDEEFFB6\r\n"},
      {"a wrong echo: the address as sent, the checksum from the echo", 0x0010, Exchange(0x0000, 0xFF, 0),
       ":10001000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n"},
      {"a short exchange gives no line", 0x0000, Exchange(0x0000, 0xFF, 0, 20), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadbackRecordLine(c.address, c.exchange.data(), c.exchange.size()), c.line) << c.legend;
  }
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

}  // namespace
}  // namespace orv::flash
