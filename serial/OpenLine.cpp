#include "serial/OpenLine.h"

namespace orv::serial {

OpenedLine OpenLine(const std::string& path, int baud) {
  OpenedLine line;
  line.port = OpenPort(path, line.status);
  if (!line.port) {
    line.failed = OpenStep::Open;
  } else if (!(line.status = line.port->Configure(baud)).ok()) {
    line.failed = OpenStep::Configure;
  } else if (!(line.status = line.port->SetTimeouts(Timeouts::Connection())).ok()) {
    line.failed = OpenStep::Timeouts;
  } else {
    // Pseudo-terminals and some adapters have no RTS line; that is no
    // reason to fail.
    line.port->SetRts(true);
  }
  return line;
}

}  // namespace orv::serial
