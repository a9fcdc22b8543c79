#pragma once
// SAVE to a ".hex" name: reads the whole 64 KiB of program memory through
// the on-chip debugger into an OCD image that FLASH can program back.
//
//   sent   0B ah al 00 10           read program memory, 16 bytes
//   read   0B ah al 00 10 d0..d15   the echo, then the bytes
#include <cstdio>
#include <string>

#include "flash/FlashHost.h"

namespace orv::flash {

// Reads the memory into `file` (open for writing in binary mode; the lines
// carry their own CR LF). True when all of it was read and written, the CRC
// shown and the unit released. After any use of the debugger, success or
// not, the port is back at the connection's rate.
bool SaveFlashData(FlashHost& host, std::FILE* file);

// The read-back into `path` that never harms what is there: it is written
// to a fresh file beside it, which takes its place only once the whole
// read-back succeeded after the user's Yes. Anything else leaves an old
// file exactly as it was.
void SaveFlashFile(FlashHost& host, const std::string& path);

}  // namespace orv::flash
