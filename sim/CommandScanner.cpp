#include "sim/CommandScanner.h"

namespace orv::sim {

namespace {
constexpr char kTag[] = "$PZTQC,";
constexpr int kTagLength = 7;
}  // namespace

char CommandScanner::Feed(uint8_t byte) {
  if (matched_ == kTagLength) {
    matched_ = 0;
    // A NUL cannot be a command letter; it is line noise.
    return static_cast<char>(byte);
  }
  if (byte == static_cast<uint8_t>(kTag[matched_])) {
    ++matched_;
  } else {
    // Only "$" can start the tag again: the tag has no other repeated prefix.
    matched_ = byte == '$' ? 1 : 0;
  }
  return 0;
}

}  // namespace orv::sim
