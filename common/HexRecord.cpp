#include "common/HexRecord.h"

namespace orv {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

HexRecordError ParseHexRecord(const std::string& line, HexRecord& record, size_t* badAt) {
  if (line.empty() || line[0] != ':') return HexRecordError::NoStart;
  for (size_t i = 1; i < line.size(); ++i) {
    if (HexDigit(line[i]) < 0) {
      if (badAt) *badAt = i;
      return HexRecordError::BadDigit;
    }
  }
  // Five bytes besides the data: count, address (2), type, checksum.
  if (line.size() < 11 || (line.size() - 1) % 2 != 0) return HexRecordError::BadLength;
  std::vector<uint8_t> bytes;
  bytes.reserve((line.size() - 1) / 2);
  for (size_t i = 1; i + 1 < line.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(HexDigit(line[i]) * 16 + HexDigit(line[i + 1])));
  }
  if (bytes.size() != static_cast<size_t>(bytes[0]) + 5) return HexRecordError::BadLength;
  record.address = static_cast<uint16_t>(bytes[1] << 8 | bytes[2]);
  record.type = bytes[3];
  record.data.assign(bytes.begin() + 4, bytes.end() - 1);
  record.checksum = bytes.back();
  int sum = 0;
  for (const uint8_t b : bytes) sum += b;
  return (sum & 0xFF) == 0 ? HexRecordError::None : HexRecordError::BadChecksum;
}

}  // namespace orv
