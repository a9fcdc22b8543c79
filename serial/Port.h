#pragma once
// Our own small serial port layer, shaped after what the connection, the
// receive thread, the command writer and the OCD link need: line settings,
// per-call total time-outs, queue counts, RTS and break. Two threads may use
// one open port at once (the receive thread reads blocks while the window
// thread writes commands and reads short replies); closing is the owner's
// job once the other user has let go.
#include <memory>
#include <string>

namespace orv::serial {

// One small set of error codes; the OS's own errno and text ride along.
enum class Error {
  None = 0,
  NotFound,    // no such device
  Busy,        // another program holds it
  Access,      // permission denied
  NotSerial,   // the path is not a terminal device
  Config,      // line settings or time-outs refused
  Io,          // read, write or ioctl failed
  Timeout,     // the call's total time-out ran out
  Closed,      // the port is closed, or the device went away
  Cancelled,   // a wait was cut short by Cancel()
};

struct Status {
  Error code = Error::None;
  int sysError = 0;    // errno (GetLastError() on Windows) of the failing call, 0 when none
  std::string call;    // the call that failed, for log lines ("open", "tcsetattr")
  std::string path;    // the device it failed on
  bool ok() const { return code == Error::None; }
  std::string Text() const;  // "Busy: open /dev/ttyUSB0: Resource temporarily unavailable"
  // The number a caller reports for a failure, as the unit's tools did: the
  // system's own error number, else ETIMEDOUT for a time-out and EIO for the
  // rest; 0 when nothing failed.
  int ErrorNumber() const;
};

const char* ErrorName(Error e);

// Event masks (SetCommMask on Windows): a received character, an empty
// transmit queue.
constexpr unsigned kEvRxChar = 0x0001;
constexpr unsigned kEvTxEmpty = 0x0004;

// The rates the line can be set to: 2400 to 230400 bit/s, the unit's list.
bool IsSupportedBaudRate(int baud);

// Time-outs in the sense the unit's protocol was designed around
// (COMMTIMEOUTS): a read of n bytes gives up after
// readConstantMs + n * readMultiplierMs; with readReturnsAtOnce a read
// returns at once with whatever is queued. Writes likewise.
struct Timeouts {
  bool readReturnsAtOnce = true;
  int readMultiplierMs = 0;
  int readConstantMs = 0;
  int writeMultiplierMs = 10;
  int writeConstantMs = 1000;

  // The connection's: reads never wait, a write may take 1000 ms + 10 ms/byte.
  static Timeouts Connection();
  // The OCD link's: reads and writes of n bytes give up after 100 + n ms.
  static Timeouts Ocd();

  // Total bounds for a read or write of n bytes, in milliseconds.
  long long ReadTotalMs(int n) const;
  long long WriteTotalMs(int n) const;
  // No negative field, and every wait bounded: a read that does not return
  // at once and a write both need a non-zero constant or multiplier (the
  // all-zero "wait for ever" of COMMTIMEOUTS is refused with Error::Config).
  bool IsValid() const;
};

class Port {
 public:
  virtual ~Port() = default;
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  virtual const std::string& Path() const = 0;
  virtual bool IsOpen() const = 0;

  // 8 data bits, no parity, one stop bit, no flow control, DTR off, at `baud`.
  virtual Status Configure(int baud) = 0;
  // Changes only the rate, keeping the rest of the line settings.
  virtual Status SetBaudRate(int baud) = 0;
  // The rate last set, or the one the device had when opened (0 when that
  // was none of the supported rates).
  virtual int BaudRate() const = 0;
  // Error::Config for time-outs that are not IsValid(). A port starts with
  // Timeouts::Connection().
  virtual Status SetTimeouts(const Timeouts& t) = 0;
  virtual Timeouts GetTimeouts() const = 0;
  virtual Status SetRts(bool on) = 0;
  virtual Status SetBreak(bool on) = 0;
  // SetCommMask on Windows; POSIX has no counterpart: accepted and ignored.
  virtual Status SetEventMask(unsigned mask) = 0;

  // Bytes waiting to be read and bytes not yet sent. A pseudo-terminal has
  // no transmit buffer of its own: its outQueue is always 0.
  virtual Status QueueCounts(int& inQueue, int& outQueue) = 0;

  // Reads up to n bytes under the read time-outs; `got` says how many came.
  // With readReturnsAtOnce it takes what is queued, and 0 bytes is no error.
  // Otherwise it waits for all n and gives Error::Timeout, with `got` < n,
  // when the bound runs out. A device that went away gives Error::Closed.
  virtual Status Read(void* data, int n, int& got) = 0;
  // Writes n bytes under the write time-outs; `written` says how many went
  // (Error::Timeout with fewer when the bound ran out).
  virtual Status Write(const void* data, int n, int& written) = 0;

  // Waits up to timeoutMs until at least minBytes are queued, the device
  // goes away (Error::Closed) or Cancel() is called (Error::Cancelled).
  // Returns Error::Timeout when the time ran out first. Never spins: it
  // sleeps in the kernel for the time the missing bytes need on the wire.
  virtual Status WaitForInput(int minBytes, int timeoutMs) = 0;
  // Wakes a WaitForInput in another thread; later waits return Cancelled
  // until ClearCancel().
  // Cancel is async-signal-safe and may be called from any thread while
  // the port object exists, open or closed.
  virtual void Cancel() = 0;
  virtual void ClearCancel() = 0;

  // Closes the device once; later calls do nothing and succeed. The
  // destructor closes too.
  virtual Status Close() = 0;

 protected:
  Port() = default;
};

// Opens `path` for exclusive use. A second opener, root included, is refused
// with Error::Busy, and so is this opener when another program already
// holds the device open (as far as the system lets us see).
std::unique_ptr<Port> OpenPort(const std::string& path, Status& status);

}  // namespace orv::serial
