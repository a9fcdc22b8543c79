// Queue counts and the two time-out regimes, on a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "serial/Port.h"
#include "tests/serial/PortFixture.h"

namespace orv::serial {
namespace {

using test::MsSince;
using test::TestClock;

// Upper bounds are generous: the build machine has two busy cores.
constexpr long long kSlackMs = 250;

class PortIo : public test::PortFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(PortFixture::SetUp());
    ASSERT_TRUE(port_->Configure(57600).ok());
  }

  // Bytes written on the master reach the slave's queue a moment later.
  void Arrive(const std::string& bytes) {
    ASSERT_TRUE(pty_.Send(bytes));
    const Status status = port_->WaitForInput(static_cast<int>(bytes.size()), 2000);
    ASSERT_TRUE(status.ok()) << status.Text();
  }
};

TEST_F(PortIo, InQueueCountsBytesFromTheFarEnd) {
  int in = -1;
  int out = -1;
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 0);

  Arrive("$PZTQS,");
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 7);

  char buffer[4];
  int got = 0;
  ASSERT_TRUE(port_->Read(buffer, 4, got).ok());
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 3) << "a read takes its bytes out of the queue";
}

TEST_F(PortIo, ConnectionReadReturnsAtOnce) {
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Connection()).ok());
  char buffer[300];
  int got = -1;
  TestClock::time_point start = TestClock::now();
  Status status = port_->Read(buffer, 300, got);
  EXPECT_TRUE(status.ok()) << "an empty queue is no error: " << status.Text();
  EXPECT_EQ(got, 0);
  EXPECT_LT(MsSince(start), 50);

  Arrive("12345");
  start = TestClock::now();
  status = port_->Read(buffer, 300, got);
  EXPECT_TRUE(status.ok()) << status.Text();
  EXPECT_EQ(got, 5) << "takes what is queued without waiting for the rest";
  EXPECT_LT(MsSince(start), 50);
}

TEST_F(PortIo, OcdReadGivesUpAfterItsBound) {
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  struct Row {
    const char* legend;
    std::string queued;
    int want;
  };
  const Row rows[] = {
      {"nothing comes", "", 5},
      {"reply comes up short", "\x05", 2},
      {"three of five", "abc", 5},
  };
  for (const Row& row : rows) {
    if (!row.queued.empty()) Arrive(row.queued);
    char buffer[8];
    int got = -1;
    const TestClock::time_point start = TestClock::now();
    const Status status = port_->Read(buffer, row.want, got);
    const long long elapsed = MsSince(start);
    const long long bound = 100 + row.want;
    EXPECT_STREQ(ErrorName(status.code), "Timeout") << row.legend;
    EXPECT_EQ(got, static_cast<int>(row.queued.size())) << row.legend;
    EXPECT_GE(elapsed, bound - 1) << row.legend << ": gave up early";
    EXPECT_LT(elapsed, bound + kSlackMs) << row.legend << ": gave up late";
  }
}

TEST_F(PortIo, OcdReadReturnsAsSoonAsAllBytesCame) {
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  Arrive("\x05\x80");
  char buffer[2];
  int got = 0;
  TestClock::time_point start = TestClock::now();
  ASSERT_TRUE(port_->Read(buffer, 2, got).ok());
  EXPECT_EQ(got, 2);
  EXPECT_LT(MsSince(start), 50);

  // The answer comes while the read waits (or just before it starts).
  std::thread unit([this] { pty_.Send(std::string("\x00\x01\x02", 3)); });
  char revision[3];
  start = TestClock::now();
  const Status status = port_->Read(revision, 3, got);
  const long long elapsed = MsSince(start);
  unit.join();
  EXPECT_TRUE(status.ok()) << status.Text();
  EXPECT_EQ(got, 3);
  EXPECT_LT(elapsed, 103) << "the read waited out its bound although the bytes came";
}

TEST_F(PortIo, WriteGivesUpAfterItsBound) {
  // The master reads nothing, so the pseudo-terminal's buffers fill up.
  ASSERT_TRUE(port_->SetTimeouts({true, 0, 0, 0, 100}).ok());
  const std::vector<char> flood(1 << 20, 'x');
  int written = -1;
  const TestClock::time_point start = TestClock::now();
  const Status status = port_->Write(flood.data(), static_cast<int>(flood.size()), written);
  const long long elapsed = MsSince(start);
  EXPECT_STREQ(ErrorName(status.code), "Timeout") << status.Text();
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_GE(elapsed, 99);
  EXPECT_LT(elapsed, 100 + kSlackMs);
}

TEST_F(PortIo, VanishedDeviceGivesClosed) {
  Arrive("xy");
  pty_.CloseMaster();
  char buffer[8];
  int got = 0;
  int in = 0;
  int out = 0;
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Connection()).ok());
  const Status connectionRead = port_->Read(buffer, 8, got);
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  const TestClock::time_point start = TestClock::now();
  const Status ocdRead = port_->Read(buffer, 8, got);
  const long long ocdElapsed = MsSince(start);
  struct Row {
    const char* legend;
    Status status;
  };
  const Row rows[] = {
      {"read that returns at once", connectionRead},
      {"read that waits", ocdRead},
      {"write", port_->Write("G", 1, got)},
      {"queue counts", port_->QueueCounts(in, out)},
  };
  for (const Row& row : rows) {
    EXPECT_STREQ(ErrorName(row.status.code), "Closed") << row.legend << ": " << row.status.Text();
  }
  EXPECT_LT(ocdElapsed, 50) << "a hang-up must not wait out the read bound";
}

// A pseudo-terminal keeps no count of what its slave wrote and the master
// has not read, so outQueue is only seen on a real serial device (no
// loopback plug needed), named by ORVANTA_TEST_SERIAL_PORT. At 2400 bit/s,
// 100 bytes take over 400 ms to leave, so right after the write most of
// them are still counted.
TEST(PortHardware, OutQueueCountsUnsentBytes) {
  const char* path = std::getenv("ORVANTA_TEST_SERIAL_PORT");
  if (path == nullptr) GTEST_SKIP() << "set ORVANTA_TEST_SERIAL_PORT to a serial device";
  Status status;
  std::unique_ptr<Port> port = OpenPort(path, status);
  ASSERT_TRUE(port) << status.Text();
  ASSERT_TRUE(port->Configure(2400).ok());
  const std::string bytes(100, 'U');
  int written = 0;
  ASSERT_TRUE(port->Write(bytes.data(), 100, written).ok());
  int in = 0;
  int out = 0;
  ASSERT_TRUE(port->QueueCounts(in, out).ok());
  EXPECT_GT(out, 50);
  EXPECT_LE(out, 100);
}

}  // namespace
}  // namespace orv::serial
