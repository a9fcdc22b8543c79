#include "sim/MemoryFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "sim/MemoryImage.h"

namespace orv::sim {

namespace {

std::string SystemError(const char* call, const std::string& path) {
  return std::string(call) + " " + path + ": " + std::strerror(errno);
}

bool EndsWithHex(const std::string& path) {
  return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, ".hex") == 0;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = SystemError("fopen", path);
    return false;
  }
  bytes.clear();
  uint8_t chunk[16384];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  const bool failed = std::ferror(file) != 0;
  if (failed) error = SystemError("fread", path);
  std::fclose(file);
  return !failed;
}

bool LoadMemoryFile(const std::string& path, Memory& memory, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  const bool ok = EndsWithHex(path)
                      ? ReadHexImage(std::string(bytes.begin(), bytes.end()), memory, error)
                      : ReadBinaryImage(bytes, memory, error);
  if (!ok) error = path + ": " + error;
  return ok;
}

bool WriteMemoryFile(const std::string& path, const Memory& memory, std::string& error) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = SystemError("fopen", temporary);
    return false;
  }
  const bool written = std::fwrite(memory.data(), 1, memory.size(), file) == memory.size();
  if (!written) error = SystemError("fwrite", temporary);
  const bool closed = std::fclose(file) == 0;
  if (written && !closed) error = SystemError("fclose", temporary);
  if (!written || !closed) {
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = SystemError("rename", temporary);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace orv::sim
