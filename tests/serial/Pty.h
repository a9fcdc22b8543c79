#pragma once
// A pseudo-terminal whose slave the port under test opens and whose master
// the test drives. On Linux the termios calls on the master act on the
// slave's settings, which lets a test see what the port configured.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "serial/Port.h"

namespace orv::serial::test {

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
      master_ = fd;
      slavePath_ = name;
    } else if (fd >= 0) {
      close(fd);
    }
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }
  // The tests send at most a few hundred bytes: the terminal takes them at once.
  bool Send(const std::string& bytes) {
    return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Reads from the master until n bytes came or timeoutMs ran out.
  std::string Receive(size_t n, int timeoutMs) {
    std::string got;
    const auto deadline = TestClock::now() + std::chrono::milliseconds(timeoutMs);
    for (long long left = timeoutMs; got.size() < n && left > 0; left = -MsSince(deadline)) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      char buffer[4096];
      const ssize_t r = read(master_, buffer, std::min(sizeof buffer, n - got.size()));
      if (r > 0) got.append(buffer, static_cast<size_t>(r));
    }
    return got;
  }
  bool SlaveSettings(termios& t) const { return tcgetattr(master_, &t) == 0; }
  bool SetSlaveSettings(const termios& t) { return tcsetattr(master_, TCSANOW, &t) == 0; }
  // Hangs the line up, as a pulled cable does for the port.
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};

// A port opened on the slave of a fresh pseudo-terminal.
class PortFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    Status status;
    port_ = OpenPort(pty_.SlavePath(), status);
    ASSERT_TRUE(port_) << status.Text();
  }

  Pty pty_;
  std::unique_ptr<Port> port_;
};

}  // namespace orv::serial::test
