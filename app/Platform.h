#pragma once
// The few things the window code needs that POSIX and Windows spell
// differently, one small function each. PlatformPosix.cpp and
// PlatformWin32.cpp hold the two spellings; app/CMakeLists.txt builds one.
#include <cstdio>
#include <ctime>

namespace orv::platform {

// Lowers the calling thread to the lowest ordinary priority it may give
// itself. A refusal leaves the priority as it was: the thread only works
// less politely.
void LowerOwnThreadPriority();

// The local time of `t`; every field 0 when it cannot be converted.
std::tm LocalTime(std::time_t t);

// A write past the file-size limit fails with EFBIG instead of raising
// SIGXFSZ, which ends the process. Nothing to do where there is no such signal.
void IgnoreFileSizeSignal();

// Cuts the flushed `file` to its first `size` bytes. False when the system
// refused.
bool TruncateFile(std::FILE* file, long size);

}  // namespace orv::platform
