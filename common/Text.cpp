#include "common/Text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace orv {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

int Find(const std::string& text, const std::string& what, int from) {
  if (from < 0) from = 0;
  if (static_cast<size_t>(from) > text.size()) return -1;
  const size_t pos = text.find(what, static_cast<size_t>(from));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int Find(const std::string& text, char what, int from) {
  return Find(text, std::string(1, what), from);
}

std::string Mid(const std::string& text, int from, int count) {
  if (from < 0) from = 0;
  if (static_cast<size_t>(from) >= text.size() || count == 0) return std::string();
  if (count < 0) return text.substr(static_cast<size_t>(from));
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(count));
}

std::string Left(const std::string& text, int count) {
  if (count <= 0) return std::string();
  return text.substr(0, static_cast<size_t>(count));
}

std::string UpToNul(const char* data, int size) {
  if (size <= 0) return std::string();
  const void* nul = std::memchr(data, 0, static_cast<size_t>(size));
  const size_t len = nul ? static_cast<size_t>(static_cast<const char*>(nul) - data)
                         : static_cast<size_t>(size);
  return std::string(data, len);
}

}  // namespace orv
