#pragma once
// Drives a Unit on a fake clock, as the host would: input at a given time,
// output collected in small steps of unit time.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Unit.h"

namespace orv::sim::test {

class UnitDriver {
 public:
  explicit UnitDriver(Unit& unit, int pcBaud = 4800) : unit_(unit), pcBaud_(pcBaud) {}

  void SetPcBaud(int baud) { pcBaud_ = baud; }
  int64_t now() const { return nowMs_; }

  void Send(const std::string& bytes) {
    unit_.Receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), pcBaud_, nowMs_);
  }
  // Everything the unit puts on the line over the next `ms` of its time,
  // taken every `stepMs`.
  std::string Run(int64_t ms, int64_t stepMs = 10) {
    std::string got;
    const int64_t end = nowMs_ + ms;
    while (nowMs_ < end) {
      nowMs_ = std::min(end, nowMs_ + stepMs);
      got += Take();
    }
    return got;
  }
  // What is ready now.
  std::string Take() {
    std::string got;
    uint8_t buf[512];
    size_t n = 0;
    while ((n = unit_.Transmit(buf, sizeof buf, pcBaud_, nowMs_)) > 0) {
      got.append(reinterpret_cast<const char*>(buf), n);
    }
    return got;
  }
  // Runs until `bytes` have come or `maxMs` of unit time have passed.
  std::string RunFor(size_t bytes, int64_t maxMs) {
    std::string got;
    const int64_t end = nowMs_ + maxMs;
    while (got.size() < bytes && nowMs_ < end) {
      nowMs_ += 10;
      got += Take();
    }
    return got;
  }

 private:
  Unit& unit_;
  int pcBaud_;
  int64_t nowMs_ = 0;
};

// The complete sentences in `stream` ("$" up to and including LF), the cut
// ones at either end left out.
std::vector<std::string> Sentences(const std::string& stream);

// True when `sentence` is "$" body "*" two upper-case hex digits CR LF with
// the right checksum; otherwise `why` says what is wrong.
bool WellFormed(const std::string& sentence, std::string& why);

}  // namespace orv::sim::test
