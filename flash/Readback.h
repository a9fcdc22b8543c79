#pragma once
// The read-back file, line by line, and the progress row that the read-back
// and the FLASH run both show. The file is an OCD image the FLASH button can
// program again; its lines end in CR LF on every platform, so it is written
// in binary mode with these texts as they stand.
//
//   [ZTQFLASH]
//   :10000000<32 hex digits>CC        4096 records, 0000 to FFF0
//   :00000001FF
#include <cstddef>
#include <cstdint>
#include <string>

#include "display/DisplayModel.h"
#include "flash/OcdCommands.h"

namespace orv::flash {

constexpr int kReadbackRecordBytes = kOcdMaxData;  // 16 a record
constexpr int kReadbackRecords = 0x10000 / kReadbackRecordBytes;
// Bytes back from one read program memory command: 5 echoed, 16 answered.
constexpr int kReadbackExchange = kMemoryDataAt + kReadbackRecordBytes;
constexpr int kReadbackRecordChars = 43;

std::string ReadbackHeaderLine();  // "[ZTQFLASH]" CR LF
std::string ReadbackEndLine();     // ":00000001FF" CR LF

// The read program memory command for the record at `address`.
OcdCommand ReadbackCommand(uint16_t address);

// The record line for `address` from the exchange buffer after that command:
// ":10" AAAA "00", the 16 bytes at [5] to [20], and the checksum of the
// length, address and data bytes, CR LF. The length and address bytes
// summed are the echoed ones at [4], [1] and [2], which are the ones sent
// whenever the echo is sound. Empty when fewer than 21 bytes are given.
std::string ReadbackRecordLine(uint16_t address, const uint8_t* exchange, size_t size);

// Row 0, cells 0 to 9: F L A S H, a blank, and the four address characters;
// a character that is not an upper-case hex digit, or a missing one, shows
// blank. The other cells keep what they hold.
void FillProgressRow(int (&cells)[kCells], const std::string& address);

}  // namespace orv::flash
