#include <sys/stat.h>

#include <cerrno>

#include "common/RegularFile.h"

namespace orv {

// Windows opens no FIFO through a plain path; a device name such as COM1 or
// a pipe path is what could be named here, and neither is a regular file.
std::FILE* OpenRegularFile(const std::string& path, const char* mode, int& error) {
  struct _stat64 st {};
  if (::_stat64(path.c_str(), &st) != 0) {
    error = errno;
    return nullptr;
  }
  if ((st.st_mode & _S_IFMT) != _S_IFREG) {
    error = EINVAL;
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (!file) error = errno;
  return file;
}

}  // namespace orv
