#include "sim/PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sim/Wire.h"

namespace orv::sim {

namespace {

struct RateRule {
  speed_t speed;
  int rate;
};

constexpr RateRule kRates[] = {
    {B50, 50},         {B75, 75},         {B110, 110},         {B134, 134},
    {B150, 150},       {B200, 200},       {B300, 300},         {B600, 600},
    {B1200, 1200},     {B1800, 1800},     {B2400, 2400},       {B4800, 4800},
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},     {B57600, 57600},
    {B115200, 115200}, {B230400, 230400}, {B460800, 460800},   {B500000, 500000},
    {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000}, {B1152000, 1152000},
    {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
    {B3500000, 3500000}, {B4000000, 4000000},
};

// Longest sleep of the service thread: it bounds how late a change of the
// PC's line rate is noticed by the pacing and how long Stop() can take.
constexpr int kMaxWaitMs = 20;
// While no PC has the slave open, the master reports POLLHUP at once on
// every poll; the thread then looks again at this interval.
constexpr int kAbsentPollMs = 10;
constexpr size_t kChunk = 4096;
constexpr int64_t kNsPerMs = 1000000;
// Paced, the unit is asked for more once the line holds less than this,
// and for about twice this much.
constexpr int64_t kLookaheadNs = 2 * kNsPerMs;
// Never fewer bytes than this a time: a real UART's transmit FIFO holds more.
constexpr int64_t kMinPull = 8;
// Bytes on the line are handed over in batches at most this late; the last
// one of a burst (the end of an answer, which the far end waits for) always
// on time. A debugger's answer (21 bytes, 3.6 ms at 57600) then wakes the
// PC once, not once for every few bytes.
constexpr int64_t kBatchNs = 4 * kNsPerMs;

std::string SystemError(const char* call, const std::string& what) {
  return std::string(call) + (what.empty() ? "" : " " + what) + ": " + std::strerror(errno);
}

int64_t MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int LineRateOf(unsigned int speed) {
  for (const RateRule& r : kRates) {
    if (r.speed == speed) return r.rate;
  }
  return 0;
}

unsigned int SpeedOf(int rate) {
  for (const RateRule& r : kRates) {
    if (r.rate == rate) return r.speed;
  }
  return 0;
}

namespace {

UnitOptions StreamPacedAs(UnitOptions unit, bool pacing) {
  unit.pacedStream = pacing;
  return unit;
}

}  // namespace

PtyHost::PtyHost(UnitOptions unit, HostOptions host)
    : options_(std::move(host)), unit_(std::make_unique<Unit>(StreamPacedAs(std::move(unit), options_.pacing))) {}

PtyHost::~PtyHost() { Stop(); }

bool PtyHost::Start(std::string& error) {
  if (Running()) return true;
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    error = SystemError("posix_openpt", "");
    return false;
  }
  char name[256];
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
    error = SystemError("grantpt/unlockpt/ptsname_r", "");
    CloseAll();
    return false;
  }
  slavePath_ = name;
  const int flags = fcntl(master_, F_GETFL);
  if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
    error = SystemError("fcntl O_NONBLOCK", slavePath_);
    CloseAll();
    return false;
  }
  // A fresh slave echoes and edits lines; a PC that has not yet set its
  // port up must not have the unit's own bytes echoed back to it. Raw at
  // the unit's rate, as a plain serial port would come up.
  termios tio{};
  if (tcgetattr(master_, &tio) != 0) {
    error = SystemError("tcgetattr", slavePath_);
    CloseAll();
    return false;
  }
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  const int rate = unit_->options().unitBaud;
  if (SpeedOf(rate) != 0) cfsetspeed(&tio, SpeedOf(rate));
  if (tcsetattr(master_, TCSANOW, &tio) != 0) {
    error = SystemError("tcsetattr", slavePath_);
    CloseAll();
    return false;
  }
  // A master whose slave was never opened looks connected and queues what
  // is written for the first opener. Opening and closing the slave once
  // puts it into the hung-up state, so the thread waits for the PC.
  const int slave = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (slave < 0) {
    error = SystemError("open", slavePath_);
    CloseAll();
    return false;
  }
  close(slave);
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = SystemError("pipe2", "");
    CloseAll();
    return false;
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  if (!MakeLink(error)) {
    CloseAll();
    return false;
  }
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void PtyHost::Stop() {
  if (thread_.joinable()) {
    stop_ = true;
    const char wake = 1;
    if (write(wakeWrite_, &wake, 1) < 0) {
      // The pipe is full, so the thread has been woken already.
    }
    thread_.join();
  }
  RemoveLink();
  CloseAll();
}

