// Line settings, queue counts and the two time-out regimes, seen from the
// master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "tests/serial/PortCases.h"
#include "tests/serial/Pty.h"

namespace orv::serial {
namespace {

using test::MsSince;
using test::kSlackMs;
using test::TestClock;

class PortIo : public test::PortFixture {
 protected:
  termios Slave() {
    termios t{};
    EXPECT_TRUE(pty_.SlaveSettings(t));
    return t;
  }
  // Bytes written on the master reach the slave's queue a moment later.
  void Arrive(const std::string& bytes) {
    ASSERT_TRUE(pty_.Send(bytes));
    ASSERT_TRUE(port_->WaitForInput(static_cast<int>(bytes.size()), 2000).ok());
  }
  int InQueue() {
    int in = -1;
    int out = -1;
    EXPECT_TRUE(port_->QueueCounts(in, out).ok());
    return in;
  }
};

TEST_F(PortIo, EverySupportedRateIsSetAndOthersAreRefused) {
  const struct {
    int baud;
    speed_t speed;  // B0: refused, the rate before stays
  } rows[] = {{2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
              {57600, B57600}, {115200, B115200}, {230400, B230400}, {0, B0},         {-1, B0},
              {300, B0},       {14400, B0},       {460800, B0}};
  for (const auto& row : rows) {
    const bool ok = row.speed != B0;
    for (const bool onlyRate : {false, true}) {
      const Status status = onlyRate ? port_->SetBaudRate(row.baud) : port_->Configure(row.baud);
      EXPECT_STREQ(ErrorName(status.code), ok ? "None" : "Config") << row.baud << ": " << status.Text();
      const termios t = Slave();
      EXPECT_TRUE(cfgetospeed(&t) == cfgetispeed(&t) && cfgetospeed(&t) == (ok ? row.speed : B230400)) << row.baud;
      EXPECT_EQ(port_->BaudRate(), ok ? row.baud : 230400) << "a refused rate must not count as set: " << row.baud;
    }
  }
}

// A fresh pseudo-terminal is cooked (echo, line editing, CR LF mapping), so
// any of it left on changes some byte of 0 to 255.
TEST_F(PortIo, ALineOfEightBitsOneStopBitNoFlowControlPassesEveryByteUnchanged) {
  termios cooked = Slave();
  cooked.c_cflag |= CSTOPB | CRTSCTS;
  ASSERT_TRUE(pty_.SetSlaveSettings(cooked));
  ASSERT_TRUE(port_->Configure(115200).ok());
  termios t = Slave();
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), CS8 | CLOCAL | CREAD);

  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  Arrive(all);
  std::string in(256, '\0');
  int got = 0;
  ASSERT_TRUE(port_->Read(&in[0], 256, got).ok());
  EXPECT_EQ(in.substr(0, static_cast<size_t>(got)), all) << "the line changed bytes on the way in";
  ASSERT_TRUE(port_->Write(all.data(), 256, got).ok());
  EXPECT_EQ(pty_.Receive(257, 300), all) << "the line changed bytes on the way out";

