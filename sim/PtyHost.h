#pragma once
// Serves a simulated unit on a pseudo-terminal: the PC opens the slave as it
// would open a serial port, and a service thread carries bytes between the
// master and the unit.
//
// The host keeps no slave descriptor of its own. With none open, Linux
// reports POLLHUP on the master; that is how the host knows the PC has gone
// (it then sends nothing, so a reconnecting PC finds no stale bytes, and
// tells the unit) and when it is back. Holding a slave open would hide
// both. Reading the PC's line rate needs no slave either: tcgetattr on a
// Linux master returns the slave's settings.
//
// Typical in-process use:
//   PtyHost host(unitOptions, HostOptions{});
//   std::string error;
//   if (!host.Start(error)) ...;
//   open host.SlavePath() as a serial port ...
//   host.WithUnit([](Unit& unit) { return unit.StatusText(); });
//   host.Stop();
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/HostOptions.h"
#include "sim/Unit.h"

namespace orv::sim {

class PtyHost {
 public:
  PtyHost(UnitOptions unit, HostOptions host);
  ~PtyHost();
  PtyHost(const PtyHost&) = delete;
  PtyHost& operator=(const PtyHost&) = delete;

  // Opens the terminal, makes the --link and starts the service thread.
  // False with the failing call, path and reason in `error`; nothing is
  // left open then.
  bool Start(std::string& error);
  // Stops the thread (it wakes at once and ends within one pass), closes
  // the terminal and removes the link. Safe to call more than once.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  const std::string& SlavePath() const { return slavePath_; }

  // Runs f(unit) under the lock the service thread takes for every pass:
  // the way to read or change the unit (memory, status, counters) while it
  // is being served. The result is returned by value, so that nothing
  // handed out refers into the unit once the lock is gone.
  template <class F>
  auto WithUnit(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(*unit_);
  }

  bool PcConnected() const { return connected_; }
  // The service thread's id (Linux's thread id), 0 before it runs: what a
  // test needs to ask the system how long a busy machine held it up.
  int ServiceThreadId() const { return serviceTid_; }
  int64_t BytesToPc() const { return bytesToPc_; }
  // Bytes the unit has heard: with pacing, only those whose wire time has gone by.
  int64_t BytesFromPc() const { return bytesFromPc_; }

 private:
  void Run();
  // Hands bytes that have come down the line to the unit.
  void Deliver(const uint8_t* data, size_t size, int rate, int64_t atMs);
  void CloseAll();
  bool MakeLink(std::string& error);
  void RemoveLink();

  HostOptions options_;
  std::unique_ptr<Unit> unit_;
  std::mutex mutex_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> connected_{false};
  std::atomic<int> serviceTid_{0};
  std::atomic<int64_t> bytesToPc_{0};
  std::atomic<int64_t> bytesFromPc_{0};
  int master_ = -1;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::string slavePath_;
  bool linked_ = false;
};

// termios speed constants (speed_t) and rates in bits per second; 0 when
// there is no match.
int LineRateOf(unsigned int speed);
unsigned int SpeedOf(int rate);

}  // namespace orv::sim
