#include "flash/console/ConsoleHost.h"

#include <chrono>
#include <cstring>

#include "flash/Messages.h"
#include "serial/Drain.h"

namespace orv::flash {
namespace {

// A FLASH cable's echo of a command sentence takes 17 ms at 4800 baud; a
// line silent five times that long has nothing more on the way.
constexpr int kQuietMs = 100;
constexpr int kSettleBoundMs = 2000;

}  // namespace

int ConsoleHost::Message(const std::string& text, const char* caption, Buttons buttons) {
  if (lastProgress_ != 0) std::fputc('\n', stdout);
  lastProgress_ = 0;
  if (buttons == Buttons::Ok) {
    const bool error = std::strcmp(caption, msg::kCaptionError) == 0;
    failed_ = failed_ || error;
    std::fprintf(error ? stderr : stdout, "%s%s\n", error ? "Error: " : "", text.c_str());
    std::fflush(stdout);
    return IDOK;
  }
  std::printf("%s [y/n] ", text.c_str());
  bool yes = answerYes_;
  if (yes) {
    std::puts("y");
    Settle();
  } else {
    std::fflush(stdout);
    char answer[16] = "";
    yes = std::fgets(answer, sizeof answer, stdin) != nullptr && (answer[0] == 'y' || answer[0] == 'Y');
  }
  std::fflush(stdout);
  failed_ = failed_ || !yes;
  return yes ? IDYES : IDNO;
}

// One line each time the first digit changes: 16 for the whole memory.
void ConsoleHost::Progress(const std::string& address) {
  if (address.empty() || address[0] == lastProgress_) return;
  std::printf("%sFLASH %s", lastProgress_ != 0 ? "\n" : "", address.c_str());
  std::fflush(stdout);
  lastProgress_ = address[0];
}

void ConsoleHost::Settle() {
  if (!port_ || !port_->IsOpen()) return;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(kSettleBoundMs);
  serial::DrainOutput(*port_);
  int in = 0, out = 0;
  while (Clock::now() < end && port_->QueueCounts(in, out).ok() && port_->WaitForInput(in + 1, kQuietMs).ok()) {
  }
}

}  // namespace orv::flash
