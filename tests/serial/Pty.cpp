#include "tests/serial/Pty.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orv::serial::test {
namespace {

int MsLeft(TestClock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TestClock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

Pty::Pty() {
  const int fd = posix_openpt(O_RDWR | O_NOCTTY);
  if (fd < 0) return;
  char name[128];
  if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0 ||
      fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
    close(fd);
    return;
  }
  master_ = fd;
  slavePath_ = name;
}

Pty::~Pty() { CloseMaster(); }

bool Pty::Send(const std::string& bytes) {
  const TestClock::time_point deadline = TestClock::now() + std::chrono::seconds(2);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = write(master_, bytes.data() + sent, bytes.size() - sent);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    if (r < 0 && errno != EAGAIN && errno != EINTR) return false;
    const int left = MsLeft(deadline);
    if (left == 0) return false;
    pollfd p{master_, POLLOUT, 0};
    poll(&p, 1, left);
  }
  return true;
}

std::string Pty::Receive(size_t n, int timeoutMs) {
  const TestClock::time_point deadline = TestClock::now() + std::chrono::milliseconds(timeoutMs);
  std::string got;
  while (got.size() < n) {
    char buffer[4096];
    const size_t want = std::min(sizeof buffer, n - got.size());
    const ssize_t r = read(master_, buffer, want);
    if (r > 0) {
      got.append(buffer, static_cast<size_t>(r));
      continue;
    }
    if (r < 0 && errno != EAGAIN && errno != EINTR) break;
    const int left = MsLeft(deadline);
    if (left == 0) break;
    pollfd p{master_, POLLIN, 0};
    poll(&p, 1, left);
  }
  return got;
}

bool Pty::SlaveSettings(termios& t) const { return tcgetattr(master_, &t) == 0; }

bool Pty::SetSlaveSettings(const termios& t) { return tcsetattr(master_, TCSANOW, &t) == 0; }

void Pty::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

}  // namespace orv::serial::test
