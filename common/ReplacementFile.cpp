#include "common/ReplacementFile.h"

#include <cerrno>

namespace orv {
namespace {

// Fresh names tried beside the target before giving up.
constexpr int kFreshNames = 100;

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) {
  if (!platform::ResolveTarget(target, target_, error_)) return;
  for (int i = 0; i < kFreshNames && !stream_; ++i) {
    fresh_ = target_ + ".part" + (i ? std::to_string(i) : std::string());
    stream_ = platform::CreateNew(fresh_, target_, error_);
    if (!stream_ && error_ != EEXIST) break;
  }
  if (stream_) error_ = 0;
}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Discard() {
  if (!stream_) return;
  std::fclose(stream_);
  stream_ = nullptr;
  std::remove(fresh_.c_str());
}

bool ReplacementFile::Commit() {
  if (!stream_) return false;
  std::FILE* stream = stream_;
  stream_ = nullptr;
  error_ = std::fflush(stream) != 0 ? errno : std::ferror(stream) ? EIO : platform::Sync(stream);
  if (std::fclose(stream) != 0 && error_ == 0) error_ = errno;
  if (error_ == 0) error_ = platform::ReplaceWith(fresh_, target_);
  if (error_ != 0) std::remove(fresh_.c_str());
  return error_ == 0;
}

}  // namespace orv
