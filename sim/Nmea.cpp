#include "sim/Nmea.h"

#include "common/Text.h"

namespace orv::sim {

uint8_t NmeaChecksum(const std::string& body) {
  uint8_t sum = 0;
  for (const char c : body) sum ^= static_cast<uint8_t>(c);
  return sum;
}

std::string NmeaSentence(const std::string& body) {
  return "$" + body + Format("*%02X\r\n", NmeaChecksum(body));
}

}  // namespace orv::sim
