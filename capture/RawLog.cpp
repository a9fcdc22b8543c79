#include "capture/RawLog.h"

#include <cerrno>
#include <cstring>

namespace orv::capture {
namespace {

// A few seconds of the stream at the highest rate: the window thread hands
// it on a few times a second.
constexpr size_t kBufferBytes = 64 * 1024;

}  // namespace

RawLog::~RawLog() { Close(); }

bool RawLog::Open(const std::string& path, std::string& error) {
  Close();
  // Binary: the CR LF is written here, and is the same on every platform.
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    error = std::strerror(errno);
    return false;
  }
  std::setvbuf(file_, nullptr, _IOFBF, kBufferBytes);
  failed_ = false;
  sentences_ = 0;
  splitter_.Restart();
  return true;
}

void RawLog::Feed(const char* data, size_t count) {
  if (!file_ || failed_) return;
  lines_.clear();
  splitter_.Feed(data, count, lines_);
  for (const serial::StreamLine& line : lines_) {
    const std::string_view sentence = serial::SentenceIn(line);
    if (sentence.empty()) continue;
    if (std::fwrite(sentence.data(), 1, sentence.size(), file_) != sentence.size() ||
        std::fwrite("\r\n", 1, 2, file_) != 2) {
      failed_ = true;
      return;
    }
    ++sentences_;
  }
}

bool RawLog::Flush() {
  if (!file_) return !failed_;
  if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_))) failed_ = true;
  return !failed_;
}

bool RawLog::Close() {
  if (!file_) return true;
  const bool flushed = Flush();
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

}  // namespace orv::capture
