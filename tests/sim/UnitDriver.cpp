#include "UnitDriver.h"

#include "common/Text.h"
#include "sim/Nmea.h"

namespace orv::sim::test {

std::vector<std::string> Sentences(const std::string& stream) {
  std::vector<std::string> out;
  size_t pos = stream.find('$');
  while (pos != std::string::npos) {
    const size_t next = stream.find('$', pos + 1);
    const size_t lf = stream.find('\n', pos);
    if (lf == std::string::npos) break;
    if (next == std::string::npos || lf < next) out.push_back(stream.substr(pos, lf - pos + 1));
    pos = next;
  }
  return out;
}

bool WellFormed(const std::string& s, std::string& why) {
  if (s.size() < 6 || s[0] != '$') {
    why = "does not start with $";
    return false;
  }
  if (s.compare(s.size() - 2, 2, "\r\n") != 0) {
    why = "does not end in CR LF";
    return false;
  }
  const size_t star = s.size() - 5;
  if (s[star] != '*' || s.find('*') != star) {
    why = "no single * three characters before CR LF";
    return false;
  }
  const std::string body = s.substr(1, star - 1);
  const std::string expected = Format("%02X", NmeaChecksum(body));
  if (s.substr(star + 1, 2) != expected) {
    why = "checksum " + s.substr(star + 1, 2) + ", expected " + expected;
    return false;
  }
  return true;
}

}  // namespace orv::sim::test
