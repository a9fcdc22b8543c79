#pragma once
// One Intel HEX record line, as the unit's loader and the --memory reader
// check it:   : LL AAAA TT data... CC   (hex digits of either case)
// The checksum makes the sum of all record bytes 00.
#include <cstdint>
#include <string>
#include <vector>

namespace orv::sim {

enum class HexRecordError { None, NoStart, BadDigit, BadLength, BadChecksum };

struct HexRecord {
  uint8_t type = 0;
  uint16_t address = 0;
  std::vector<uint8_t> data;
};

// `line` without its line end.
HexRecordError ParseHexRecord(const std::string& line, HexRecord& record);

// Value of one hex digit of either case, or -1.
int HexDigit(char c);

}  // namespace orv::sim
