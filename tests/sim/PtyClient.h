#pragma once
// The PC's end of a simulator's pseudo-terminal, set up as the serial layer
// sets up a port (raw, 8N1, a given rate); every read has a deadline.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>

#include "sim/PtyHost.h"

namespace orv::sim::test {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class PtyClient {
 public:
  ~PtyClient() { Close(); }

  bool Open(const std::string& path, int baud) {
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&tio, SpeedOf(baud));
    return tcsetattr(fd_, TCSANOW, &tio) == 0;
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  // The tests' writes are short enough for the terminal to take at once.
  bool Write(const std::string& s) { return write(fd_, s.data(), s.size()) == static_cast<ssize_t>(s.size()); }
  // Until `count` bytes came or `timeout` passed; at least one look.
  std::string Read(size_t count, milliseconds timeout) {
    std::string got;
    const auto deadline = Clock::now() + timeout;
    do {
      const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(std::max<int64_t>(0, left))) <= 0) continue;
      char buf[4096];
      const ssize_t n = read(fd_, buf, std::min(sizeof buf, count - got.size()));
      if (n > 0) got.append(buf, static_cast<size_t>(n));
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
    } while (got.size() < count && Clock::now() < deadline);
    return got;
  }
  std::string ReadFor(milliseconds span) { return Read(std::string::npos, span); }

 private:
  int fd_ = -1;
};

}  // namespace orv::sim::test
