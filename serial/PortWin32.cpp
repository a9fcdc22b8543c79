// The port over the Win32 communications calls, opened for plain (not
// overlapped) I/O. Every wait is bounded: reads and writes by COMMTIMEOUTS,
// the receive wait by its deadline and a cancel event it sleeps on.
//
// Plain I/O on one handle is serialised by the system: while one thread's
// ReadFile waits, the other thread's calls on the port wait behind it. Only
// reads under the OCD link's time-outs wait, never longer than those, so
// the receive thread's queue counts are held up briefly, never stuck.
#include "serial/PortWin32.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <mutex>
#include <string>

#include "common/Text.h"
#include "serial/PortPlatform.h"

namespace orv::serial {
namespace win32 {
namespace {

static_assert(code::kInvalidFunction == ERROR_INVALID_FUNCTION);
static_assert(code::kFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(code::kPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(code::kAccessDenied == ERROR_ACCESS_DENIED);
static_assert(code::kInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(code::kNotReady == ERROR_NOT_READY);
static_assert(code::kBadCommand == ERROR_BAD_COMMAND);
static_assert(code::kSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(code::kNotSupported == ERROR_NOT_SUPPORTED);
static_assert(code::kDevNotExist == ERROR_DEV_NOT_EXIST);
static_assert(code::kInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(code::kSemTimeout == ERROR_SEM_TIMEOUT);
static_assert(code::kInvalidName == ERROR_INVALID_NAME);
static_assert(code::kBusy == ERROR_BUSY);
static_assert(code::kWaitTimeout == WAIT_TIMEOUT);
static_assert(code::kOperationAborted == ERROR_OPERATION_ABORTED);
static_assert(code::kDeviceNotConnected == ERROR_DEVICE_NOT_CONNECTED);
static_assert(code::kCancelled == ERROR_CANCELLED);
static_assert(code::kDeviceRemoved == ERROR_DEVICE_REMOVED);
static_assert(kMaxDword == MAXDWORD);
// The DCB the unit's tools exchange with GetCommState and SetCommState.
static_assert(sizeof(DCB) == 28);

}  // namespace
}  // namespace win32

std::string SystemErrorText(int err) {
  char buffer[512] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 static_cast<DWORD>(err), 0, buffer, sizeof buffer, nullptr);
  if (n == 0) return "unknown error";
  // The system's texts end in ".\r\n"; a log line carries them without.
  std::string text(buffer, n);
  while (!text.empty() && std::string("\r\n .").find(text.back()) != std::string::npos) text.pop_back();
  return text;
}

std::string DefaultDevicePath(int comNumber) { return Format("\\\\.\\COM%d", comNumber); }

namespace {

using win32::Phase;
using Clock = std::chrono::steady_clock;

// Owns one handle. CreateFile fails with INVALID_HANDLE_VALUE and
// CreateEvent with null; both are held as null, "none". The handle is
// atomic so that one thread may read it while the owner holds it.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(IsHandle(h) ? h : nullptr) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&&) = delete;
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return h_.load(); }
  bool Valid() const { return Get() != nullptr; }
  HANDLE Release() { return h_.exchange(nullptr); }
  // Closes the handle if one is held; 0, or the error of CloseHandle.
  // A second call closes nothing and returns 0.
  DWORD Close() {
    const HANDLE h = h_.exchange(nullptr);
    if (h == nullptr) return 0;
    return CloseHandle(h) ? 0 : GetLastError();
  }

 private:
  static bool IsHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  std::atomic<HANDLE> h_{nullptr};
};

Status SystemStatus(DWORD err, const char* call, const std::string& path, Phase phase) {
  Status s;
  s.code = win32::ErrorFromWinError(err, phase);
  s.sysError = static_cast<int>(err);
  s.call = call;
  s.path = path;
  return s;
}

// Milliseconds left until `deadline`, rounded up so that a wait never ends
// before it; 0 once it has passed.
int MsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>(std::min<long long>((left.count() + 999) / 1000, INT_MAX));
}

Clock::time_point DeadlineAfter(long long ms) {
  return Clock::now() + std::chrono::milliseconds(std::max<long long>(ms, 0));
}

COMMTIMEOUTS ToCommTimeouts(const Timeouts& t) {
  const win32::CommTimeoutValues v = win32::CommTimeoutsOf(t);
  COMMTIMEOUTS c{};
  c.ReadIntervalTimeout = v.readInterval;
  c.ReadTotalTimeoutMultiplier = v.readMultiplier;
  c.ReadTotalTimeoutConstant = v.readConstant;
  c.WriteTotalTimeoutMultiplier = v.writeMultiplier;
  c.WriteTotalTimeoutConstant = v.writeConstant;
  return c;
}

// 8 data bits, no parity, one stop bit, no flow control of either kind, DTR
// held off, RTS left to SetRts. Every other member keeps what was read.
// fBinary is cleared as the unit's tools always cleared it: the system runs
// every port in binary mode whatever the flag says.
void ApplyLineSettings(DCB& dcb, int baud) {
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = 0;
  dcb.fParity = 0;
  dcb.fOutxCtsFlow = 0;
  dcb.fOutxDsrFlow = 0;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fDsrSensitivity = 0;
  dcb.fTXContinueOnXoff = 1;
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fErrorChar = 0;
  dcb.fNull = 0;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.fAbortOnError = 0;
}

class Win32Port final : public Port {
 public:
  Win32Port(std::string path, UniqueHandle port, UniqueHandle cancel, int baud)
      : path_(std::move(path)), port_(std::move(port)), cancel_(std::move(cancel)), baud_(baud) {}
  ~Win32Port() override { Close(); }

