#pragma once
// FLASH: programs the unit from an image file, through its own firmware
// loader (table and Intel HEX images) or through the on-chip debugger (OCD
// images). Driven by a FlashHost (the window, or a console program):
//
//   std::string image;
//   if (ReadImageFile(host, path, image) && ProgramImage(host, image) == RunEnd::Finished) ...
//
// The image is checked whole before the unit hears anything. Once
// "$PZTQC,P" has gone out, every way out of the run ends with "$PZTQC,G" at
// the unit's own rate, so the unit is never left in its loader.
#include <string>

#include "flash/FlashHost.h"

namespace orv::flash {

// Reads the file the user chose, which must be a regular file. False, with
// the message shown, when it cannot be had.
bool ReadImageFile(FlashHost& host, const std::string& path, std::string& image);

// Finished: the run got to its end and reported the byte count (the window
// then resets its display). Abandoned: it stopped on the way.
enum class RunEnd { Finished, Abandoned };

// The run from "$PZTQC,P" to "$PZTQC,G", on the host's port.
RunEnd ProgramImage(FlashHost& host, const std::string& image);

}  // namespace orv::flash
