#include "app/Platform.h"

#include <cerrno>
#include <csignal>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace orv::platform {

// Linux keeps a nice value per thread, reached through the thread's id.
void LowerOwnThreadPriority() {
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int now = ::getpriority(PRIO_PROCESS, tid);
  if (errno == 0) ::setpriority(PRIO_PROCESS, tid, now + 2);
}

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return std::tm{};
  return local;
}

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

bool TruncateFile(std::FILE* file, long size) { return ::ftruncate(fileno(file), static_cast<off_t>(size)) == 0; }

}  // namespace orv::platform
