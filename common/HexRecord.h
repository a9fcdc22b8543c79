#pragma once
// One Intel HEX record line, read the one way the flash image check, the
// simulated unit's loader and its --memory reader all read it:
//
//   : LL AAAA TT data... CC      hex digits of either case
//
// The checksum makes the low 8 bits of the sum of all record bytes 00.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

enum class HexRecordError { None, NoStart, BadDigit, BadLength, BadChecksum };

struct HexRecord {
  uint8_t type = 0;
  uint16_t address = 0;
  std::vector<uint8_t> data;
  uint8_t checksum = 0;  // as the line gives it
};

// The checksum of a record whose other bytes sum to `byteSum`.
constexpr int RecordChecksum(int byteSum) { return (0x100 - (byteSum & 0xFF)) & 0xFF; }

// `line` without its line end. On BadChecksum the record is filled in, so
// that the caller can say which checksum the bytes need; on BadDigit
// `badAt` (when given) is the position of the offending character.
HexRecordError ParseHexRecord(const std::string& line, HexRecord& record, size_t* badAt = nullptr);

// Value of one hex digit of either case, or -1.
int HexDigit(char c);

}  // namespace orv
