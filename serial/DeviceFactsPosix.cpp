// What Linux tells about a serial device: its group, whether the user has
// joined that group since logging in, and which other programs hold it.
//
// Another program may read the port without any lock: gpsd, which Debian's
// udev rule hands every CP210x and PL2303 adapter, opens it without
// exclusive access, and each reader then gets a random share of the bytes.
// So the process table is searched for descriptors on the same device, as
// fuser does; a UUCP lock file ("LCK..ttyUSB0" in /run/lock) names a holder
// that keeps the port closed between uses. Processes of other users stay
// hidden from a user who is not root: then nothing is found.
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "serial/OpenFailure.h"
#include "serial/PosixFiles.h"

namespace orv::serial {
namespace {

using posix::FirstLine;
using posix::RealPath;

bool IsNumber(const char* name) {
  if (*name == 0) return false;
  for (const char* p = name; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
  }
  return true;
}

std::string ProgramName(int pid) {
  const std::string name = FirstLine("/proc/" + std::to_string(pid) + "/comm");
  return name.empty() ? "another program" : name;
}

// The descriptors' links are read, never followed: a descriptor on a
// mount that hangs must not hang the search.
bool HoldsDevice(const std::string& pid, const std::string& device) {
  const std::string dir = "/proc/" + pid + "/fd";
  DIR* fds = opendir(dir.c_str());
  if (!fds) return false;
  bool found = false;
  char target[PATH_MAX];
  while (!found) {
    const dirent* entry = readdir(fds);
    if (!entry) break;
    const ssize_t n = readlink((dir + "/" + entry->d_name).c_str(), target, sizeof target);
    found = n > 0 && device.compare(0, std::string::npos, target, static_cast<size_t>(n)) == 0;
  }
  closedir(fds);
  return found;
}

// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3.
std::string LockName(std::string device) {
  if (device.rfind("/dev/", 0) == 0) device.erase(0, 5);
  std::replace(device.begin(), device.end(), '/', '_');
  return "LCK.." + device;
}

bool Alive(int pid) { return kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::vector<DeviceUser> OtherUsersOf(const std::string& path) {
  std::vector<DeviceUser> users;
  struct stat device {};
  if (stat(path.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) return users;
  const std::string real = RealPath(path);
  const int self = static_cast<int>(getpid());
  auto add = [&users, self](int pid) {
    const bool known = std::any_of(users.begin(), users.end(), [pid](const DeviceUser& u) { return u.pid == pid; });
    if (pid > 0 && pid != self && !known) users.push_back({pid, ProgramName(pid)});
  };

  if (DIR* proc = opendir("/proc")) {
    while (const dirent* entry = readdir(proc)) {
      if (IsNumber(entry->d_name) && HoldsDevice(entry->d_name, real)) add(std::atoi(entry->d_name));
    }
    closedir(proc);
  }
  for (const char* dir : {"/run/lock/", "/var/lock/"}) {
    std::ifstream lock(dir + LockName(real));
    std::stringstream content;
    content << lock.rdbuf();
    const int pid = UucpLockPid(content.str());
    if (pid > 0 && Alive(pid)) add(pid);
  }
  return users;
}

DeviceFacts GatherDeviceFacts(const std::string& path) {
  DeviceFacts facts;
  char buffer[16384];
  passwd pw{};
  passwd* pwFound = nullptr;
  if (getpwuid_r(geteuid(), &pw, buffer, sizeof buffer, &pwFound) == 0 && pwFound) facts.user = pw.pw_name;

  struct stat device {};
  if (stat(path.c_str(), &device) == 0) {
    group gr{};
    group* grFound = nullptr;
    if (getgrgid_r(device.st_gid, &gr, buffer, sizeof buffer, &grFound) == 0 && grFound) {
      facts.group = gr.gr_name;
      bool listed = false;
      for (char** member = gr.gr_mem; *member; ++member) listed = listed || facts.user == *member;
      std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
      const int count = getgroups(static_cast<int>(groups.size()), groups.data());
      groups.resize(static_cast<size_t>(std::max(count, 0)));
      const bool inSession =
          getegid() == device.st_gid || std::find(groups.begin(), groups.end(), device.st_gid) != groups.end();
      facts.joinedSinceLogin = listed && !inSession;
    }
  }
  facts.users = OtherUsersOf(path);
  return facts;
}

}  // namespace orv::serial
