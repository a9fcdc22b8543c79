// The port over POSIX termios. The descriptor stays non-blocking for its
// whole life; every wait is a poll() with a bound, so no call can hang on a
// device that stops answering.
#include "serial/PortPosix.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/Text.h"
#include "serial/Drain.h"
#include "serial/OpenFailure.h"
#include "serial/PortPlatform.h"

namespace orv::serial {
namespace posix {
namespace {

struct ErrnoRow {
  int err;
  Error opening;
  Error open;
};

// Linux answers an open of a /dev/ttyS node with no UART behind it with EIO,
// so before the port is open EIO, ENXIO and ENODEV mean "no such device";
// once it is open they mean the device went away (a USB adapter pulled out,
// the far end of a pseudo-terminal closed). EWOULDBLOCK is flock's answer
// when another open file holds the lock.
const ErrnoRow kErrnoRows[] = {
    {ENOENT, Error::NotFound, Error::NotFound},
    {ENOTDIR, Error::NotFound, Error::NotFound},
    {ENAMETOOLONG, Error::NotFound, Error::NotFound},
    {ELOOP, Error::NotFound, Error::NotFound},
    {ENODEV, Error::NotFound, Error::Closed},
    {ENXIO, Error::NotFound, Error::Closed},
    {EIO, Error::NotFound, Error::Closed},
    {EBADF, Error::Closed, Error::Closed},
    {EBUSY, Error::Busy, Error::Busy},
    {EWOULDBLOCK, Error::Busy, Error::Busy},
    {EAGAIN, Error::Busy, Error::Busy},
    {EACCES, Error::Access, Error::Access},
    {EPERM, Error::Access, Error::Access},
    {EROFS, Error::Access, Error::Access},
    {ENOTTY, Error::NotSerial, Error::NotSerial},
    {EISDIR, Error::NotSerial, Error::NotSerial},
    {EINVAL, Error::Config, Error::Config},
    {ETIMEDOUT, Error::Timeout, Error::Timeout},
    {ECANCELED, Error::Cancelled, Error::Cancelled},
};

struct SpeedRow {
  int baud;
  speed_t speed;
};

constexpr std::array<SpeedRow, 8> kSpeeds = {{
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
}};

}  // namespace

Error ErrorFromErrno(int err, Phase phase) {
  if (err == 0) return Error::None;
  for (const ErrnoRow& row : kErrnoRows) {
    if (row.err == err) return phase == Phase::Opening ? row.opening : row.open;
  }
  return Error::Io;
}

Status SystemStatus(int err, const char* call, const std::string& path, Phase phase) {
  Status s;
  s.code = ErrorFromErrno(err, phase);
  s.sysError = err;
  s.call = call;
  s.path = path;
  return s;
}

speed_t SpeedConstant(int baud) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.baud == baud) return row.speed;
  }
  return B0;
}

int BaudOfSpeed(speed_t speed) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.speed == speed) return row.baud;
  }
  return 0;
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Close();
    fd_.store(other.Release());
  }
  return *this;
}

int UniqueFd::Close() {
  const int fd = fd_.exchange(-1);
  if (fd < 0) return 0;
  // Not retried on EINTR: Linux has released the descriptor by then, and a
  // second close could hit a number another thread was just given.
  if (::close(fd) != 0 && errno != EINTR) return errno;
  return 0;
}

}  // namespace posix

namespace {

// strerror() may share one buffer between threads; strerror_r comes in a
// GNU flavour (returns the text) and an XSI one (fills the buffer). These two
// overloads take whichever the C library gives.
[[maybe_unused]] std::string FromStrerror(const char* text, const char*) { return text; }
[[maybe_unused]] std::string FromStrerror(int failed, const char* buffer) {
  return failed == 0 ? std::string(buffer) : std::string("unknown error");
}

}  // namespace

std::string SystemErrorText(int err) {
  char buffer[256] = {};
  return FromStrerror(strerror_r(err, buffer, sizeof buffer), buffer);
}

std::string DefaultDevicePath(int comNumber) { return Format("/dev/ttyS%d", comNumber - 1); }

