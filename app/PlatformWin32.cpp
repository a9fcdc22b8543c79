#include "app/Platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <io.h>

namespace orv::platform {

void LowerOwnThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  if (localtime_s(&local, &t) != 0) return std::tm{};
  return local;
}

void IgnoreFileSizeSignal() {}

bool TruncateFile(std::FILE* file, long size) { return _chsize_s(_fileno(file), size) == 0; }

}  // namespace orv::platform
