#include "sim/MemoryImage.h"

#include <algorithm>

#include "common/Text.h"
#include "common/HexRecord.h"

namespace orv::sim {

namespace {

constexpr char kReadbackTag[] = "[ZTQFLASH]";

const char* Reason(HexRecordError e) {
  switch (e) {
    case HexRecordError::None: return "";
    case HexRecordError::NoStart: return "does not start with ':'";
    case HexRecordError::BadDigit: return "holds a character that is not a hex digit";
    case HexRecordError::BadLength: return "length does not match its byte count";
    case HexRecordError::BadChecksum: return "checksum does not match";
  }
  return "";
}

}  // namespace

bool ReadBinaryImage(const std::vector<uint8_t>& bytes, Memory& memory, std::string& error) {
  if (bytes.size() > memory.size()) {
    error = Format("image holds %zu bytes, more than the 65536 of program memory", bytes.size());
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), memory.begin());
  return true;
}

bool ReadHexImage(const std::string& text, Memory& memory, std::string& error) {
  size_t pos = 0;
  int lineNumber = 0;
  uint32_t base = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Orvanta's own read-back files open with the OCD image's tag line.
    if (line.empty() || (lineNumber == 1 && line == kReadbackTag)) continue;
    HexRecord record;
    const HexRecordError e = ParseHexRecord(line, record);
    if (e != HexRecordError::None) {
      error = Format("line %d %s", lineNumber, Reason(e));
      return false;
    }
    switch (record.type) {
      case 0x00: {
        const uint32_t address = base + record.address;
        if (address + record.data.size() > memory.size()) {
          error = Format("line %d writes beyond 64 KiB", lineNumber);
          return false;
        }
        std::copy(record.data.begin(), record.data.end(), memory.begin() + address);
        break;
      }
      case 0x01:
        return true;
      case 0x02:
      case 0x04:
        if (record.data.size() != 2) {
          error = Format("line %d: extended address record without two data bytes", lineNumber);
          return false;
        }
        base = static_cast<uint32_t>(record.data[0] << 8 | record.data[1]) << (record.type == 0x02 ? 4 : 16);
        break;
      default:
        break;  // start addresses mean nothing to a memory image
    }
  }
  return true;
}

}  // namespace orv::sim