namespace {

using posix::Phase;
using posix::UniqueFd;
using Clock = std::chrono::steady_clock;

template <typename Call>
auto RetryOnEintr(Call call) {
  for (;;) {
    auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

// Milliseconds left until `deadline`, rounded up so that a poll never ends
// before it; 0 once it has passed.
int MsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>(std::min<long long>((left.count() + 999) / 1000, INT_MAX));
}

Clock::time_point DeadlineAfter(long long ms) {
  return Clock::now() + std::chrono::milliseconds(std::max<long long>(ms, 0));
}

// Pseudo-terminals and some adapters have no modem lines; asking them to
// drop DTR is refused, and there is nothing to drop.
bool NoModemLines(int err) { return err == ENOTTY || err == EINVAL; }

bool HungUp(const pollfd& p) { return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0; }

void MakeRaw(termios& t) {
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tcflag_t clear = CSIZE | PARENB | CSTOPB;
#ifdef CRTSCTS
  clear |= CRTSCTS;
#endif
  t.c_cflag &= ~clear;
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  // A read with nothing queued then fails with EAGAIN, and a read that gives
  // 0 bytes can only mean end of file: the device hung up.
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
}

class PosixPort final : public Port {
 public:
  PosixPort(std::string path, UniqueFd fd, UniqueFd wakeRead, UniqueFd wakeWrite, int baud)
      : path_(std::move(path)),
        fd_(std::move(fd)),
        wakeRead_(std::move(wakeRead)),
        wakeWrite_(std::move(wakeWrite)),
        baud_(baud) {}
  ~PosixPort() override { Close(); }

  const std::string& Path() const override { return path_; }
  bool IsOpen() const override { return fd_.Valid(); }

  Status Configure(int baud) override {
    termios t{};
    Status s = GetAttributes(t);
    if (!s.ok()) return s;
    MakeRaw(t);
    s = SetSpeed(t, baud);
    if (!s.ok()) return s;
    s = SetAttributes(t);
    if (!s.ok()) return s;
    int dtr = TIOCM_DTR;
    if (ioctl(fd_.Get(), TIOCMBIC, &dtr) != 0 && !NoModemLines(errno)) {
      return Fail(errno, "ioctl TIOCMBIC");
    }
    baud_ = baud;
    return Status{};
  }

  Status SetBaudRate(int baud) override {
    termios t{};
    Status s = GetAttributes(t);
    if (!s.ok()) return s;
    s = SetSpeed(t, baud);
    if (!s.ok()) return s;
    s = SetAttributes(t);
    if (!s.ok()) return s;
    baud_ = baud;
    return Status{};
  }

  int BaudRate() const override { return baud_.load(); }

  Status SetTimeouts(const Timeouts& t) override {
    if (!t.IsValid()) return Fail(EINVAL, "SetTimeouts");
    std::lock_guard<std::mutex> lock(timeoutsLock_);
    timeouts_ = t;
    return Status{};
  }

  Timeouts GetTimeouts() const override {
    std::lock_guard<std::mutex> lock(timeoutsLock_);
    return timeouts_;
  }

  Status SetRts(bool on) override {
    int rts = TIOCM_RTS;
    return Ioctl(on ? TIOCMBIS : TIOCMBIC, &rts, on ? "ioctl TIOCMBIS" : "ioctl TIOCMBIC");
  }

  Status SetBreak(bool on) override {
    return Ioctl(on ? TIOCSBRK : TIOCCBRK, nullptr, on ? "ioctl TIOCSBRK" : "ioctl TIOCCBRK");
  }

  Status SetEventMask(unsigned) override { return Status{}; }

  Status QueueCounts(int& inQueue, int& outQueue) override {
    inQueue = 0;
    outQueue = 0;
    int in = 0;
    int out = 0;
    Status s = Ioctl(FIONREAD, &in, "ioctl FIONREAD");
    if (!s.ok()) return s;
    s = Ioctl(TIOCOUTQ, &out, "ioctl TIOCOUTQ");
    if (!s.ok()) return s;
    inQueue = in;
    outQueue = out;
    return Status{};
  }

  Status Read(void* data, int n, int& got) override {
    got = 0;
    if (n <= 0) return Status{};
    if (data == nullptr) return Fail(EINVAL, "read");
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, "read");
    const Timeouts t = GetTimeouts();
    const Clock::time_point deadline = DeadlineAfter(t.ReadTotalMs(n));
    char* out = static_cast<char*>(data);
    bool hungUp = false;
    for (;;) {
      const ssize_t r = ::read(fd, out + got, static_cast<size_t>(n - got));
      if (r > 0) {
        got += static_cast<int>(r);
        if (got == n) return Status{};
        continue;
      }
      if (r == 0) return Plain(Error::Closed, "read");
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return Fail(errno, "read");
      if (t.readReturnsAtOnce) return Status{};
      if (hungUp) return Plain(Error::Closed, "read");
      const int left = MsUntil(deadline);
      if (left == 0) return Plain(Error::Timeout, "read");
      pollfd p{fd, POLLIN, 0};
      const int pr = ::poll(&p, 1, left);
      if (pr < 0 && errno != EINTR) return Fail(errno, "poll");
      hungUp = pr > 0 && HungUp(p);
    }
  }

  Status Write(const void* data, int n, int& written) override {
    written = 0;
    if (n <= 0) return Status{};
    if (data == nullptr) return Fail(EINVAL, "write");
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, "write");
    const Clock::time_point deadline = DeadlineAfter(GetTimeouts().WriteTotalMs(n));
    const char* in = static_cast<const char*>(data);
    bool hungUp = false;
    for (;;) {
      const ssize_t r = ::write(fd, in + written, static_cast<size_t>(n - written));
      if (r > 0) {
        written += static_cast<int>(r);
        if (written == n) return Status{};
        continue;
      }
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Fail(errno, "write");
      if (hungUp) return Plain(Error::Closed, "write");
      const int left = MsUntil(deadline);
      if (left == 0) return Plain(Error::Timeout, "write");
      pollfd p{fd, POLLOUT, 0};
      const int pr = ::poll(&p, 1, left);
      if (pr < 0 && errno != EINTR) return Fail(errno, "poll");
      hungUp = pr > 0 && HungUp(p);
    }
  }

