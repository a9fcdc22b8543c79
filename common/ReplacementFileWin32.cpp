#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "common/ReplacementFile.h"

namespace orv::platform {

// Windows has no links a user would meet here; the path is the file.
bool ResolveTarget(const std::string& target, std::string& resolved, int& error) {
  struct _stat64 st {};
  if (::_stat64(target.c_str(), &st) == 0 && (st.st_mode & _S_IFMT) != _S_IFREG) {
    error = EINVAL;
    return false;
  }
  resolved = target;
  return true;
}

std::FILE* CreateNew(const std::string& path, const std::string&, int& error) {
  const int fd = ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  std::FILE* stream = ::_fdopen(fd, "wb");
  if (!stream) {
    error = errno;
    ::_close(fd);
    ::_unlink(path.c_str());
  }
  return stream;
}

int Sync(std::FILE* stream) { return ::_commit(::_fileno(stream)) == 0 ? 0 : errno; }

// A plain rename refuses an existing target on Windows.
int ReplaceWith(const std::string& from, const std::string& to) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  return ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
}

}  // namespace orv::platform
