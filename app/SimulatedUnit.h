#pragma once
// `orvanta --simulate`: a simulated unit served inside the program, with
// every COM port routed to it. It is served on a pseudo-terminal, so only
// POSIX has it (SimulatedUnitPosix.cpp); on Windows starting it fails with
// the reason (SimulatedUnitWin32.cpp).
#include <memory>
#include <string>

class SimulatedUnit {
 public:
  virtual ~SimulatedUnit() = default;

  // Starts a unit on the data cable or the FLASH cable. Null, with the
  // reason in `error`, when it cannot be started.
  static std::unique_ptr<SimulatedUnit> Start(bool flashCable, std::string& error);

  // The device every COM port leads to.
  virtual std::string Path() const = 0;
  // Stops serving the unit; once is enough, more is harmless.
  virtual void Stop() = 0;
};