  // A rate change keeps the rest (a pseudo-terminal forces 8 bits without
  // parity, so the marks are others).
  t.c_cflag |= CSTOPB;
  t.c_cc[VSTART] = 0x42;
  ASSERT_TRUE(pty_.SetSlaveSettings(t));
  ASSERT_TRUE(port_->SetBaudRate(57600).ok());
  t = Slave();
  EXPECT_TRUE(cfgetospeed(&t) == B57600 && (t.c_cflag & CSTOPB) != 0 && t.c_cc[VSTART] == 0x42);
}

TEST_F(PortIo, InQueueCountsBytesFromTheFarEnd) {
  ASSERT_TRUE(port_->Configure(57600).ok());
  EXPECT_EQ(InQueue(), 0);
  Arrive("$PZTQS,");
  EXPECT_EQ(InQueue(), 7);
  char buffer[4];
  int got = 0;
  ASSERT_TRUE(port_->Read(buffer, 4, got).ok());
  EXPECT_EQ(InQueue(), 3) << "a read takes its bytes out of the queue";
}

TEST_F(PortIo, UnboundedOrNegativeTimeoutsAreRefusedAndTheOldOnesKept) {
  const struct {
    const char* legend;
    Timeouts t;
    bool valid;
  } rows[] = {
      {"connection", Timeouts::Connection(), true},
      {"read waits for ever", {false, 0, 0, 1, 100}, false},
      {"write waits for ever", {true, 0, 0, 0, 0}, false},
      {"negative constant", {false, 1, -1, 1, 100}, false},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
    EXPECT_STREQ(ErrorName(port_->SetTimeouts(row.t).code), row.valid ? "None" : "Config") << row.legend;
    EXPECT_EQ(port_->GetTimeouts().readReturnsAtOnce, row.valid) << row.legend;
  }
}

TEST_F(PortIo, ReadsKeepToTheirRegime) {
  ASSERT_TRUE(port_->Configure(57600).ok());
  for (const test::ReadCase& row : test::ReadCases()) {
    ASSERT_TRUE(port_->SetTimeouts(row.timeouts).ok());
    if (!row.duringRead && !row.bytes.empty()) Arrive(row.bytes);
    std::thread unit([&] { EXPECT_TRUE(!row.duringRead || pty_.Send(row.bytes)); });
    char buffer[300];
    int got = -1;
    const TestClock::time_point start = TestClock::now();
    const Status status = port_->Read(buffer, row.want, got);
    const long long elapsed = MsSince(start);
    unit.join();
    EXPECT_STREQ(ErrorName(status.code), row.code) << row.legend << ": " << status.Text();
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max(got, 0))), row.bytes) << row.legend;
    EXPECT_TRUE(elapsed >= row.minMs && elapsed < row.maxMs) << row.legend << ": " << elapsed << " ms";
  }
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
  EXPECT_TRUE(written > 0 && written < static_cast<int>(flood.size())) << written;
  EXPECT_TRUE(elapsed >= 99 && elapsed < 100 + kSlackMs) << elapsed << " ms";
}

// A device that went away and a port closed by its owner refuse all work
// with Closed, at once.
TEST_F(PortIo, AHungUpOrClosedPortGivesClosed) {
  const std::vector<test::PortCall> calls = test::IoCalls();
  ASSERT_TRUE(port_->Configure(57600).ok());
  Arrive("xy");
  pty_.CloseMaster();
  for (const auto& c : calls) {
    const TestClock::time_point start = TestClock::now();
    const Status status = c.call(*port_);
    EXPECT_STREQ(ErrorName(status.code), "Closed") << "hung up, " << c.legend << ": " << status.Text();
    EXPECT_LT(MsSince(start), 50) << "hung up, " << c.legend;
  }
  EXPECT_TRUE(port_->Close().ok());
  for (const auto& c : calls) EXPECT_STREQ(ErrorName(c.call(*port_).code), "Closed") << "closed, " << c.legend;
  for (const Status& s : {port_->Configure(9600), port_->SetBaudRate(9600), port_->SetRts(true), port_->SetBreak(true)}) {
    EXPECT_STREQ(ErrorName(s.code), "Closed") << "closed: " << s.Text();
  }
  port_->Cancel();  // harmless on a closed port
}

// A pseudo-terminal keeps no count of what its slave wrote and the master
// has not read, so outQueue is only seen on a real serial device (no
// loopback plug needed). At 2400 bit/s, 100 bytes take over 400 ms to
// leave, so right after the write most of them are still counted.
TEST(PortHardware, OutQueueCountsUnsentBytes) {
  const char* path = std::getenv("ORVANTA_TEST_SERIAL_PORT");
  if (path == nullptr) GTEST_SKIP() << "set ORVANTA_TEST_SERIAL_PORT to a serial device";
  Status status;
  std::unique_ptr<Port> port = OpenPort(path, status);
  ASSERT_TRUE(port && port->Configure(2400).ok()) << status.Text();
  int count = 0;
  ASSERT_TRUE(port->Write(std::string(100, 'U').data(), 100, count).ok());
  int in = 0;
  ASSERT_TRUE(port->QueueCounts(in, count).ok());
  EXPECT_TRUE(count > 50 && count <= 100) << count;
}

}  // namespace
}  // namespace orv::serial