  // The port descriptor is polled with no events: arriving bytes do not wake
  // the thread, only a hang-up or an error does (those are always reported).
  // The thread sleeps for as long as the missing bytes need on the wire and
  // then counts again, so it wakes a handful of times per block instead of
  // once per byte, and notices a complete block within one sleep of its
  // last byte. The wake pipe cuts any sleep short.
  Status WaitForInput(int minBytes, int timeoutMs) override {
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, "wait");
    const Clock::time_point deadline = DeadlineAfter(timeoutMs);
    long long sleepUs = 0;
    int lastQueued = -1;
    int idleLooks = 0;
    for (;;) {
      pollfd fds[2] = {{wakeRead_.Get(), POLLIN, 0}, {fd, 0, 0}};
      const timespec sleep{static_cast<time_t>(sleepUs / 1000000), static_cast<long>(sleepUs % 1000000) * 1000};
      const int pr = ::ppoll(fds, 2, &sleep, nullptr);
      if (pr < 0 && errno != EINTR) return Fail(errno, "poll");
      if (pr > 0 && (fds[0].revents & POLLIN) != 0) return Plain(Error::Cancelled, "wait");
      const bool hungUp = pr > 0 && HungUp(fds[1]);
      int queued = 0;
      const Status s = Ioctl(FIONREAD, &queued, "ioctl FIONREAD");
      if (!s.ok()) return s;
      if (queued >= minBytes) return Status{};
      if (hungUp) return Plain(Error::Closed, "wait");
      const long long left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
      if (left <= 0) return Plain(Error::Timeout, "wait");
      idleLooks = queued == lastQueued ? idleLooks + 1 : 0;
      lastQueued = queued;
      sleepUs = WaitSleepUs(minBytes - queued, baud_.load(), left, idleLooks);
    }
  }

  void Cancel() override {
    // write() on a pipe is async-signal-safe; a full pipe is already a
    // pending cancel, so a refused byte loses nothing.
    const char byte = 1;
    const ssize_t r = ::write(wakeWrite_.Get(), &byte, 1);
    static_cast<void>(r);
  }

  void ClearCancel() override {
    char buffer[64];
    while (::read(wakeRead_.Get(), buffer, sizeof buffer) > 0) {
    }
  }

  Status Close() override {
    const int fd = fd_.Get();
    if (fd < 0) return Status{};
    ioctl(fd, TIOCNXCL);
    const int err = fd_.Close();
    return err == 0 ? Status{} : Fail(err, "close");
  }

 private:
  Status Fail(int err, const char* call) const {
    return posix::SystemStatus(err, call, path_, Phase::Open);
  }

  Status Plain(Error code, const char* call) const {
    Status s;
    s.code = code;
    s.call = call;
    s.path = path_;
    return s;
  }

  Status Ioctl(unsigned long request, void* arg, const char* call) {
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, call);
    if (RetryOnEintr([&] { return ioctl(fd, request, arg); }) != 0) return Fail(errno, call);
    return Status{};
  }

  Status GetAttributes(termios& t) {
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, "tcgetattr");
    if (tcgetattr(fd, &t) != 0) return Fail(errno, "tcgetattr");
    return Status{};
  }

  Status SetSpeed(termios& t, int baud) const {
    const speed_t speed = posix::SpeedConstant(baud);
    if (speed == B0) return Fail(EINVAL, "cfsetospeed");
    if (cfsetospeed(&t, speed) != 0) return Fail(errno, "cfsetospeed");
    if (cfsetispeed(&t, speed) != 0) return Fail(errno, "cfsetispeed");
    return Status{};
  }

  // tcsetattr() reports success when any one of the changes was made, so
  // the settings are read back and the ones the line depends on compared.
  Status SetAttributes(const termios& wanted) {
    const int fd = fd_.Get();
    if (fd < 0) return Plain(Error::Closed, "tcsetattr");
    if (RetryOnEintr([&] { return tcsetattr(fd, TCSANOW, &wanted); }) != 0) {
      return Fail(errno, "tcsetattr");
    }
    termios now{};
    if (tcgetattr(fd, &now) != 0) return Fail(errno, "tcgetattr");
    const tcflag_t frame = CSIZE | PARENB | CSTOPB;
    const bool same = cfgetospeed(&now) == cfgetospeed(&wanted) &&
                      cfgetispeed(&now) == cfgetispeed(&wanted) &&
                      (now.c_cflag & frame) == (wanted.c_cflag & frame) &&
                      (now.c_lflag & ICANON) == (wanted.c_lflag & ICANON);
    return same ? Status{} : Fail(EINVAL, "tcsetattr");
  }

  const std::string path_;
  UniqueFd fd_;
  UniqueFd wakeRead_;
  UniqueFd wakeWrite_;
  std::atomic<int> baud_;
  mutable std::mutex timeoutsLock_;
  Timeouts timeouts_ = Timeouts::Connection();
};

