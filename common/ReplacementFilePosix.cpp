#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/ReplacementFile.h"

namespace orv::platform {

bool ResolveTarget(const std::string& target, std::string& resolved, int& error) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) {
    // Nothing there yet (or a dangling link): the path is written as given.
    resolved = target;
    return true;
  }
  if (!S_ISREG(st.st_mode)) {
    error = EINVAL;
    return false;
  }
  char path[PATH_MAX];
  resolved = ::realpath(target.c_str(), path) ? std::string(path) : target;
  return true;
}

std::FILE* CreateNew(const std::string& path, const std::string& like, int& error) {
  struct stat st {};
  const mode_t mode = ::stat(like.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0666;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  std::FILE* stream = ::fdopen(fd, "wb");
  if (!stream) {
    error = errno;
    ::close(fd);
    ::unlink(path.c_str());
  }
  return stream;
}

int Sync(std::FILE* stream) { return ::fsync(::fileno(stream)) == 0 ? 0 : errno; }

int ReplaceWith(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace orv::platform
