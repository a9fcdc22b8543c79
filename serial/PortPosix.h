#pragma once
// The pieces of the termios port that carry rules of their own: which errno
// means which Error, the rate table, how long the receive wait sleeps, and
// the descriptor owner. Kept apart so that tests can reach them.
#include <atomic>
#include <string>

#include <termios.h>

#include "serial/Port.h"

namespace orv::serial::posix {

// Whether the call failed while the port was being opened or on a port that
// is open: the same errno can mean "no such device" before and "the device
// went away" after.
enum class Phase { Opening, Open };

// The one place where errno becomes an Error.
Error ErrorFromErrno(int err, Phase phase);
Status SystemStatus(int err, const char* call, const std::string& path, Phase phase);

// B-constant for a supported rate, or B0 when the rate is not supported.
speed_t SpeedConstant(int baud);
// The rate of a B-constant from the supported list, or 0.
int BaudOfSpeed(speed_t speed);

// Owns one file descriptor. Moving hands the descriptor over; the
// moved-from owner holds -1 and closes nothing. The descriptor number is
// atomic so that one thread may read it while the owner holds it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_.load(); }
  bool Valid() const { return Get() >= 0; }
  int Release() { return fd_.exchange(-1); }
  // Closes the descriptor if one is held; 0, or the errno of close().
  // A second call closes nothing and returns 0.
  int Close();

 private:
  std::atomic<int> fd_{-1};
};

}  // namespace orv::serial::posix
