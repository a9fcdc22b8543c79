#pragma once
// orvanta's command line, decided before any window exists: --help and
// --version work without a display, and a missing display is one line on
// stderr instead of the toolkit's abort. Pure: the caller prints and exits.
#include <functional>
#include <string>
#include <vector>

namespace orv {

inline constexpr int kExitCannotStart = 1;  // no display, simulated unit would not start
inline constexpr int kExitUsage = 2;        // an option we do not know

struct StartRequest {
  bool run = false;  // false: print `out` and `err`, then exit with exitCode
  bool simulate = false;
  bool flashCable = false;
  std::string out;
  std::string err;
  int exitCode = 0;
};

// Reads an environment variable; nullptr when it is not set.
using Environment = std::function<const char*(const char* name)>;

// `args` are the arguments after the program name.
StartRequest ParseCommandLine(const std::vector<std::string>& args, const Environment& env);

// The one line for a display that is not there, naming what was tried.
std::string NoDisplayLine(const Environment& env);

}  // namespace orv
