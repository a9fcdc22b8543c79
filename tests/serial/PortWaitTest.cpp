// The receive thread's wait: prompt on data, on Cancel and on hang-up, and
// asleep in between.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

#include "serial/Port.h"
#include "tests/serial/PortFixture.h"

namespace orv::serial {
namespace {

using test::MsSince;
using test::TestClock;

constexpr long long kPromptMs = 100;

long long ThreadCpuUs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

char ThreadState(pid_t tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const size_t comm = line.rfind(')');
  return comm != std::string::npos && comm + 2 < line.size() ? line[comm + 2] : '?';
}

// Whether thread `tid` sleeps in a poll() with a time-out, as the kernel's
// /proc view of it says.
bool AsleepInPoll(pid_t tid) {
  std::ifstream call("/proc/self/task/" + std::to_string(tid) + "/syscall");
  long number = -1;
  std::string fds;
  std::string count;
  std::string timeout;
  if (!(call >> number >> fds >> count >> timeout)) return false;  // "running"
  const bool polling = (number == SYS_poll && std::stol(timeout, nullptr, 16) != 0) ||
                       number == SYS_ppoll;
  return polling && ThreadState(tid) == 'S';
}

struct WaitResult {
  Status status;
  TestClock::time_point returned;
  long long cpuUs = 0;
};

class PortWait : public test::PortFixture {
 protected:
  // Runs WaitForInput on a thread of its own, as the receive thread does.
  std::future<WaitResult> WaitAsync(int minBytes, int timeoutMs) {
    waiter_ = 0;
    return std::async(std::launch::async, [this, minBytes, timeoutMs] {
      waiter_ = static_cast<pid_t>(syscall(SYS_gettid));
      WaitResult r;
      const long long cpuBefore = ThreadCpuUs();
      r.status = port_->WaitForInput(minBytes, timeoutMs);
      r.returned = TestClock::now();
      r.cpuUs = ThreadCpuUs() - cpuBefore;
      return r;
    });
  }

  // Waits, with a deadline, until the waiting thread has gone to sleep in
  // the kernel, so that what the test does next has to wake it.
  bool WaiterAsleep() {
    const TestClock::time_point deadline = TestClock::now() + std::chrono::seconds(2);
    while (TestClock::now() < deadline) {
      const pid_t tid = waiter_.load();
      if (tid != 0 && AsleepInPoll(tid)) return true;
      std::this_thread::yield();
    }
    return false;
  }

  static WaitResult Get(std::future<WaitResult>& f) {
    // Every wait in these tests has its own bound; this one only keeps a
    // broken wait from hanging the test run.
    if (f.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
      ADD_FAILURE() << "WaitForInput did not return within its bound";
      std::abort();
    }
    return f.get();
  }

  static long long MsBetween(TestClock::time_point from, TestClock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
  }

