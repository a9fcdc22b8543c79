#pragma once
#include <fstream>
#include <iterator>
#include <string>

namespace orv::test {

// A file's bytes, or nothing when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace orv::test