  const std::string& Path() const override { return path_; }
  bool IsOpen() const override { return port_.Valid(); }

  Status Configure(int baud) override {
    if (!IsSupportedBaudRate(baud)) return Fail(ERROR_INVALID_PARAMETER, "SetCommState");
    DCB dcb;
    Status s = GetState(dcb);
    if (!s.ok()) return s;
    ApplyLineSettings(dcb, baud);
    s = SetState(dcb);
    if (!s.ok()) return s;
    baud_ = baud;
    return Status{};
  }

  Status SetBaudRate(int baud) override {
    if (!IsSupportedBaudRate(baud)) return Fail(ERROR_INVALID_PARAMETER, "SetCommState");
    DCB dcb;
    Status s = GetState(dcb);
    if (!s.ok()) return s;
    dcb.BaudRate = static_cast<DWORD>(baud);
    s = SetState(dcb);
    if (!s.ok()) return s;
    baud_ = baud;
    return Status{};
  }

  int BaudRate() const override { return baud_.load(); }

  Status SetTimeouts(const Timeouts& t) override {
    if (!t.IsValid()) return Fail(ERROR_INVALID_PARAMETER, "SetCommTimeouts");
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "SetCommTimeouts");
    std::lock_guard<std::mutex> lock(timeoutsLock_);
    COMMTIMEOUTS c = ToCommTimeouts(t);
    if (!SetCommTimeouts(h, &c)) return Fail(GetLastError(), "SetCommTimeouts");
    timeouts_ = t;
    return Status{};
  }

  Timeouts GetTimeouts() const override {
    std::lock_guard<std::mutex> lock(timeoutsLock_);
    return timeouts_;
  }

  Status SetRts(bool on) override {
    return Escape(on ? SETRTS : CLRRTS, on ? "EscapeCommFunction SETRTS" : "EscapeCommFunction CLRRTS");
  }

  Status SetBreak(bool on) override {
    return Escape(on ? SETBREAK : CLRBREAK, on ? "EscapeCommFunction SETBREAK" : "EscapeCommFunction CLRBREAK");
  }

  Status SetEventMask(unsigned mask) override {
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "SetCommMask");
    if (!SetCommMask(h, mask)) return Fail(GetLastError(), "SetCommMask");
    return Status{};
  }

