#pragma once
#include <string>

namespace orv::sim {

// How the unit is served on its pseudo-terminal.
struct HostOptions {
  // Bytes go to the PC at the rate its end of the line is set to, 10 bit
  // times a byte. Off: whatever the unit has is written at once.
  bool pacing = true;
  // When not empty, made a symbolic link to the slave while the host runs.
  std::string linkPath;
};

}  // namespace orv::sim
