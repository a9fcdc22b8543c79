#pragma once
// The bounds of every wait on the FLASH cable and the unit's loader that the
// window thread would otherwise sit in for ever. Each comes from the wire
// (the time the bytes in question need at the line's rate) plus an
// allowance for the device at the other end.
#include "serial/Drain.h"

namespace orv::flash {

constexpr int kOcdBaudRate = 57600;

using orv::serial::DrainBoundMs;
using orv::serial::WireMs;
using orv::serial::WireUs;

// Discarding what the unit sent before the switch to the debugger's rate.
// A real FLASH cable carries nothing but echoes, so this only runs out on a
// line that keeps talking; the handshake then finds out what is wrong.
constexpr int kInputFlushBoundMs = 2000;

// A mass erase takes the part some tens to a few hundred milliseconds.
// Zilog's own tools allow 20 s; past a few seconds a controller that still
// reports busy is not going to finish.
constexpr int kEraseBoundMs = 5000;
// One status exchange takes about 2 ms on the wire; a short pause between
// them keeps the poll from hammering the line while the erase runs.
constexpr int kErasePollMs = 10;

}  // namespace orv::flash
