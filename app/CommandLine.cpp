#include "app/CommandLine.h"

#include "common/Version.h"

namespace orv {
namespace {

const char kUsage[] =
    "usage: orvanta [--simulate[=data|flash]]\n"
    "       orvanta --help | --version\n";

const char kHelp[] =
    "\n"
    "The desktop companion of the Quorvel display unit: live view, remote\n"
    "buttons, recording, flash programming and read-back over a serial line.\n"
    "\n"
    "  --simulate, --simulate=data  run a simulated unit and route every COM\n"
    "                               port to it\n"
    "  --simulate=flash             the same unit on the FLASH cable, for\n"
    "                               programming and read-back\n"
    "  -h, --help                   show this help and exit\n"
    "  -V, --version                show the version and exit\n"
    "\n"
    "Settings and the COM port to device map ([Ports]):\n"
    "~/.config/Veltrane/Quorvel.conf. See orvanta(1).\n";

bool Set(const Environment& env, const char* name) {
  const char* value = env(name);
  return value != nullptr && *value != '\0';
}

#if !defined(_WIN32) && !defined(__APPLE__)
// Whether a window system may be there. Qt's plugin list in QT_QPA_PLATFORM
// is tried in order; the X and Wayland plugins need their variable, and any
// other plugin (offscreen, vnc, eglfs, ...) is trusted to know its business.
// Without the variable Qt picks X or Wayland, so one of the two must be set.
// A variable that is set but leads nowhere is caught when Qt starts.
bool MayHaveDisplay(const Environment& env) {
  const char* platforms = env("QT_QPA_PLATFORM");
  if (platforms == nullptr || *platforms == '\0') return Set(env, "DISPLAY") || Set(env, "WAYLAND_DISPLAY");
  const std::string list = platforms;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string entry = list.substr(start, end - start);
    const std::string name = entry.substr(0, entry.find(':'));
    if (name == "xcb") {
      if (Set(env, "DISPLAY")) return true;
    } else if (name.rfind("wayland", 0) == 0) {
      if (Set(env, "WAYLAND_DISPLAY")) return true;
    } else if (!name.empty()) {
      return true;
    }
    start = end + 1;
  }
  return false;
}
#endif

StartRequest Exit(int code, std::string out, std::string err) {
  StartRequest request;
  request.exitCode = code;
  request.out = std::move(out);
  request.err = std::move(err);
  return request;
}

}  // namespace

std::string NoDisplayLine(const Environment& env) {
  std::string tried;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (!Set(env, name)) continue;
    tried += tried.empty() ? "" : ", ";
    tried += std::string(name) + "=" + env(name);
  }
  if (tried.empty()) tried = "neither DISPLAY nor WAYLAND_DISPLAY is set";
  return "orvanta: no display available (" + tried + "); start it from a desktop session\n";
}

StartRequest ParseCommandLine(const std::vector<std::string>& args, const Environment& env) {
  StartRequest request;
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help") return Exit(0, std::string(kUsage) + kHelp, "");
    if (arg == "-V" || arg == "--version") return Exit(0, std::string("orvanta ") + kVersion + "\n", "");
    if (arg == "--simulate" || arg == "--simulate=data" || arg == "--simulate=flash") {
      request.simulate = true;
      request.flashCable = arg == "--simulate=flash";
    } else {
      return Exit(kExitUsage, "", "orvanta: unknown option: " + arg + "\n" + kUsage);
    }
  }
#if !defined(_WIN32) && !defined(__APPLE__)
  if (!MayHaveDisplay(env)) return Exit(kExitCannotStart, "", NoDisplayLine(env));
#else
  (void)env;  // Windows and macOS always have their window system
#endif
  request.run = true;
  return request;
}

}  // namespace orv
