// quorvel-sim: a simulated Quorvel unit on a pseudo-terminal. See
// sim/Options.h for the command line and sim/Unit.h for what the unit does.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "common/Version.h"
#include "sim/MemoryFile.h"
#include "sim/Options.h"
#include "sim/PtyHost.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kRunError = 1;

int Fail(const std::string& message) {
  std::fprintf(stderr, "quorvel-sim: %s\n", message.c_str());
  return kRunError;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orv::sim;

  SimOptions options;
  std::string error;
  if (!ParseSimArgs(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "quorvel-sim: %s\n%s", error.c_str(), SimUsage().c_str());
    return kUsageError;
  }
  if (options.help) {
    std::fputs(SimUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("quorvel-sim %s\n", orv::kVersion);
    return 0;
  }
  if (!options.replayPath.empty()) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(options.replayPath, bytes, error)) return Fail(error);
    options.unit.replay = std::move(bytes);
  }

  // SIGINT and SIGTERM are taken by sigwait below; blocked before the
  // service thread starts, so that thread inherits the mask and never sees
  // them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return Fail("pthread_sigmask failed");

  PtyHost host(options.unit, options.host);
  if (!options.memoryPath.empty()) {
    const bool loaded = host.WithUnit([&](Unit& unit) {
      return LoadMemoryFile(options.memoryPath, unit.memory(), error);
    });
    if (!loaded) return Fail(error);
  }
  if (!host.Start(error)) return Fail(error);

  std::printf("%s\n", host.SlavePath().c_str());
  std::fflush(stdout);

  int signal = 0;
  while (sigwait(&stopSignals, &signal) != 0) {
  }
  host.Stop();

  if (!options.dumpPath.empty()) {
    const bool written = host.WithUnit([&](Unit& unit) {
      return WriteMemoryFile(options.dumpPath, unit.memory(), error);
    });
    if (!written) return Fail(error);
  }
  return 0;
}
