#include "serial/UnitCommands.h"

namespace orv {

bool AcknowledgementMatches(const unsigned char* sent, int sentCount, const unsigned char (&reply)[6]) {
  if (reply[0] == '#' && reply[1] == '#') return true;
  // A message shorter than 7 bytes has no bytes 3 to 6 to repeat.
  if (sentCount < 7) return false;
  for (int i = 0; i < 4; ++i) {
    if (reply[i] != sent[3 + i]) return false;
  }
  return true;
}

}  // namespace orv