Status OpenFailure(int err, const char* call, const std::string& path) {
  return posix::SystemStatus(err, call, path, Phase::Opening);
}

Status MakeWakePipe(UniqueFd& readEnd, UniqueFd& writeEnd, const std::string& path) {
  int ends[2];
  if (::pipe(ends) != 0) return OpenFailure(errno, "pipe", path);
  readEnd = UniqueFd(ends[0]);
  writeEnd = UniqueFd(ends[1]);
  for (int fd : ends) {
    if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0 || fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
      return OpenFailure(errno, "fcntl", path);
    }
  }
  return Status{};
}

}  // namespace

std::unique_ptr<Port> OpenPort(const std::string& path, Status& status) {
  UniqueFd wakeRead;
  UniqueFd wakeWrite;
  status = MakeWakePipe(wakeRead, wakeWrite, path);
  if (!status.ok()) return nullptr;
  UniqueFd fd(RetryOnEintr(
      [&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); }));
  if (!fd.Valid()) {
    status = OpenFailure(errno, "open", path);
    return nullptr;
  }
  if (!isatty(fd.Get())) {
    status = OpenFailure(ENOTTY, "isatty", path);
    return nullptr;
  }
  termios t{};
  if (tcgetattr(fd.Get(), &t) != 0) {
    status = OpenFailure(errno, "tcgetattr", path);
    return nullptr;
  }
  // Two locks, because each misses a case. flock() is advisory: it stops
  // only programs that take it too (minicom, ModemManager and the like do),
  // but it stops them whoever they run as, root included, and a second open
  // in this very program. TIOCEXCL makes the kernel refuse every further
  // open of the terminal with EBUSY, whether or not the opener cooperates,
  // but root is let through. Together they leave root's opens to the lock
  // and everyone else's to the kernel.
  if (RetryOnEintr([&] { return flock(fd.Get(), LOCK_EX | LOCK_NB); }) != 0) {
    status = OpenFailure(errno, "flock", path);
    return nullptr;
  }
  if (ioctl(fd.Get(), TIOCEXCL) != 0) {
    status = OpenFailure(errno, "ioctl TIOCEXCL", path);
    return nullptr;
  }
  // Neither lock stops a program that opened the port before us without
  // taking one (gpsd does so): two readers would share the bytes at random.
  if (!OtherUsersOf(path).empty()) {
    ioctl(fd.Get(), TIOCNXCL);
    status = OpenFailure(EBUSY, "open", path);
    return nullptr;
  }
  return std::make_unique<PosixPort>(path, std::move(fd), std::move(wakeRead), std::move(wakeWrite),
                                     posix::BaudOfSpeed(cfgetospeed(&t)));
}

}  // namespace orv::serial
