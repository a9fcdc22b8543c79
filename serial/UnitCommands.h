#pragma once
// Command sentences to the unit: "$PZTQC," and one letter, 8 bytes on the
// wire, no checksum, no line end.
//
//   $PZTQC,S   SELECT (the unit's bottom button)
//   $PZTQC,N   SCROLL (the unit's top button)
//   $PZTQC,G   go: stream data
//   $PZTQC,P   prepare for the firmware loader
#include <array>

namespace orv {

constexpr int kCommandLength = 8;
using CommandSentence = std::array<unsigned char, kCommandLength>;

constexpr CommandSentence UnitCommand(char letter) {
  return {'$', 'P', 'Z', 'T', 'Q', 'C', ',', static_cast<unsigned char>(letter)};
}

// The acknowledgement a unit gives to an echoed write: six bytes that start
// "##", or whose first four repeat bytes 3 to 6 of what was sent.
bool AcknowledgementMatches(const unsigned char* sent, int sentCount, const unsigned char (&reply)[6]);

}  // namespace orv
