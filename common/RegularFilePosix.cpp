#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/RegularFile.h"

namespace orv {

std::FILE* OpenRegularFile(const std::string& path, const char* mode, int& error) {
  // O_NONBLOCK so that a FIFO without a writer cannot hold open(); the flag
  // is taken off again once the file is known to be a regular one.
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat st {};
  const bool statted = ::fstat(fd, &st) == 0;
  if (!statted || !S_ISREG(st.st_mode)) {
    error = statted ? EINVAL : errno;
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, mode);
  if (!file) {
    error = errno;
    ::close(fd);
  }
  return file;
}

}  // namespace orv
