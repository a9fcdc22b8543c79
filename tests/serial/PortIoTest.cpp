// Line settings, queue counts, the two time-out regimes and the receive
// thread's wait (prompt on data, on Cancel and on hang-up, asleep in
// between), seen from the master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <sys/syscall.h>

#include <atomic>
#include <fstream>
#include <future>
#include <thread>
#include <vector>

#include "tests/serial/PortCases.h"
#include "tests/support/Pty.h"

namespace orv::serial {
namespace {

using orv::test::MsSince;
using orv::test::TestClock;
using test::kSlackMs;

// A port opened on the slave of a fresh pseudo-terminal.
class PortIo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    Status status;
    port_ = OpenPort(pty_.SlavePath(), status);
    ASSERT_TRUE(port_) << status.Text();
  }
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

  orv::test::Pty pty_;
  std::unique_ptr<Port> port_;
};

TEST_F(PortIo, EverySupportedRateIsSetAndOthersAreRefused) {
  const struct {
    int baud;
    speed_t speed;  // B0: refused, the rate before stays
  } rows[] = {{2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
              {57600, B57600}, {115200, B115200}, {230400, B230400}, {14400, B0},     {460800, B0}};
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
  const termios t = Slave();
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), CS8 | CLOCAL | CREAD);

  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  Arrive(all);
  EXPECT_EQ(InQueue(), 256) << "the input queue counts bytes from the far end";
  std::string in(256, '\0');
  int got = 0;
  ASSERT_TRUE(port_->Read(&in[0], 100, got).ok());
  EXPECT_EQ(InQueue(), 156) << "a read takes its bytes out of the queue";
  int more = 0;
  ASSERT_TRUE(port_->Read(&in[100], 156, more).ok());
  EXPECT_EQ(in.substr(0, static_cast<size_t>(got + more)), all) << "the line changed bytes on the way in";
  ASSERT_TRUE(port_->Write(all.data(), 256, got).ok());
  EXPECT_EQ(pty_.Receive(256, 2000), all) << "the line changed bytes on the way out";
}

TEST_F(PortIo, UnboundedOrNegativeTimeoutsAreRefusedAndTheOldOnesKept) {
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  const struct {
    const char* legend;
    Timeouts t;
  } rows[] = {
      {"read waits for ever", {false, 0, 0, 1, 100}},
      {"write waits for ever", {true, 0, 0, 0, 0}},
      {"negative constant", {false, 1, -1, 1, 100}},
  };
  for (const auto& row : rows) {
    EXPECT_STREQ(ErrorName(port_->SetTimeouts(row.t).code), "Config") << row.legend;
    const Timeouts kept = port_->GetTimeouts();
    EXPECT_TRUE(!kept.readReturnsAtOnce && kept.ReadTotalMs(5) == 105 && kept.WriteTotalMs(5) == 105)
        << row.legend << ": the OCD link's time-outs must stay";
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
  pty_.Close();
  for (const auto& c : calls) {
    const TestClock::time_point start = TestClock::now();
    const Status status = c.call(*port_);
    EXPECT_STREQ(ErrorName(status.code), "Closed") << "hung up, " << c.legend << ": " << status.Text();
    EXPECT_LT(MsSince(start), 50) << "hung up, " << c.legend;
  }
  EXPECT_TRUE(port_->Close().ok());
  for (const auto& c : calls) EXPECT_STREQ(ErrorName(c.call(*port_).code), "Closed") << "closed, " << c.legend;
  for (const Status& s : {port_->Configure(9600), port_->SetBaudRate(9600), port_->SetRts(true), port_->SetBreak(true)})
    EXPECT_STREQ(ErrorName(s.code), "Closed") << "closed: " << s.Text();
  port_->Cancel();  // harmless on a closed port
}

// Whether thread `tid` sleeps in ppoll(), as the kernel's /proc view of it says.
bool AsleepInPoll(pid_t tid) {
  const std::string task = "/proc/self/task/" + std::to_string(tid);
  long call = -1;  // none while the thread runs
  std::ifstream(task + "/syscall") >> call;
  std::string stat;
  std::getline(std::ifstream(task + "/stat"), stat);
  const size_t comm = stat.rfind(')');
  return call == SYS_ppoll && comm != std::string::npos && stat.compare(comm, 3, ") S") == 0;
}

// WaitForInput on a thread of its own, as the receive thread runs it.
class Waiter {
 public:
  Waiter(Port& port, int minBytes, int timeoutMs)
      : result_(std::async(std::launch::async, [this, &port, minBytes, timeoutMs] {
          tid_ = static_cast<pid_t>(syscall(SYS_gettid));
          return port.WaitForInput(minBytes, timeoutMs);
        })) {}
  // Whether the thread has gone to sleep in the kernel within 2 s, so that
  // what the test does next has to wake it.
  bool Asleep() {
    for (const auto deadline = TestClock::now() + std::chrono::seconds(2); TestClock::now() < deadline;) {
      if (tid_ != 0 && AsleepInPoll(tid_)) return true;
      std::this_thread::yield();
    }
    return false;
  }
  Status Get() {
    // Every wait here has its own bound; this one only keeps a broken wait
    // from hanging the run.
    if (result_.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
      ADD_FAILURE() << "WaitForInput did not return within its bound";
      std::abort();
    }
    return result_.get();
  }

 private:
  std::atomic<pid_t> tid_{0};
  std::future<Status> result_;
};

TEST(PortWait, TheLastByteCancelAndHangUpWakeTheWaiterPromptly) {
  enum class Wake { LastByte, Cancel, HangUp };
  const struct {
    const char* legend;
    int baud;            // at 2400 the wait for 300 bytes sleeps over a second at a time
    std::string before;  // short of the block: the waiter sleeps on
    Wake wake;
    const char* code;
  } rows[] = {
      {"the block's last byte", 230400, std::string(299, 'a'), Wake::LastByte, "None"},
      {"Cancel", 2400, "", Wake::Cancel, "Cancelled"},
      {"hang-up", 2400, "partial", Wake::HangUp, "Closed"},
  };
  for (const auto& row : rows) {
    orv::test::Pty pty;
    Status status;
    std::unique_ptr<Port> port = OpenPort(pty.SlavePath(), status);
    ASSERT_TRUE(port && port->Configure(row.baud).ok()) << row.legend << ": " << status.Text();
    Waiter waiter(*port, 300, 10000);
    ASSERT_TRUE(pty.Send(row.before));
    ASSERT_TRUE(waiter.Asleep()) << row.legend;
    const TestClock::time_point woken = TestClock::now();
    if (row.wake == Wake::LastByte) pty.Send("\n");
    if (row.wake == Wake::Cancel) port->Cancel();
    if (row.wake == Wake::HangUp) pty.Close();
    const Status woke = waiter.Get();
    EXPECT_STREQ(ErrorName(woke.code), row.code) << row.legend << ": " << woke.Text();
    // Well inside the second the sleep alone would take, with room for a
    // loaded machine under a sanitizer.
    EXPECT_LT(MsSince(woken), 500) << row.legend;
    if (row.wake != Wake::Cancel) continue;
    EXPECT_STREQ(ErrorName(port->WaitForInput(1, 1000).code), "Cancelled") << "a cancel holds until cleared";
    port->ClearCancel();
    EXPECT_STREQ(ErrorName(port->WaitForInput(1, 20).code), "Timeout");
  }
}

}  // namespace
}  // namespace orv::serial
