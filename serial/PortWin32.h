#pragma once
// The pieces of the Win32 port that carry rules of their own: which
// GetLastError() value means which Error, how our Timeouts become
// COMMTIMEOUTS, and how long the receive wait sleeps. They need no Windows
// header, so they live here, header-only, where the tests of every platform
// reach them; PortWin32.cpp checks the numbers below against <windows.h>.
#include <algorithm>
#include <cstdint>

#include "serial/Drain.h"
#include "serial/Port.h"

namespace orv::serial::win32 {

// Whether the call failed while the port was being opened or on a port that
// is open: the same error can mean "held by another program" or "no such
// device" before and "the device went away" after.
enum class Phase { Opening, Open };

// The system error numbers the mapping knows, as <winerror.h> has them.
namespace code {
constexpr std::uint32_t kInvalidFunction = 1;
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kBadCommand = 22;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kDevNotExist = 55;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kSemTimeout = 121;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kBusy = 170;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kOperationAborted = 995;
constexpr std::uint32_t kDeviceNotConnected = 1167;
constexpr std::uint32_t kCancelled = 1223;
constexpr std::uint32_t kDeviceRemoved = 1617;
}  // namespace code

struct WinErrorRow {
  std::uint32_t err;
  Error opening;
  Error open;
};

// A COM port that another program holds refuses CreateFile with "access
// denied" (share mode 0 is an exclusive open), so before the port is open
// that means Busy. Once it is open, a USB adapter pulled out makes every
// call fail with "access denied", "bad command", "operation aborted" or
// "file not found", depending on the driver: the device went away.
inline constexpr WinErrorRow kWinErrorRows[] = {
    {code::kFileNotFound, Error::NotFound, Error::Closed},
    {code::kPathNotFound, Error::NotFound, Error::NotFound},
    {code::kInvalidName, Error::NotFound, Error::NotFound},
    {code::kDevNotExist, Error::NotFound, Error::Closed},
    {code::kNotReady, Error::NotFound, Error::Closed},
    {code::kDeviceNotConnected, Error::NotFound, Error::Closed},
    {code::kDeviceRemoved, Error::NotFound, Error::Closed},
    {code::kAccessDenied, Error::Busy, Error::Closed},
    {code::kBadCommand, Error::Io, Error::Closed},
    {code::kOperationAborted, Error::Io, Error::Closed},
    {code::kInvalidHandle, Error::Closed, Error::Closed},
    {code::kSharingViolation, Error::Busy, Error::Busy},
    {code::kBusy, Error::Busy, Error::Busy},
    {code::kInvalidFunction, Error::NotSerial, Error::NotSerial},
    {code::kNotSupported, Error::NotSerial, Error::Config},
    {code::kInvalidParameter, Error::Config, Error::Config},
    {code::kSemTimeout, Error::Timeout, Error::Timeout},
    {code::kWaitTimeout, Error::Timeout, Error::Timeout},
    {code::kCancelled, Error::Cancelled, Error::Cancelled},
};

// The one place where a GetLastError() value becomes an Error.
constexpr Error ErrorFromWinError(std::uint32_t err, Phase phase) {
  if (err == 0) return Error::None;
  for (const WinErrorRow& row : kWinErrorRows) {
    if (row.err == err) return phase == Phase::Opening ? row.opening : row.open;
  }
  return Error::Io;
}

// COMMTIMEOUTS, member for member.
struct CommTimeoutValues {
  std::uint32_t readInterval = 0;
  std::uint32_t readMultiplier = 0;
  std::uint32_t readConstant = 0;
  std::uint32_t writeMultiplier = 0;
  std::uint32_t writeConstant = 0;
};

constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

// A read that returns at once is COMMTIMEOUTS' "interval MAXDWORD, total 0":
// ReadFile takes what is queued and never waits. Otherwise there is no
// interval bound and the read gives up after constant + n * multiplier.
// `t` must be IsValid().
constexpr CommTimeoutValues CommTimeoutsOf(const Timeouts& t) {
  CommTimeoutValues c;
  if (t.readReturnsAtOnce) {
    c.readInterval = kMaxDword;
  } else {
    c.readMultiplier = static_cast<std::uint32_t>(t.readMultiplierMs);
    c.readConstant = static_cast<std::uint32_t>(t.readConstantMs);
  }
  c.writeMultiplier = static_cast<std::uint32_t>(t.writeMultiplierMs);
  c.writeConstant = static_cast<std::uint32_t>(t.writeConstantMs);
  return c;
}

using orv::serial::WaitSleepMs;

}  // namespace orv::serial::win32