  Status QueueCounts(int& inQueue, int& outQueue) override {
    inQueue = 0;
    outQueue = 0;
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "ClearCommError");
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(h, &errors, &stat)) return Fail(GetLastError(), "ClearCommError");
    inQueue = static_cast<int>(std::min<DWORD>(stat.cbInQue, INT_MAX));
    outQueue = static_cast<int>(std::min<DWORD>(stat.cbOutQue, INT_MAX));
    return Status{};
  }

  // With the read time-outs on the device, ReadFile itself keeps the
  // bound: it returns at once with what is queued, or with fewer bytes than
  // asked for when the total time-out ran out. A device that has gone may
  // answer a read with no bytes and no error (Wine does, for a pseudo-
  // terminal whose far end closed), so a short read asks for the device's
  // state: that fails once it has gone, and the read says Closed.
  Status Read(void* data, int n, int& got) override {
    got = 0;
    if (n <= 0) return Status{};
    if (data == nullptr) return Fail(ERROR_INVALID_PARAMETER, "ReadFile");
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "ReadFile");
    const bool atOnce = GetTimeouts().readReturnsAtOnce;
    DWORD count = 0;
    const BOOL done = ReadFile(h, data, static_cast<DWORD>(n), &count, nullptr);
    const DWORD err = done ? 0 : GetLastError();
    got = static_cast<int>(count);
    if (!done) return Fail(err, "ReadFile");
    if (got == n) return Status{};
    int queued = 0;
    int unsent = 0;
    const Status there = QueueCounts(queued, unsent);
    if (!there.ok()) return there;
    return atOnce ? Status{} : Plain(Error::Timeout, "ReadFile");
  }

  Status Write(const void* data, int n, int& written) override {
    written = 0;
    if (n <= 0) return Status{};
    if (data == nullptr) return Fail(ERROR_INVALID_PARAMETER, "WriteFile");
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "WriteFile");
    DWORD count = 0;
    const BOOL done = WriteFile(h, data, static_cast<DWORD>(n), &count, nullptr);
    const DWORD err = done ? 0 : GetLastError();
    written = static_cast<int>(count);
    if (!done) return Fail(err, "WriteFile");
    if (written < n) return Plain(Error::Timeout, "WriteFile");
    return Status{};
  }

  // Sleeps on the cancel event for as long as the missing bytes need on
  // the wire, then counts again: a handful of wake-ups per block, none of
  // them a spin. A pulled-out adapter makes ClearCommError fail, which the
  // error mapping turns into Closed.
  Status WaitForInput(int minBytes, int timeoutMs) override {
    if (!port_.Valid()) return Plain(Error::Closed, "wait");
    const Clock::time_point deadline = DeadlineAfter(timeoutMs);
    DWORD sleepMs = 0;
    for (;;) {
      const DWORD woken = WaitForSingleObject(cancel_.Get(), sleepMs);
      if (woken == WAIT_OBJECT_0) return Plain(Error::Cancelled, "wait");
      if (woken == WAIT_FAILED) return Fail(GetLastError(), "WaitForSingleObject");
      int queued = 0;
      int unsent = 0;
      const Status s = QueueCounts(queued, unsent);
      if (!s.ok()) return s;
      if (queued >= minBytes) return Status{};
      const int left = MsUntil(deadline);
      if (left == 0) return Plain(Error::Timeout, "wait");
      sleepMs = static_cast<DWORD>(win32::WaitSleepMs(minBytes - queued, baud_.load(), left));
    }
  }

  // The event is manual-reset: it stays set, and every later wait returns
  // Cancelled, until ClearCancel.
  void Cancel() override { SetEvent(cancel_.Get()); }
  void ClearCancel() override { ResetEvent(cancel_.Get()); }

  Status Close() override {
    const DWORD err = port_.Close();
    return err == 0 ? Status{} : Fail(err, "CloseHandle");
  }

 private:
  Status Fail(DWORD err, const char* call) const { return SystemStatus(err, call, path_, Phase::Open); }

  Status Plain(Error code, const char* call) const {
    Status s;
    s.code = code;
    s.call = call;
    s.path = path_;
    return s;
  }

  Status Escape(DWORD function, const char* call) {
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, call);
    if (!EscapeCommFunction(h, function)) return Fail(GetLastError(), call);
    return Status{};
  }

  Status GetState(DCB& dcb) {
    dcb = DCB{};
    dcb.DCBlength = sizeof(DCB);
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "GetCommState");
    if (!GetCommState(h, &dcb)) return Fail(GetLastError(), "GetCommState");
    return Status{};
  }

  Status SetState(DCB& dcb) {
    const HANDLE h = port_.Get();
    if (h == nullptr) return Plain(Error::Closed, "SetCommState");
    if (!SetCommState(h, &dcb)) return Fail(GetLastError(), "SetCommState");
    return Status{};
  }

  const std::string path_;
  UniqueHandle port_;
  UniqueHandle cancel_;
  std::atomic<int> baud_;
  mutable std::mutex timeoutsLock_;
  Timeouts timeouts_ = Timeouts::Connection();
};

Status OpenFailure(DWORD err, const char* call, const std::string& path) {
  return SystemStatus(err, call, path, Phase::Opening);
}

}  // namespace

std::unique_ptr<Port> OpenPort(const std::string& path, Status& status) {
  UniqueHandle cancel(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!cancel.Valid()) {
    status = OpenFailure(GetLastError(), "CreateEventA", path);
    return nullptr;
  }
  // Share mode 0 is the exclusive open: while we hold the port, every other
  // opener, this program included, is refused.
  UniqueHandle port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!port.Valid()) {
    status = OpenFailure(GetLastError(), "CreateFileA", path);
    return nullptr;
  }
  // A disk file or a pipe opens as well as a port does; only a character
  // device can be one, and it must answer GetCommState.
  if (GetFileType(port.Get()) != FILE_TYPE_CHAR) {
    status = OpenFailure(0, "GetFileType", path);
    status.code = Error::NotSerial;  // the system saw no error, we did
    return nullptr;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!GetCommState(port.Get(), &dcb)) {
    status = OpenFailure(GetLastError(), "GetCommState", path);
    return nullptr;
  }
  // The device keeps the time-outs the last user left; a port starts with
  // the connection's.
  COMMTIMEOUTS timeouts = ToCommTimeouts(Timeouts::Connection());
  if (!SetCommTimeouts(port.Get(), &timeouts)) {
    status = OpenFailure(GetLastError(), "SetCommTimeouts", path);
    return nullptr;
  }
  const int baud = IsSupportedBaudRate(static_cast<int>(dcb.BaudRate)) ? static_cast<int>(dcb.BaudRate) : 0;
  status = Status{};
  return std::make_unique<Win32Port>(path, std::move(port), std::move(cancel), baud);
}

}  // namespace orv::serial
