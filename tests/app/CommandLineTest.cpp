#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <map>

#include "common/Version.h"

namespace {

// What the program does with its arguments and environment: run (and how),
// or print and exit with a code. `out` and `err` are texts that must appear
// in stdout and stderr; an empty one means nothing is printed there.
TEST(CommandLine, ArgumentsAndDisplayDecideRunOrExit) {
  const std::string version = std::string("orvanta ") + orv::kVersion + "\n";
  using Env = std::map<std::string, std::string>;
  const Env x11 = {{"DISPLAY", ":0"}};
  struct Case {
    const char* legend;
    std::vector<std::string> args;
    Env env;
    int exitCode;  // -1: runs
    bool flashCable;
    std::string out;
    std::string err;
  } cases[] = {
      {"no arguments", {}, x11, -1, false, "", ""},
      {"--simulate", {"--simulate"}, x11, -1, false, "", ""},
      {"--simulate=data", {"--simulate=data"}, x11, -1, false, "", ""},
      {"--simulate=flash", {"--simulate=flash"}, x11, -1, true, "", ""},
      {"--help", {"--help"}, {}, 0, false, "usage: orvanta", ""},
      {"-h, no display needed", {"-h"}, {}, 0, false, "--simulate=flash", ""},
      {"--version", {"--version"}, {}, 0, false, version, ""},
      {"-V after a good option", {"--simulate", "-V"}, {}, 0, false, version, ""},
      {"unknown option", {"--frobnicate"}, x11, 2, false, "", "unknown option: --frobnicate\nusage: orvanta"},
      {"unknown before --help", {"-x", "--help"}, x11, 2, false, "", "unknown option: -x"},
      {"Qt's own options are not ours", {"-platform", "offscreen"}, x11, 2, false, "", "unknown option: -platform"},
      {"bad cable", {"--simulate=usb"}, x11, 2, false, "", "usage: orvanta"},
      {"no display", {}, {}, 1, false, "", "no display available (neither DISPLAY nor WAYLAND_DISPLAY is set)"},
      {"empty DISPLAY", {"--simulate"}, {{"DISPLAY", ""}}, 1, false, "", "no display available"},
      {"Wayland", {}, {{"WAYLAND_DISPLAY", "wayland-0"}}, -1, false, "", ""},
      {"offscreen needs none", {}, {{"QT_QPA_PLATFORM", "offscreen"}}, -1, false, "", ""},
      {"xcb without DISPLAY", {}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "w"}}, 1, false, "",
       "(WAYLAND_DISPLAY=w, QT_QPA_PLATFORM=xcb)"},
      {"list: second entry has it", {}, {{"QT_QPA_PLATFORM", "wayland;xcb:opt"}, {"DISPLAY", ":1"}}, -1, false, "", ""},
      {"list: neither has it", {}, {{"QT_QPA_PLATFORM", "wayland-egl;xcb"}}, 1, false, "", "no display"},
  };
  for (const Case& c : cases) {
#if defined(_WIN32) || defined(__APPLE__)
    if (c.exitCode == 1) continue;  // their window system is always there
#endif
    const orv::Environment env = [&c](const char* name) -> const char* {
      const auto found = c.env.find(name);
      return found == c.env.end() ? nullptr : found->second.c_str();
    };
    const orv::StartRequest r = orv::ParseCommandLine(c.args, env);
    EXPECT_EQ(r.run, c.exitCode < 0) << c.legend;
    EXPECT_EQ(r.exitCode, c.exitCode < 0 ? 0 : c.exitCode) << c.legend;
    EXPECT_EQ(r.flashCable, c.flashCable) << c.legend;
    EXPECT_EQ(r.simulate, r.run && !c.args.empty()) << c.legend;
    for (const auto& [expected, got] : {std::pair{c.out, r.out}, std::pair{c.err, r.err}}) {
      if (expected.empty()) {
        EXPECT_EQ(got, "") << c.legend;
      } else {
        EXPECT_NE(got.find(expected), std::string::npos) << c.legend << ": " << got;
      }
    }
    EXPECT_TRUE(r.err.empty() || r.err.back() == '\n') << c.legend;
    if (c.exitCode == 1) {
      EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.legend << ": one line";
    }
  }
}

}  // namespace
