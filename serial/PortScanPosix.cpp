// The serial devices of a Linux system, from /dev and sysfs.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "serial/PortScan.h"
#include "serial/PosixFiles.h"

namespace orv::serial {
namespace {

using posix::FirstLine;
using posix::RealPath;

const char* const kKinds[] = {"ttyUSB", "ttyACM", "ttyS"};

bool IsCharDevice(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
std::string DirName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string ReadLink(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

// "ttyUSB" for "ttyUSB12", empty for a name that is none of the kinds.
std::string KindOf(const std::string& name) {
  for (const char* kind : kKinds) {
    const std::string k = kind;
    if (name.size() > k.size() && name.compare(0, k.size(), k) == 0 &&
        std::all_of(name.begin() + static_cast<long>(k.size()), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return k;
    }
  }
  return std::string();
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

// The kernel's name for what `path` leads to: links are followed one at a
// time up to the first name of a serial kind (a by-id link names its
// ttyUSB), else to the end.
std::string DeviceName(const std::string& path) {
  std::string at = path;
  for (int hop = 0; hop < 8 && KindOf(BaseName(at)).empty(); ++hop) {
    const std::string next = ReadLink(at);
    if (next.empty()) break;
    at = next[0] == '/' ? next : DirName(at) + "/" + next;
  }
  return KindOf(BaseName(at)).empty() ? RealPath(path) : BaseName(at);
}

// The kernel makes ttyS0 to ttyS31 whether or not there is a chip behind
// them; serial core gives an empty port the type 0 (PORT_UNKNOWN).
int UartType(const ScanRoots& roots, const std::string& name) {
  const std::string type = FirstLine(roots.sysTty + "/" + name + "/type");
  return type.empty() ? 0 : std::atoi(type.c_str());
}

std::string UartDescription(int type) {
  static const char* const kChips[] = {"", "8250", "16450", "16550", "16550A"};
  return type > 0 && type < 5 ? std::string("UART ") + kChips[type] : std::string("UART");
}

// A USB tty's interface and device lie above it in sysfs; the device has
// the maker's and the model's names.
std::string UsbDescription(const ScanRoots& roots, const std::string& name) {
  std::string dir = RealPath(roots.sysTty + "/" + name + "/device");
  for (int up = 0; up < 4 && dir.size() > 1; ++up, dir = DirName(dir)) {
    const std::string product = FirstLine(dir + "/product");
    if (product.empty()) continue;
    const std::string maker = FirstLine(dir + "/manufacturer");
    return maker.empty() ? product : maker + " " + product;
  }
  const std::string driver = BaseName(ReadLink(roots.sysTty + "/" + name + "/device/driver"));
  return driver.empty() ? "USB serial" : "USB serial (" + driver + ")";
}

bool IsRealPort(const ScanRoots& roots, const std::string& device) {
  return KindOf(device) != "ttyS" || UartType(roots, device) != 0;
}

}  // namespace

std::vector<FoundPort> ScanPorts(const ScanRoots& roots) {
  std::vector<FoundPort> found;
  std::set<std::string> listed;  // canonical paths
  const std::string byId = roots.dev + "/serial/by-id";
  for (const std::string& name : Names(byId)) {
    const std::string path = byId + "/" + name;
    if (!IsCharDevice(path)) continue;
    listed.insert(RealPath(path));
    found.push_back({path, DeviceName(path), UsbNameOf(name)});
  }
  for (const std::string& name : Names(roots.dev)) {
    const std::string kind = KindOf(name);
    const std::string path = roots.dev + "/" + name;
    if (kind.empty() || !IsCharDevice(path) || listed.count(RealPath(path)) || !IsRealPort(roots, name)) continue;
    listed.insert(RealPath(path));
    found.push_back({path, name, kind == "ttyS" ? UartDescription(UartType(roots, name)) : UsbDescription(roots, name)});
  }
  return found;
}

std::string PresentDevice(const std::string& path, const ScanRoots& roots) {
  if (!IsCharDevice(path)) return std::string();
  const std::string device = DeviceName(path);
  return IsRealPort(roots, device) ? device : std::string();
}

}  // namespace orv::serial
