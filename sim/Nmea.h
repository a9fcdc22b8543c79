#pragma once
// NMEA 0183 framing of the sentences the unit sends:
//   $<body>*<two upper-case hex digits of the XOR of body>CR LF
#include <cstdint>
#include <string>

namespace orv::sim {

// XOR of every byte of `body` (the text between "$" and "*").
uint8_t NmeaChecksum(const std::string& body);

// "$" + body + "*" + checksum + CR LF.
std::string NmeaSentence(const std::string& body);

}  // namespace orv::sim
