// The rules of the port that need no device: errno to Error, log text,
// time-out bounds, the rate table, the receive wait's sleep, descriptor
// ownership.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <unistd.h>

#include "serial/Port.h"
#include "serial/PortPosix.h"

namespace orv::serial {
namespace {

using posix::Phase;

TEST(PortRules, ErrnoMapsToErrorByPhase) {
  struct Row {
    const char* legend;
    int err;
    Phase phase;
    Error expected;
  };
  const Row rows[] = {
      {"ttyS without a UART", EIO, Phase::Opening, Error::NotFound},
      {"device gone on read", EIO, Phase::Open, Error::Closed},
      {"adapter pulled", ENXIO, Phase::Open, Error::Closed},
      {"TIOCEXCL refuses", EBUSY, Phase::Opening, Error::Busy},
      {"flock refuses", EWOULDBLOCK, Phase::Opening, Error::Busy},
      {"permission", EACCES, Phase::Opening, Error::Access},
      {"anything else", EPIPE, Phase::Open, Error::Io},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ErrorName(posix::ErrorFromErrno(row.err, row.phase)), std::string(ErrorName(row.expected)))
        << row.legend << " (errno " << row.err << ")";
  }
}

TEST(PortRules, StatusTextNamesCodeCallPathAndSystemText) {
  struct Row {
    const char* legend;
    Status status;
    const char* text;
  };
  const Row rows[] = {
      {"busy", {Error::Busy, EAGAIN, "open", "/dev/ttyUSB0"},
       "Busy: open /dev/ttyUSB0: Resource temporarily unavailable"},
      {"missing", {Error::NotFound, ENOENT, "open", "/dev/ttyS9"},
       "NotFound: open /dev/ttyS9: No such file or directory"},
      {"no errno", {Error::Timeout, 0, "read", "/dev/pts/3"}, "Timeout: read /dev/pts/3"},
      {"no path", {Error::Io, EIO, "write", ""}, "Io: write: Input/output error"},
      {"success", {}, "None"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.status.Text(), row.text) << row.legend;
  }
}

TEST(PortRules, ConnectionAndOcdBounds) {
  const Timeouts connection = Timeouts::Connection();
  EXPECT_TRUE(connection.readReturnsAtOnce);
  EXPECT_EQ(connection.ReadTotalMs(300), 0);
  EXPECT_EQ(connection.WriteTotalMs(24), 1000 + 240);

  const Timeouts ocd = Timeouts::Ocd();
  EXPECT_FALSE(ocd.readReturnsAtOnce);
  EXPECT_EQ(ocd.ReadTotalMs(5), 105);
  EXPECT_EQ(ocd.WriteTotalMs(8), 108);
  EXPECT_EQ(ocd.ReadTotalMs(2000000000), 100 + 2000000000LL) << "no int overflow";
}

TEST(PortRules, UnboundedOrNegativeTimeoutsAreInvalid) {
  struct Row {
    const char* legend;
    Timeouts t;
    bool valid;
  };
  const Row rows[] = {
      {"ocd", Timeouts::Ocd(), true},
      {"read waits for ever", {false, 0, 0, 1, 100}, false},
      {"write waits for ever", {true, 0, 0, 0, 0}, false},
      {"negative constant", {false, 1, -1, 1, 100}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.t.IsValid(), row.valid) << row.legend;
  }
}

TEST(PortRules, WireTimeIsTheMissingBytesOnTheLine) {
  struct Row {
    const char* legend;
    int bytes;
    int baud;
    int ms;
  };
  const Row rows[] = {
      {"block at 4800", 300, 4800, 625},
      {"block at 230400", 300, 230400, 13},
      {"one byte rounds up to 1", 1, 230400, 1},
      {"unknown rate counts as fastest", 300, 0, 13},
      {"no overflow", 2000000000, 2400, INT_MAX},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(posix::WireTimeMs(row.bytes, row.baud), row.ms) << row.legend;
  }
}

bool IsOpenFd(int fd) { return fcntl(fd, F_GETFD) != -1; }

TEST(PortRules, MovedFromDescriptorOwnerClosesNothing) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[1]);
  posix::UniqueFd target;
  {
    posix::UniqueFd first(ends[0]);
    posix::UniqueFd second(std::move(first));
    EXPECT_EQ(first.Get(), -1);
    target = std::move(second);
    EXPECT_EQ(second.Get(), -1);
  }
  EXPECT_TRUE(IsOpenFd(ends[0])) << "a moved-from owner closed the descriptor";
  EXPECT_EQ(target.Close(), 0);
  EXPECT_FALSE(IsOpenFd(ends[0]));
  EXPECT_EQ(target.Close(), 0) << "a second close must not touch the number again";
}

}  // namespace
}  // namespace orv::serial
