#pragma once
// The writer every message to the unit goes through: the two buttons, the G
// command of a connect and of the flash run, and the flash run's page-range
// command and records, which the unit's loader acknowledges.
//
//   sent      :10010000000102030405060708090A0B0C0D0E0F77 LF
//   answered  0100 CR LF          (characters 3 to 6 of what was sent)
//         or  ## and any four     (the loader's other way of saying yes)
#include "serial/Port.h"

namespace orv::serial {

// The unit answers a record once it has checked and programmed it.
constexpr int kAnswerAllowanceMs = 3000;
// A page-range command is answered once the pages it names are erased;
// each takes the unit's flash some milliseconds, this many at most.
constexpr int kPageEraseAllowanceMs = 50;
constexpr int PageRangeAllowanceMs(int pages) { return kAnswerAllowanceMs + pages * kPageEraseAllowanceMs; }

// Writes `count` bytes to the unit; with `acknowledged`, throws away what
// was waiting to be read first and then waits (within the wire time of the
// bytes and the answer, plus `allowanceMs`) for the six-byte answer.
// 0 for success, 1 for an answer that does not match, otherwise the error
// number of what failed (EBADF without an open port, ETIMEDOUT for a wait
// that ran out). Every wait is bounded.
int WriteToUnit(Port* port, const unsigned char* data, int count, bool acknowledged,
                int allowanceMs = kAnswerAllowanceMs);

// "$PZTQC," and `letter`, without acknowledgement: 0 or the error number.
int SendUnitCommand(Port* port, char letter);

// What a failed command shows, with the number.
constexpr char kWriteFailure[] = "Unable to write to serial port: code =%d";

}  // namespace orv::serial
