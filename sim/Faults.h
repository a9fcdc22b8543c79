#pragma once
// Faults the simulated unit can be told to show, for the reliability tests.
// Each is switched on by name (--fault NAME or --fault NAME=N):
//
//   no-echo        the flash cable returns none of the PC's bytes
//   bad-echo       the flash cable returns each byte altered (right count)
//   late-reply[=N] loader answers and debugger answers come N ms late
//                  (default 300, past the debugger's 100 + n ms time-out)
//   stop-ack=N     the loader answers N records, then no more
//   erase-hang     the debugger's mass erase never finishes
//   drop-after=N   the line goes dead after the unit has sent N bytes: it
//                  sends nothing more and hears nothing (the port stays
//                  open, as with a cable pulled at the unit's end)
//   hang-up=N      after the unit has sent N bytes the simulator closes its
//                  end of the pseudo-terminal: the PC's port is hung up, as
//                  a USB adapter pulled out of the PC leaves it
//   noise[=N]      a random byte is slipped into the stream after about one
//                  byte in N (default 64)
//   hash-ack       the loader answers "##" and four characters
#include <cstdint>
#include <string>

namespace orv::sim {

struct Faults {
  bool noEcho = false;
  bool badEcho = false;
  int lateReplyMs = 0;       // 0: replies on time
  int stopAckAfter = -1;     // -1: never stops
  bool eraseHang = false;
  int64_t dropAfter = -1;    // -1: never
  int64_t hangUpAfter = -1;  // -1: never
  int noiseEvery = 0;        // 0: no noise
  bool hashAck = false;
};

// Applies one "NAME" or "NAME=N" to `faults`; false with a reason in
// `error` for an unknown name or a missing or malformed number.
bool ApplyFault(const std::string& option, Faults& faults, std::string& error);

}  // namespace orv::sim
