#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "sim/PtyHost.h"

namespace orv::sim::test {

bool PtyClient::Open(const std::string& path, int baud, std::string& error) {
  Close();
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error = "open " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!SetBaud(baud)) {
    error = "tcsetattr " + path + ": " + std::strerror(errno);
    Close();
    return false;
  }
  return true;
}

void PtyClient::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool PtyClient::SetBaud(int baud) {
  termios tio{};
  if (tcgetattr(fd_, &tio) != 0) return false;
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  cfsetspeed(&tio, SpeedOf(baud));
  return tcsetattr(fd_, TCSANOW, &tio) == 0;
}

bool PtyClient::Write(const std::string& bytes) {
  size_t done = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (done < bytes.size() && Clock::now() < deadline) {
    const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else {
      pollfd p{fd_, POLLOUT, 0};
      poll(&p, 1, 50);
    }
  }
  return done == bytes.size();
}

std::string PtyClient::Read(size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  const auto deadline = Clock::now() + timeout;
  char buf[4096];
  // At least one look, so that a zero timeout takes what is already there.
  do {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(std::max<int64_t>(0, left.count()))) <= 0) continue;
    const ssize_t n = read(fd_, buf, std::min(sizeof buf, count - got.size()));
    if (n > 0) got.append(buf, static_cast<size_t>(n));
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
  } while (got.size() < count && Clock::now() < deadline);
  return got;
}

std::string PtyClient::ReadFor(std::chrono::milliseconds span) {
  return Read(static_cast<size_t>(-1), span);
}

std::string PtyClient::ReadUntil(const std::string& what, std::chrono::milliseconds timeout) {
  std::string got;
  const auto deadline = Clock::now() + timeout;
  while (got.find(what) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) break;
    got += Read(1, std::min(left, std::chrono::milliseconds(100)));
    got += Read(4096, std::chrono::milliseconds(0));
  }
  return got;
}

}  // namespace orv::sim::test
