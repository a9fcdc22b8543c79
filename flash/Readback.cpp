#include "flash/Readback.h"

#include "common/HexRecord.h"
#include "common/Text.h"
#include "flash/FlashImage.h"

namespace orv::flash {
namespace {

// Glyph offsets in the font strip of the letters F, L, A, S, H.
constexpr int kFlashLetters[] = {380, 500, 280, 640, 420};

}  // namespace

std::string ReadbackHeaderLine() { return "[ZTQFLASH]\r\n"; }

std::string ReadbackEndLine() { return kEndRecordLine; }

OcdCommand ReadbackCommand(uint16_t address) {
  return *ReadProgramMemory(address, kReadbackRecordBytes);
}

std::string ReadbackRecordLine(uint16_t address, const uint8_t* exchange, size_t size) {
  if (exchange == nullptr || size < static_cast<size_t>(kReadbackExchange)) return std::string();
  std::string line = Format(":%02X%04X00", kReadbackRecordBytes, address);
  int sum = exchange[1] + exchange[2] + exchange[4];
  for (int i = kMemoryDataAt; i < kReadbackExchange; ++i) {
    line += Format("%02X", exchange[i]);
    sum += exchange[i];
  }
  line += Format("%02X\r\n", RecordChecksum(sum));
  return line;
}

void FillProgressRow(int (&cells)[kCells], const std::string& address) {
  int cell = 0;
  for (int offset : kFlashLetters) cells[cell++] = offset;
  cells[cell++] = 0;
  for (size_t i = 0; i < 4; ++i) {
    const unsigned char c = i < address.size() ? static_cast<unsigned char>(address[i]) : ' ';
    cells[cell++] = HexDigitGlyph(c) * kGlyphWidth;
  }
}

}  // namespace orv::flash