  std::atomic<pid_t> waiter_{0};
};

TEST_F(PortWait, NoticesABlockSoonAfterItsLastByte) {
  ASSERT_TRUE(port_->Configure(230400).ok());
  std::future<WaitResult> waiting = WaitAsync(300, 5000);
  ASSERT_TRUE(WaiterAsleep());
  ASSERT_TRUE(pty_.Send(std::string(299, 'a')));
  ASSERT_TRUE(WaiterAsleep());
  ASSERT_TRUE(pty_.Send("\n"));
  const TestClock::time_point lastByte = TestClock::now();
  const WaitResult r = Get(waiting);
  EXPECT_TRUE(r.status.ok()) << r.status.Text();
  EXPECT_LT(MsBetween(lastByte, r.returned), kPromptMs);
  int in = 0;
  int out = 0;
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 300);
}

TEST_F(PortWait, CancelWakesTheWaiterAndStaysUntilCleared) {
  // At 2400 bit/s the wait for 300 bytes sleeps 1.25 s at a time.
  ASSERT_TRUE(port_->Configure(2400).ok());
  std::future<WaitResult> waiting = WaitAsync(300, 10000);
  ASSERT_TRUE(WaiterAsleep());
  const TestClock::time_point cancelled = TestClock::now();
  port_->Cancel();
  const WaitResult r = Get(waiting);
  EXPECT_STREQ(ErrorName(r.status.code), "Cancelled") << r.status.Text();
  EXPECT_LT(MsBetween(cancelled, r.returned), kPromptMs);

  EXPECT_STREQ(ErrorName(port_->WaitForInput(1, 1000).code), "Cancelled")
      << "a cancel holds until it is cleared";
  port_->ClearCancel();
  EXPECT_STREQ(ErrorName(port_->WaitForInput(1, 20).code), "Timeout");
}

TEST_F(PortWait, HangUpWakesTheWaiter) {
  ASSERT_TRUE(port_->Configure(2400).ok());
  std::future<WaitResult> waiting = WaitAsync(300, 10000);
  ASSERT_TRUE(pty_.Send("partial"));
  ASSERT_TRUE(WaiterAsleep());
  const TestClock::time_point hungUp = TestClock::now();
  pty_.CloseMaster();
  const WaitResult r = Get(waiting);
  EXPECT_STREQ(ErrorName(r.status.code), "Closed") << r.status.Text();
  EXPECT_LT(MsBetween(hungUp, r.returned), kPromptMs);
}

TEST_F(PortWait, SleepsWhileWaiting) {
  struct Row {
    const char* legend;
    int baud;
    int queued;  // bytes already waiting, fewer than asked for
    int minBytes;
    long long maxCpuUs;
  };
  // A spinning wait would use the whole 300 ms; bytes already queued must
  // not make the poll return at once.
  const Row rows[] = {
      {"block at 9600", 9600, 0, 300, 10000},
      {"block at 230400", 230400, 0, 300, 10000},
      {"one byte at 230400", 230400, 0, 1, 30000},
      {"part of a block queued at 9600", 9600, 100, 300, 10000},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(port_->Configure(row.baud).ok()) << row.legend;
    if (row.queued > 0) {
      ASSERT_TRUE(pty_.Send(std::string(static_cast<size_t>(row.queued), 'q')));
      ASSERT_TRUE(port_->WaitForInput(row.queued, 2000).ok()) << row.legend;
    }
    const TestClock::time_point start = TestClock::now();
    std::future<WaitResult> waiting = WaitAsync(row.minBytes, 300);
    const WaitResult r = Get(waiting);
    const long long elapsed = MsBetween(start, r.returned);
    EXPECT_STREQ(ErrorName(r.status.code), "Timeout") << row.legend << ": " << r.status.Text();
    EXPECT_GE(elapsed, 299) << row.legend;
    EXPECT_LT(elapsed, 300 + 250) << row.legend;
    EXPECT_LT(r.cpuUs, row.maxCpuUs) << row.legend << ": the wait burnt processor time";
    std::printf("[ cpu      ] %s: %lld us in %lld ms\n", row.legend, r.cpuUs, elapsed);
  }
}

// The receive thread waits for a block while the window thread writes a
// command and reads a short reply of its own on the same port.
TEST_F(PortWait, WindowThreadWorksWhileTheReceiveThreadWaits) {
  ASSERT_TRUE(port_->Configure(230400).ok());
  std::future<WaitResult> waiting = WaitAsync(300, 5000);

  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  int written = 0;
  ASSERT_TRUE(port_->Write("$PZTQC,P", 8, written).ok());
  EXPECT_EQ(pty_.Receive(8, 2000), "$PZTQC,P");
  ASSERT_TRUE(pty_.Send("PZTQC,"));
  char reply[6];
  int got = 0;
  const Status replied = port_->Read(reply, 6, got);
  EXPECT_TRUE(replied.ok()) << replied.Text();
  EXPECT_EQ(std::string(reply, static_cast<size_t>(got)), "PZTQC,");
  int in = -1;
  int out = -1;
  EXPECT_TRUE(port_->QueueCounts(in, out).ok());

  ASSERT_TRUE(pty_.Send(std::string(300, 'b')));
  const WaitResult r = Get(waiting);
  EXPECT_TRUE(r.status.ok()) << r.status.Text();
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Connection()).ok());
  char block[300];
  ASSERT_TRUE(port_->Read(block, 300, got).ok());
  EXPECT_EQ(got, 300);
  EXPECT_EQ(std::string(block, 300), std::string(300, 'b'));
}

}  // namespace
}  // namespace orv::serial
