// The receive thread's wait: prompt on data, on Cancel and on hang-up, and
// asleep in between.
#include <gtest/gtest.h>

#include <sys/syscall.h>

#include <atomic>
#include <ctime>
#include <fstream>
#include <future>

#include "tests/serial/Pty.h"

namespace orv::serial {
namespace {

using test::MsSince;
using test::TestClock;

long long ThreadCpuUs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

// Whether thread `tid` sleeps in a poll() with a time-out, as the kernel's
// /proc view of it says.
bool AsleepInPoll(pid_t tid) {
  const std::string task = "/proc/self/task/" + std::to_string(tid);
  std::ifstream call(task + "/syscall");
  long number = -1;
  std::string fds, count, timeout;
  if (!(call >> number >> fds >> count >> timeout)) return false;  // "running"
  std::string stat;
  std::getline(std::ifstream(task + "/stat"), stat);
  const size_t comm = stat.rfind(')');
  const bool sleeping = comm != std::string::npos && comm + 2 < stat.size() && stat[comm + 2] == 'S';
  return sleeping && ((number == SYS_poll && std::stol(timeout, nullptr, 16) != 0) || number == SYS_ppoll);
}

struct WaitResult {
  Status status;
  long long cpuUs = 0;
};

// WaitForInput on a thread of its own, as the receive thread runs it.
class Waiter {
 public:
  Waiter(Port& port, int minBytes, int timeoutMs)
      : result_(std::async(std::launch::async, [this, &port, minBytes, timeoutMs] {
          tid_ = static_cast<pid_t>(syscall(SYS_gettid));
          WaitResult r;
          const long long cpuBefore = ThreadCpuUs();
          r.status = port.WaitForInput(minBytes, timeoutMs);
          r.cpuUs = ThreadCpuUs() - cpuBefore;
          return r;
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
  WaitResult Get() {
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
  std::future<WaitResult> result_;
};

TEST(PortWait, TheLastByteCancelAndHangUpWakeTheWaiterPromptly) {
  enum class Wake { LastByte, Cancel, HangUp };
  const struct {
    const char* legend;
    int baud;            // at 2400 the wait for 300 bytes sleeps over a second at a time
    std::string before;  // sent once the waiter sleeps
    Wake wake;
    const char* code;
  } rows[] = {
      {"the block's last byte", 230400, std::string(299, 'a'), Wake::LastByte, "None"},
      {"Cancel", 2400, "", Wake::Cancel, "Cancelled"},
      {"hang-up", 2400, "partial", Wake::HangUp, "Closed"},
  };
  for (const auto& row : rows) {
    test::Pty pty;
    Status status;
    std::unique_ptr<Port> port = OpenPort(pty.SlavePath(), status);
    ASSERT_TRUE(port && port->Configure(row.baud).ok()) << row.legend << ": " << status.Text();
    Waiter waiter(*port, 300, 10000);
    ASSERT_TRUE(waiter.Asleep()) << row.legend;
    ASSERT_TRUE(pty.Send(row.before));
    ASSERT_TRUE(waiter.Asleep()) << row.legend;
    const TestClock::time_point woken = TestClock::now();
    if (row.wake == Wake::LastByte) pty.Send("\n");
    if (row.wake == Wake::Cancel) port->Cancel();
    if (row.wake == Wake::HangUp) pty.CloseMaster();
    const WaitResult r = waiter.Get();
    EXPECT_STREQ(ErrorName(r.status.code), row.code) << row.legend << ": " << r.status.Text();
    // Well inside the second the sleep alone would take, with room for a
    // loaded machine under a sanitizer.
    EXPECT_LT(MsSince(woken), 500) << row.legend;
  }
}

TEST(PortWait, ACancelHoldsUntilItIsCleared) {
  test::Pty pty;
  Status status;
  std::unique_ptr<Port> port = OpenPort(pty.SlavePath(), status);
  ASSERT_TRUE(port) << status.Text();
  port->Cancel();
  EXPECT_STREQ(ErrorName(port->WaitForInput(1, 1000).code), "Cancelled");
  EXPECT_STREQ(ErrorName(port->WaitForInput(1, 1000).code), "Cancelled") << "still";
  port->ClearCancel();
  EXPECT_STREQ(ErrorName(port->WaitForInput(1, 20).code), "Timeout");
}

class PortWaitOnOnePort : public test::PortFixture {};

TEST_F(PortWaitOnOnePort, SleepsWhileWaiting) {
  // A spinning wait would use the whole 300 ms; bytes already queued must
  // not make the poll return at once.
  const struct {
    const char* legend;
    int baud;
    int queued;  // bytes already waiting, fewer than asked for
    int minBytes;
    long long maxCpuUs;
  } rows[] = {
      {"block at 9600", 9600, 0, 300, 10000},
      {"block at 230400", 230400, 0, 300, 10000},
      {"one byte at 230400", 230400, 0, 1, 30000},
      {"part of a block queued at 9600", 9600, 100, 300, 10000},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(port_->Configure(row.baud).ok()) << row.legend;
    if (row.queued > 0) {
      ASSERT_TRUE(pty_.Send(std::string(static_cast<size_t>(row.queued), 'q')));
      ASSERT_TRUE(port_->WaitForInput(row.queued, 2000).ok()) << row.legend;
    }
    const TestClock::time_point start = TestClock::now();
    const WaitResult r = Waiter(*port_, row.minBytes, 300).Get();
    const long long elapsed = MsSince(start);
    EXPECT_STREQ(ErrorName(r.status.code), "Timeout") << row.legend << ": " << r.status.Text();
    EXPECT_TRUE(elapsed >= 299 && elapsed < 300 + 250) << row.legend << ": " << elapsed << " ms";
    EXPECT_LT(r.cpuUs, row.maxCpuUs) << row.legend << ": the wait burnt processor time";
  }
}

// The receive thread waits for a block while the window thread writes a
// command and reads a short reply of its own on the same port.
TEST_F(PortWaitOnOnePort, TheWindowThreadWorksWhileTheReceiveThreadWaits) {
  ASSERT_TRUE(port_->Configure(230400).ok());
  Waiter waiter(*port_, 300, 5000);
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  int count = 0;
  ASSERT_TRUE(port_->Write("$PZTQC,P", 8, count).ok());
  EXPECT_EQ(pty_.Receive(8, 2000), "$PZTQC,P");
  ASSERT_TRUE(pty_.Send("PZTQC,"));
  char reply[300];
  EXPECT_TRUE(port_->Read(reply, 6, count).ok());
  EXPECT_EQ(std::string(reply, static_cast<size_t>(count)), "PZTQC,");
  ASSERT_TRUE(pty_.Send(std::string(300, 'b')));
  EXPECT_TRUE(waiter.Get().status.ok());
  EXPECT_TRUE(port_->Read(reply, 300, count).ok() && count == 300);
}

}  // namespace
}  // namespace orv::serial