void PtyHost::CloseAll() {
  for (int* fd : {&master_, &wakeRead_, &wakeWrite_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  connected_ = false;
}

bool PtyHost::MakeLink(std::string& error) {
  const std::string& path = options_.linkPath;
  if (path.empty()) return true;
  struct stat st{};
  if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    errno = EEXIST;
    error = SystemError("symlink", path + " (exists and is not a symbolic link)");
    return false;
  }
  // Made beside the target and renamed over it, so an old link from an
  // earlier run is replaced in one step.
  const std::string temporary = path + ".new" + std::to_string(getpid());
  unlink(temporary.c_str());
  if (symlink(slavePath_.c_str(), temporary.c_str()) != 0) {
    error = SystemError("symlink", temporary);
    return false;
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    error = SystemError("rename", temporary + " " + path);
    unlink(temporary.c_str());
    return false;
  }
  linked_ = true;
  return true;
}

void PtyHost::RemoveLink() {
  if (!linked_) return;
  linked_ = false;
  // Only our own link: another simulator may have taken the name since.
  char target[256];
  const ssize_t n = readlink(options_.linkPath.c_str(), target, sizeof target - 1);
  if (n >= 0 && std::string(target, static_cast<size_t>(n)) == slavePath_) {
    unlink(options_.linkPath.c_str());
  }
}

// The line between the PC and the unit. With pacing, each direction takes
// its wire time (Wire): the unit hears a byte of the PC's only once its 10
// bits have gone by, and the PC reads a byte of the unit's only once its
// own have. On the FLASH cable the PC's bytes and their echo are one signal
// on one wire: the unit hears them at once, and the wire time is taken on
// the way back, where the echo and the debugger's answer behind it share
// the line as they do on the real cable.
void PtyHost::Run() {
  // Wire times at 57600 are fractions of a millisecond: the kernel's usual
  // 50 us of slack on every wake-up would make the line slow.
  prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
  serviceTid_ = static_cast<int>(gettid());
  const int64_t startNs = MonotonicNs();
  const bool flashCable = WithUnit([](Unit& unit) { return unit.options().cable == Cable::Flash; });
  const bool paceIn = options_.pacing && !flashCable;
  Wire toUnit;
  Wire toPc;
  std::vector<uint8_t> buffer(kChunk);
  std::vector<uint8_t> out;  // due for the PC, not yet taken by the terminal
  size_t outBegin = 0;
  bool connected = false;
  const int64_t hangUpAfter = unit_->options().faults.hangUpAfter;
  int64_t handedOver = 0;  // taken from the unit for the PC

  while (!stop_) {
    pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (poll(fds, 1, 0) < 0 && errno != EINTR) break;
    if (fds[0].revents & POLLHUP) {
      if (connected) {
        connected = false;
        connected_ = false;
        out.clear();
        outBegin = 0;
        toUnit.Clear();
        toPc.Clear();
        std::lock_guard<std::mutex> lock(mutex_);
        unit_->Hangup();
      }
      poll(&fds[1], 1, kAbsentPollMs);
      continue;
    }
    if (!connected) {
      connected = true;
      connected_ = true;
    }

    termios tio{};
    const int rate = tcgetattr(master_, &tio) == 0 ? LineRateOf(cfgetospeed(&tio)) : 0;
    toUnit.SetBaud(rate);
    toPc.SetBaud(rate);
    const int64_t nowNs = MonotonicNs() - startNs;
    const int64_t nowMs = nowNs / kNsPerMs;

    // Input first: a command that stops the stream must take effect before
    // another byte of the stream goes out.
    for (;;) {
      const ssize_t n = read(master_, buffer.data(), buffer.size());
      if (n <= 0) break;  // EAGAIN: nothing more; EIO: the PC has just gone
      if (paceIn) {
        toUnit.Push(buffer.data(), static_cast<size_t>(n), nowNs);
      } else {
        Deliver(buffer.data(), static_cast<size_t>(n), rate, nowMs);
      }
    }
    for (int64_t arrivedNs = 0;;) {
      const size_t n = toUnit.Pop(nowNs, buffer.data(), buffer.size(), arrivedNs);
      if (n == 0) break;
      Deliver(buffer.data(), n, rate, arrivedNs / kNsPerMs);
    }

    // What the unit has for the PC. Paced, it is asked only while the line
    // is about to run dry, so that the stream stays in the unit, where a
    // command that stops it stops it, instead of queueing on the line; and
    // never while the terminal is full, as a real unit's bytes are lost on a
    // PC that does not read. The hang-up fault: no more than its count ever
    // leaves the unit.
    const int64_t allowed = hangUpAfter >= 0 ? hangUpAfter - handedOver : kChunk;
    if (!options_.pacing && outBegin == out.size()) {
      out.resize(static_cast<size_t>(std::clamp<int64_t>(allowed, 0, kChunk)));
      std::lock_guard<std::mutex> lock(mutex_);
      out.resize(unit_->Transmit(out.data(), out.size(), rate, nowMs));
      outBegin = 0;
      handedOver += static_cast<int64_t>(out.size());
    } else if (options_.pacing && rate > 0 && outBegin == out.size() && toPc.BacklogNs(nowNs) < kLookaheadNs) {
      const int64_t room = std::min(allowed, std::clamp<int64_t>(2 * kLookaheadNs * rate / 10 / Wire::kNsPerSecond,
                                                                  kMinPull, kChunk));
      size_t n = 0;
      if (room > 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        n = unit_->Transmit(buffer.data(), static_cast<size_t>(room), rate, nowMs);
      }
      toPc.Push(buffer.data(), n, nowNs);
      handedOver += static_cast<int64_t>(n);
    }
    if (options_.pacing) {
      if (outBegin == out.size()) {
        out.clear();
        outBegin = 0;
      }
      int64_t arrivedNs = 0;
      const size_t have = out.size();
      out.resize(have + kChunk);
      out.resize(have + toPc.Pop(nowNs, out.data() + have, kChunk, arrivedNs));
    }
    bool blocked = false;
    if (outBegin < out.size()) {
      const ssize_t n = write(master_, out.data() + outBegin, out.size() - outBegin);
      if (n > 0) {
        outBegin += static_cast<size_t>(n);
        bytesToPc_ += n;
      }
      blocked = outBegin < out.size();
    }
    if (hangUpAfter >= 0 && bytesToPc_ >= hangUpAfter) {
      // The fault: closing the master hangs the PC's end up for good.
      close(master_);
      master_ = -1;
      break;
    }

    // Sleep until the line next has something to hand over, the unit next
    // has a byte, input arrives, or Stop().
    int64_t waitNs = kMaxWaitMs * kNsPerMs;
    if (!blocked) {
      int64_t unitMs = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        unitMs = unit_->MsUntilReady(nowMs);
      }
      const auto sooner = [&](int64_t atNs) {
        if (atNs >= 0) waitNs = std::min(waitNs, std::max<int64_t>(0, atNs - nowNs));
      };
      sooner(toUnit.WakeNs(kBatchNs));
      sooner(toPc.WakeNs(kBatchNs));
      if (unitMs >= 0) {
        const int64_t readyNs = nowNs + unitMs * kNsPerMs;
        // Paced, the unit is not asked again before the line runs low.
        sooner(options_.pacing ? std::max(readyNs, nowNs + toPc.BacklogNs(nowNs) - kLookaheadNs) : readyNs);
      }
    }
    fds[0].events = static_cast<short>(POLLIN | (blocked ? POLLOUT : 0));
    const timespec wait{static_cast<time_t>(waitNs / Wire::kNsPerSecond), static_cast<long>(waitNs % Wire::kNsPerSecond)};
    if (ppoll(fds, 2, &wait, nullptr) < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      char drain[16];
      while (read(wakeRead_, drain, sizeof drain) > 0) {
      }
    }
  }
  connected_ = false;
}

void PtyHost::Deliver(const uint8_t* data, size_t size, int rate, int64_t atMs) {
  bytesFromPc_ += static_cast<int64_t>(size);
  std::lock_guard<std::mutex> lock(mutex_);
  unit_->Receive(data, size, rate, atMs);
}

}  // namespace orv::sim
