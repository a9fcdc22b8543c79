#pragma once
// Drives a Unit on a fake clock, as the host would, and reads its stream.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/NmeaLines.h"
#include "sim/Unit.h"

namespace orv::sim::test {

class UnitDriver {
 public:
  explicit UnitDriver(Unit& unit, int pcBaud = 4800) : unit_(unit), pcBaud_(pcBaud) {}

  void SetPcBaud(int baud) { pcBaud_ = baud; }
  void Send(const std::string& bytes) {
    unit_.Receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), pcBaud_, nowMs_);
  }
  // What the unit puts on the line over the next `ms` of its time, taken
  // every `stepMs`.
  std::string Run(int64_t ms, int64_t stepMs = 10) {
    std::string got;
    for (const int64_t end = nowMs_ + ms; nowMs_ < end;) {
      nowMs_ = std::min(end, nowMs_ + stepMs);
      got += Take();
    }
    return got;
  }
  // What is ready now.
  std::string Take() {
    std::string got;
    uint8_t buf[512];
    for (size_t n; (n = unit_.Transmit(buf, sizeof buf, pcBaud_, nowMs_)) > 0;) {
      got.append(reinterpret_cast<const char*>(buf), n);
    }
    return got;
  }

 private:
  Unit& unit_;
  int pcBaud_;
  int64_t nowMs_ = 0;
};

// A unit on `cable` showing the --fault `fault` ("" for none).
inline UnitOptions With(const std::string& fault, Cable cable = Cable::Data) {
  UnitOptions o;
  o.cable = cable;
  std::string error;
  if (!fault.empty() && !ApplyFault(fault, o.faults, error)) ADD_FAILURE() << error;
  return o;
}

// The complete sentences in `stream` ("$" up to and including LF).
inline std::vector<std::string> Sentences(const std::string& stream) {
  std::vector<std::string> out;
  for (size_t pos = stream.find('$'); pos != std::string::npos;) {
    const size_t next = stream.find('$', pos + 1);
    const size_t lf = stream.find('\n', pos);
    if (lf == std::string::npos) break;
    if (lf < next) out.push_back(stream.substr(pos, lf - pos + 1));
    pos = next;
  }
  return out;
}

// "$" body "*" two upper-case hex digits, CR LF, the checksum as the
// window's own raw monitor judges it, not as the unit worked it out.
inline bool WellFormed(const std::string& s) {
  const size_t star = s.size() - 5;
  return s.size() >= 6 && s[0] == '$' && s.find('*') == star && s.find_first_of("abcdef", star) == std::string::npos &&
         s.compare(star + 3, 2, "\r\n") == 0 && serial::ChecksumOf(s.substr(0, star + 3)) == serial::Checksum::Valid;
}

}  // namespace orv::sim::test
