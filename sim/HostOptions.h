#pragma once
#include <string>

namespace orv::sim {

// How the unit is served on its pseudo-terminal.
struct HostOptions {
  // Both directions take their wire time at the rate the PC's end of the
  // line is set to, 10 bit times a byte. Off: the PC's bytes reach the unit
  // at once, and the unit's, its stream and replays included, go out as
  // fast as the terminal takes them.
  bool pacing = true;
  // When not empty, made a symbolic link to the slave while the host runs.
  std::string linkPath;
};

}  // namespace orv::sim
