// The Win32 port's rules that need no Windows: run here so that a wrong
// mapping shows up before anyone plugs an adapter into a Windows machine.
#include "serial/PortWin32.h"

#include <gtest/gtest.h>

namespace orv::serial::win32 {
namespace {

TEST(PortWin32Rules, ErrorsMeanWhatThePhaseMakesThem) {
  struct Row {
    const char* legend;
    std::uint32_t err;
    Phase phase;
    Error code;
  };
  const Row rows[] = {
      {"held by another program", code::kAccessDenied, Phase::Opening, Error::Busy},
      {"adapter pulled out, access denied", code::kAccessDenied, Phase::Open, Error::Closed},
      {"no such port", code::kFileNotFound, Phase::Opening, Error::NotFound},
      {"adapter pulled out, file not found", code::kFileNotFound, Phase::Open, Error::Closed},
      {"adapter pulled out, bad command", code::kBadCommand, Phase::Open, Error::Closed},
      {"adapter pulled out, operation aborted", code::kOperationAborted, Phase::Open, Error::Closed},
      {"bad command while opening", code::kBadCommand, Phase::Opening, Error::Io},
      {"a name that is no path", code::kInvalidName, Phase::Opening, Error::NotFound},
      {"sharing violation", code::kSharingViolation, Phase::Opening, Error::Busy},
      {"a device with no comm calls", code::kInvalidFunction, Phase::Opening, Error::NotSerial},
      {"settings the driver refuses", code::kInvalidParameter, Phase::Open, Error::Config},
      {"write time-out", code::kSemTimeout, Phase::Open, Error::Timeout},
      {"handle already closed", code::kInvalidHandle, Phase::Open, Error::Closed},
      {"an error the table does not know", 9999, Phase::Open, Error::Io},
      {"no error", 0, Phase::Opening, Error::None},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ErrorFromWinError(row.err, row.phase), row.code)
        << row.legend << ": error " << row.err << (row.phase == Phase::Open ? " on an open port" : " opening");
  }
}

TEST(PortWin32Rules, TimeoutsBecomeCommTimeouts) {
  Timeouts atOnceWithLeftovers = Timeouts::Connection();
  atOnceWithLeftovers.readMultiplierMs = 5;
  atOnceWithLeftovers.readConstantMs = 50;
  struct Row {
    const char* legend;
    Timeouts timeouts;
    CommTimeoutValues comm;
  };
  const Row rows[] = {
      {"connection: reads never wait", Timeouts::Connection(), {kMaxDword, 0, 0, 10, 1000}},
      {"OCD link: 100 ms + 1 ms a byte", Timeouts::Ocd(), {0, 1, 100, 1, 100}},
      // Interval MAXDWORD with a total time-out would be "wait for the
      // first byte", which is not what returning at once means.
      {"returning at once drops read totals", atOnceWithLeftovers, {kMaxDword, 0, 0, 10, 1000}},
  };
  for (const Row& row : rows) {
    const CommTimeoutValues c = CommTimeoutsOf(row.timeouts);
    EXPECT_EQ(c.readInterval, row.comm.readInterval) << row.legend;
    EXPECT_EQ(c.readMultiplier, row.comm.readMultiplier) << row.legend;
    EXPECT_EQ(c.readConstant, row.comm.readConstant) << row.legend;
    EXPECT_EQ(c.writeMultiplier, row.comm.writeMultiplier) << row.legend;
    EXPECT_EQ(c.writeConstant, row.comm.writeConstant) << row.legend;
  }
}

TEST(PortWin32Rules, WaitSleepsForTheMissingBytesWireTime) {
  struct Row {
    const char* legend;
    int missing;
    int baud;
    int leftMs;
    int sleepMs;
  };
  const Row rows[] = {
      {"a block at 9600 is cut to the time left", 300, 9600, 100, 100},
      {"a block at 115200 (26.05 ms)", 300, 115200, 100, 27},
      {"a six-byte answer at 57600 (1.04 ms)", 6, 57600, 1000, 2},
      {"one byte at the fastest rate still sleeps", 1, 230400, 100, 1},
      {"unknown rate counts as the fastest", 300, 0, 1000, 14},
      {"nothing missing", 0, 9600, 100, 1},
      {"never past the time left", 300, 2400, 7, 7},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(WaitSleepMs(row.missing, row.baud, row.leftMs), row.sleepMs)
        << row.legend << ": " << row.missing << " bytes at " << row.baud << ", " << row.leftMs << " ms left";
  }
}

}  // namespace
}  // namespace orv::serial::win32
