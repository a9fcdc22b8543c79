#pragma once
// Finds the PC's command sentences in the bytes the unit receives:
// "$PZTQC," and one letter, 8 bytes with no checksum and no line end.
// Anything between commands is passed over.
#include <cstdint>

namespace orv::sim {

class CommandScanner {
 public:
  // The command letter when `byte` completes a command, else 0.
  char Feed(uint8_t byte);
  // Forget a partly received command (the line was disturbed).
  void Reset() { matched_ = 0; }

 private:
  int matched_ = 0;  // characters of "$PZTQC," seen so far
};

}  // namespace orv::sim
