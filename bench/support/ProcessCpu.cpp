#include "ProcessCpu.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace bench {

double CpuSeconds(pid_t pid) {
  // The time each thread has run, in nanoseconds (the first field of
  // schedstat): what utime + stime count in 10 ms ticks, to the nanosecond.
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  DIR* dir = opendir(tasks.c_str());
  if (!dir) return -1;
  double seconds = 0;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
    unsigned long long ns = 0;
    if (stat >> ns) seconds += static_cast<double>(ns) / 1e9;
  }
  closedir(dir);
  return seconds;
}

namespace {

std::vector<std::string> CommandLine(const std::string& pid) {
  std::ifstream file("/proc/" + pid + "/cmdline");
  std::vector<std::string> args;
  std::string arg;
  while (std::getline(file, arg, '\0')) args.push_back(arg);
  return args;
}

}  // namespace

pid_t XServerPid() {
  const char* env = std::getenv("DISPLAY");
  if (!env || !*env) return -1;
  std::string display = env;
  display = display.substr(display.find(':'));
  display = display.substr(0, display.find('.'));
  DIR* proc = opendir("/proc");
  if (!proc) return -1;
  pid_t found = -1;
  while (dirent* entry = readdir(proc)) {
    const std::string pid = entry->d_name;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::vector<std::string> args = CommandLine(pid);
    if (args.empty()) continue;
    const std::string program = args[0].substr(args[0].rfind('/') + 1);
    if (program != "Xvfb" && program != "Xorg" && program != "X") continue;
    if (std::find(args.begin(), args.end(), display) != args.end()) {
      found = static_cast<pid_t>(std::stol(pid));
      break;
    }
  }
  closedir(proc);
  return found;
}

std::string FindProgram(const std::string& name) {
  std::vector<std::string> dirs;
  if (const char* path = std::getenv("PATH")) {
    std::istringstream parts(path);
    std::string dir;
    while (std::getline(parts, dir, ':')) dirs.push_back(dir);
  }
  dirs.insert(dirs.end(), {"/usr/sbin", "/usr/bin"});
  for (const std::string& dir : dirs) {
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

double Percentile(const std::vector<double>& sorted, double fraction) {
  if (sorted.empty()) return 0;
  const size_t i = std::min(sorted.size() - 1, static_cast<size_t>(fraction * static_cast<double>(sorted.size())));
  return sorted[i];
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return Percentile(v, 0.5);
}

std::string Percentiles(std::vector<double>& ms) {
  if (ms.empty()) return "no samples";
  std::sort(ms.begin(), ms.end());
  char text[160];
  std::snprintf(text, sizeof text, "p50 %.2f ms, p99 %.2f ms, max %.2f ms", Percentile(ms, 0.5), Percentile(ms, 0.99),
                ms.back());
  return text;
}

}  // namespace bench
