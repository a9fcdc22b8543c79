#pragma once
// Opening the line to the unit: the device, the unit's line settings, the
// connection's time-outs and RTS raised. The window's CONNECT and the
// reconnect after a line loss both go through here, and tell the user (or
// not) from which step failed.
#include <memory>
#include <string>

#include "serial/Port.h"

namespace orv::serial {

enum class OpenStep { None, Open, Configure, Timeouts };

struct OpenedLine {
  // Set from the open on, also when a later step failed: what to do with a
  // half-opened port is the caller's choice.
  std::unique_ptr<Port> port;
  OpenStep failed = OpenStep::None;
  Status status;
  bool ok() const { return failed == OpenStep::None; }
};

OpenedLine OpenLine(const std::string& path, int baud);

}  // namespace orv::serial
