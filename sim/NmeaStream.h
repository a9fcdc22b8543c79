#pragma once
// The unit's own sentence stream, one sentence at a time.
//
// Order, chosen for the PC's 300-byte blocks: the status sentence opens each
// of four frames of about 258 bytes, so every block holds one with room for
// its text; the transducers come eight in a row (0-7, then 8-15), which is
// what one display page of them asks for; depth, speed and position come
// together, speed-and-heading before depth before water temperature, the
// order the sonar page looks for them in.
//
//   $PZTQS  $IIXDR 0..7
//   $PZTQS  $SDVHW $SDDBT $SDMTW $GPRMC $GPGLL $SDVLW
//   $PZTQS  $IIXDR 8..15
//   $PZTQS  $SDVHW $SDDBT $SDMTW $GPRMC $GPGLL $SDVLW
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/Menu.h"
#include "sim/Sentences.h"
#include "sim/Track.h"

namespace orv::sim {

class NmeaStream {
 public:
  explicit NmeaStream(uint32_t seed);

  // The next sentence at unit time nowMs; groups the menu has switched off
  // are passed over.
  std::string Next(int64_t nowMs, const Menu& menu);

 private:
  size_t step_ = 0;
  Track track_;
  std::array<double, kTransducers> phase_{};
};

}  // namespace orv::sim
