#pragma once
// Program memory images the simulator starts from (--memory): a binary of at
// most 64 KiB loaded from address 0, or Intel HEX text. Bytes an image does
// not cover keep what the memory held (erased FF at start).
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Ocd.h"

namespace orv::sim {

bool ReadBinaryImage(const std::vector<uint8_t>& bytes, Memory& memory, std::string& error);

// Data records (00) are written; extended address records (02, 04) must
// keep the image inside the 64 KiB; the end record (01) ends the image; an
// empty line is passed over, and so is a first line "[ZTQFLASH]", which
// Orvanta's read-back files begin with. Any record that does not check out is an error
// naming its line.
bool ReadHexImage(const std::string& text, Memory& memory, std::string& error);

}  // namespace orv::sim
