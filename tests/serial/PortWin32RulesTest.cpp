// The Win32 port's rules that need no Windows: run here so that a wrong
// mapping shows up before anyone plugs an adapter into a Windows machine.
#include "serial/PortWin32.h"

#include <gtest/gtest.h>

namespace orv::serial::win32 {
namespace {

TEST(PortWin32Rules, ErrorsMeanWhatThePhaseMakesThem) {
  const Phase opening = Phase::Opening, open = Phase::Open;
  const struct {
    const char* legend;
    std::uint32_t err;
    Phase phase;
    Error code;
  } rows[] = {
      {"held by another program", code::kAccessDenied, opening, Error::Busy},
      {"pulled out, access denied", code::kAccessDenied, open, Error::Closed},
      {"no such port", code::kFileNotFound, opening, Error::NotFound},
      {"pulled out, file not found", code::kFileNotFound, open, Error::Closed},
      {"pulled out, bad command", code::kBadCommand, open, Error::Closed},
      {"bad command opening", code::kBadCommand, opening, Error::Io},
      {"settings refused", code::kInvalidParameter, open, Error::Config},
      {"unknown error", 9999, open, Error::Io},
      {"no error", 0, opening, Error::None},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorFromWinError(row.err, row.phase), row.code)
        << row.legend << ": error " << row.err << (row.phase == open ? " on an open port" : " opening");
  }
}

TEST(PortWin32Rules, TimeoutsBecomeCommTimeouts) {
  Timeouts atOnceWithLeftovers = Timeouts::Connection();
  atOnceWithLeftovers.readMultiplierMs = 5;
  atOnceWithLeftovers.readConstantMs = 50;
  // Interval MAXDWORD with a total time-out would be "wait for the first
  // byte", which is not what returning at once means.
  const struct {
    const char* legend;
    Timeouts timeouts;
    CommTimeoutValues comm;
  } rows[] = {
      {"OCD link: 100 ms + 1 ms a byte", Timeouts::Ocd(), {0, 1, 100, 1, 100}},
      {"connection: reads never wait, whatever totals are left", atOnceWithLeftovers, {kMaxDword, 0, 0, 10, 1000}},
  };
  for (const auto& row : rows) {
    const CommTimeoutValues c = CommTimeoutsOf(row.timeouts), e = row.comm;
    EXPECT_TRUE(c.readInterval == e.readInterval && c.readMultiplier == e.readMultiplier &&
                c.readConstant == e.readConstant && c.writeMultiplier == e.writeMultiplier &&
                c.writeConstant == e.writeConstant)
        << row.legend << ": " << c.readInterval << " " << c.readMultiplier << " " << c.readConstant << " "
        << c.writeMultiplier << " " << c.writeConstant;
  }
}

TEST(PortWin32Rules, WaitSleepsForTheMissingBytesWireTime) {
  const struct {
    const char* legend;
    int missing, baud, leftMs, sleepMs;
  } rows[] = {
      {"a block at 9600 is cut to the time left", 300, 9600, 100, 100},
      {"a block at 115200 (26.05 ms)", 300, 115200, 100, 27},
      {"a six-byte answer at 57600 (1.04 ms)", 6, 57600, 1000, 2},
      {"unknown rate counts as the fastest", 300, 0, 1000, 14},
      {"nothing missing", 0, 9600, 100, 1},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WaitSleepMs(row.missing, row.baud, row.leftMs), row.sleepMs)
        << row.legend << ": " << row.missing << " bytes at " << row.baud << ", " << row.leftMs << " ms left";
  }
}

}  // namespace
}  // namespace orv::serial::win32
