#pragma once
// One end of a serial line that a test drives. Pty() is the master of a
// fresh pseudo-terminal whose slave the code under test opens (on Linux the
// termios calls on the master act on the slave's settings, so a test sees
// what the port configured); Pty(path, speed) opens an existing line raw,
// 8N1, at a termios speed, as the PC's end of a simulated unit. Every read
// has a deadline.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>

namespace orv::test {

using TestClock = std::chrono::steady_clock;

inline long long MsSince(TestClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(TestClock::now() - start).count();
}

class Pty {
 public:
  Pty() {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0 && ptsname_r(fd, name, sizeof name) == 0 &&
        fcntl(fd, F_SETFL, O_NONBLOCK) == 0) {
      fd_ = fd;
      slavePath_ = name;
    } else if (fd >= 0) {
      close(fd);
    }
  }
  Pty(const std::string& path, speed_t speed) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    termios tio{};
    const bool ok = fd_ >= 0 && tcgetattr(fd_, &tio) == 0;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    if (!ok || cfsetspeed(&tio, speed) != 0 || tcsetattr(fd_, TCSANOW, &tio) != 0) Close();
  }
  ~Pty() { Close(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool Ok() const { return fd_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }
  // The tests send at most a few hundred bytes: the terminal takes them at once.
  bool Send(const std::string& bytes) { return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()); }
  // Until n bytes came, the line ended or timeoutMs ran out; at least one look.
  std::string Receive(size_t n, int timeoutMs) {
    std::string got;
    const auto deadline = TestClock::now() + std::chrono::milliseconds(timeoutMs);
    do {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(std::max(0LL, -MsSince(deadline)))) <= 0) continue;
      char buffer[4096];
      const ssize_t r = read(fd_, buffer, std::min(sizeof buffer, n - got.size()));
      if (r > 0) got.append(buffer, static_cast<size_t>(r));
      if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) break;
    } while (got.size() < n && TestClock::now() < deadline);
    return got;
  }
  // Everything that comes within `ms`.
  std::string ReceiveFor(int ms) { return Receive(std::string::npos, ms); }
  bool SlaveSettings(termios& t) const { return tcgetattr(fd_, &t) == 0; }
  bool SetSlaveSettings(const termios& t) { return tcsetattr(fd_, TCSANOW, &t) == 0; }
  // For a master, hangs the line up, as a pulled cable does for the port.
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  std::string slavePath_;
};

}  // namespace orv::test
