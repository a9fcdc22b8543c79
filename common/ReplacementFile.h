#pragma once
// Writing a file that takes another's place only once it is whole. The new
// content goes to a fresh file beside the target; Commit() flushes it to
// the disk and renames it over the target in one step. Until then, and for
// ever if Commit() is never called or fails, the old file stays exactly as
// it was, and the fresh file is removed.
//
//   ReplacementFile out(path);
//   if (!out.Stream()) ...                 // nothing was created
//   fwrite(..., out.Stream());
//   if (!out.Commit()) ...                 // the old file is untouched
#include <cstdio>
#include <string>

namespace orv {

class ReplacementFile {
 public:
  // A target that exists and is not a regular file (a device, a FIFO, a
  // directory) is refused: Stream() is null and Error() says EINVAL. A
  // symbolic link is followed, so that the file it names is replaced.
  explicit ReplacementFile(const std::string& target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  std::FILE* Stream() const { return stream_; }
  // The system's error number of the last failure, 0 when none.
  int Error() const { return error_; }
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string fresh_;
  std::FILE* stream_ = nullptr;
  int error_ = 0;
};

namespace platform {
// The file the target path names once links are followed; false with
// `error` set when it exists and is not a regular file.
bool ResolveTarget(const std::string& target, std::string& resolved, int& error);
// Creates `path`, which must not exist yet, for writing in binary mode,
// with the permissions `like` has when it exists.
std::FILE* CreateNew(const std::string& path, const std::string& like, int& error);
// Has the system put what was written to the open file on the disk; 0 or
// an error number.
int Sync(std::FILE* stream);
// Renames `from` over `to`, replacing it; 0 or an error number.
int ReplaceWith(const std::string& from, const std::string& to);
}  // namespace platform

}  // namespace orv
