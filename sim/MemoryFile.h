#pragma once
// Files the simulator reads and writes: --replay, --memory and --dump.
// Errors name the call, the path and the system's reason.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Ocd.h"

namespace orv::sim {

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
// Intel HEX when the name ends in ".hex" (any case), binary otherwise.
bool LoadMemoryFile(const std::string& path, Memory& memory, std::string& error);
// The whole 64 KiB, binary; written to a temporary file and renamed, so a
// reader never sees half a dump.
bool WriteMemoryFile(const std::string& path, const Memory& memory, std::string& error);

}  // namespace orv::sim
