#pragma once
// Small reads of the Linux file system that the device facts and the port
// scan share.
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>

namespace orv::serial::posix {

// The first line of a small file (sysfs, /proc), empty when it cannot be read.
inline std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

// The device's own name under any symbolic link, such as a by-id path; the
// path as given when it does not resolve.
inline std::string RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? resolved : path;
}

}  // namespace orv::serial::posix
