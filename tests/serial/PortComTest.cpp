// The Win32 port on a COM port with the simulated unit at the far end: under
// Wine, quorvel-sim's pseudo-terminal made a COM name of the prefix
// (scripts/wine-with-sim.sh), on Windows a port with the unit behind it.
// ORVANTA_TEST_COM names the port ("\\.\COM11"); each suite says which cable
// it needs. Without the variable every test is skipped.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "common/Text.h"
#include "tests/serial/PortCases.h"

namespace orv::serial {
namespace {

using test::kSlackMs;
using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

long long ThreadCpuMs() {
  FILETIME unused, kernel, user;
  GetThreadTimes(GetCurrentThread(), &unused, &unused, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return ((static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000;
  };
  return ms(kernel) + ms(user);
}

class ComPort : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("ORVANTA_TEST_COM");
    if (path == nullptr) GTEST_SKIP() << "set ORVANTA_TEST_COM to a COM port with the simulated unit behind it";
    path_ = path;
    Status status;
    port_ = OpenPort(path_, status);
    ASSERT_TRUE(port_) << status.Text();
  }

  std::string path_;
  std::unique_ptr<Port> port_;
};

// The FLASH cable returns every byte the PC sends; its debugger hears only
// 57600 bit/s, so at any other rate the cable is a plain loopback.
class FlashCable : public ComPort {
 protected:
  void SetUp() override {
    ComPort::SetUp();
    if (port_) {
      ASSERT_TRUE(port_->Configure(115200).ok());
      ReadAll(4096);  // what an earlier test left in the terminal
    }
  }
  void Echo(const std::string& bytes) {
    int written = 0;
    ASSERT_TRUE(port_->Write(bytes.data(), static_cast<int>(bytes.size()), written).ok());
  }
  // Bytes sent come back and wait in the input queue.
  void Arrive(const std::string& bytes) {
    Echo(bytes);
    ASSERT_TRUE(port_->WaitForInput(static_cast<int>(bytes.size()), 2000).ok());
  }
  std::string ReadAll(int n) {
    std::string in(static_cast<size_t>(n), '\0');
    int got = 0;
    EXPECT_TRUE(port_->Read(&in[0], n, got).ok());
    return in.substr(0, static_cast<size_t>(got));
  }
};

TEST_F(FlashCable, OneOpenerAtATime) {
  Status status;
  std::unique_ptr<Port> second = OpenPort(path_, status);
  if (UnderWine()) {
    // Wine keeps share modes for files and directories only: a device
    // opened with share mode 0 opens again. Windows' serial driver refuses.
    EXPECT_TRUE(second) << "Wine now refuses a second opener: " << status.Text();
  } else {
    EXPECT_STREQ(ErrorName(status.code), "Busy") << status.Text();
  }
  second.reset();
  EXPECT_TRUE(port_->Close().ok());
  EXPECT_TRUE(port_->Close().ok()) << "a second close is no error";
  EXPECT_TRUE(OpenPort(path_, status)) << "closing gives the port back: " << status.Text();
  for (const test::PortCall& c : test::IoCalls()) {
    EXPECT_STREQ(ErrorName(c.call(*port_).code), "Closed") << "closed, " << c.legend;
  }
}

// A pseudo-terminal carries no break; it has no modem lines either, and
// Wine answers RTS on one with "not supported" (TIOCMBIS fails).
// Any of the line discipline left on (echo, CR LF mapping, XON/XOFF, 7
// bits) changes some byte of 0 to 255 on the way out or back.
TEST_F(FlashCable, EveryByteQueueCountsRatesBreakAndRts) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  Arrive(all);
  int in = -1;
  int out = -1;
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 256);
  EXPECT_EQ(ReadAll(100), all.substr(0, 100));
  ASSERT_TRUE(port_->QueueCounts(in, out).ok());
  EXPECT_EQ(in, 156) << "a read takes its bytes out of the queue";
  EXPECT_EQ(out, 0);
  EXPECT_EQ(ReadAll(300), all.substr(100));
  EXPECT_STREQ(ErrorName(port_->SetBaudRate(14400).code), "Config") << "the driver would take it; the unit's tools do not";
  EXPECT_EQ(port_->BaudRate(), 115200) << "a refused rate must not count as set";
  ASSERT_TRUE(port_->SetBaudRate(9600).ok());
  EXPECT_EQ(port_->BaudRate(), 9600);
  for (const bool on : {true, false}) EXPECT_TRUE(port_->SetBreak(on).ok()) << "break " << on;
  const Status rts = port_->SetRts(true);
  EXPECT_TRUE(UnderWine() ? rts.code == Error::Config && rts.sysError == ERROR_NOT_SUPPORTED : rts.ok())
      << rts.Text();
  Arrive("9600");
  EXPECT_EQ(ReadAll(4), "9600") << "the line works on at the new rate";
}

TEST_F(FlashCable, ReadsKeepToTheirRegime) {
  for (const test::ReadCase& row : test::ReadCases()) {
    ASSERT_TRUE(port_->SetTimeouts(row.timeouts).ok());
    // Sent right before the read, the echo comes back while it waits.
    if (row.duringRead) Echo(row.bytes);
    if (!row.duringRead && !row.bytes.empty()) Arrive(row.bytes);
    char buffer[300];
    int got = -1;
    const Clock::time_point start = Clock::now();
    const Status status = port_->Read(buffer, row.want, got);
    const long long elapsed = MsSince(start);
    EXPECT_STREQ(ErrorName(status.code), row.code) << row.legend << ": " << status.Text();
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(std::max(got, 0))), row.bytes) << row.legend;
    EXPECT_TRUE(elapsed >= row.minMs && elapsed < row.maxMs) << row.legend << ": " << elapsed << " ms";
  }
}

TEST_F(FlashCable, AWaitEndsOnItsBytesAndOnCancel) {
  // A waiter sleeps for the wire time of the bytes it misses: at 115200 a
  // block's worth is 26 ms, so the last byte is seen within that.
  const Clock::time_point sent = Clock::now();
  Echo(std::string(300, 'b'));
  Status s = port_->WaitForInput(300, 10000);
  EXPECT_TRUE(s.ok()) << s.Text();
  EXPECT_LT(MsSince(sent), 100);

  // At 2400 it sleeps 1.25 s at a time; Cancel from another thread, as the
  // window cancels the receive thread's wait, must cut that short.
  ASSERT_TRUE(port_->Configure(2400).ok());
  const Clock::time_point cancelled = Clock::now();
  std::thread window([this] { port_->Cancel(); });
  s = port_->WaitForInput(600, 10000);
  window.join();
  EXPECT_STREQ(ErrorName(s.code), "Cancelled") << s.Text();
  EXPECT_LT(MsSince(cancelled), 100);
  EXPECT_STREQ(ErrorName(port_->WaitForInput(1, 100).code), "Cancelled") << "until cleared";
  port_->ClearCancel();

  // A wait that runs out slept: spinning would take its 300 ms of processor.
  const long long cpuBefore = ThreadCpuMs();
  const Clock::time_point start = Clock::now();
  s = port_->WaitForInput(600, 300);
  const long long elapsed = MsSince(start);
  EXPECT_STREQ(ErrorName(s.code), "Timeout") << s.Text();
  EXPECT_TRUE(elapsed >= 299 && elapsed < 300 + kSlackMs) << elapsed << " ms";
  EXPECT_LT(ThreadCpuMs() - cpuBefore, 50) << "the wait burnt processor time";
}

// The data cable: the unit streams its sentences at 4800 bit/s.
class DataCable : public ComPort {};

TEST_F(DataCable, TheUnitsRateGivesSentencesAnotherGivesNone) {
  for (const int baud : {4800, 9600}) {
    ASSERT_TRUE(port_->Configure(baud).ok());
    std::string stale(4096, '\0');
    int got = 0;
    ASSERT_TRUE(port_->Read(&stale[0], 4096, got).ok()) << "what came at the rate before";
    ASSERT_TRUE(port_->WaitForInput(300, 3000).ok()) << baud;
    std::string block(300, '\0');
    ASSERT_TRUE(port_->Read(&block[0], 300, got).ok() && got == 300) << baud;
    // The first bytes may still be ones the unit sent before it saw the change.
    EXPECT_EQ(Find(block, "\r\n$", 20) >= 0, baud == 4800) << baud << " bit/s: " << block;
  }
}

// The unit closes its end before a block is complete (quorvel-sim --fault
// hang-up=200), as a USB adapter pulled out leaves the port: the receive
// wait ends with Closed within the wire time of a block, and every other
// call gives Closed too.
class HungUp : public ComPort {};

TEST_F(HungUp, TheWaitEndsAndEveryCallGivesClosed) {
  ASSERT_TRUE(port_->Configure(4800).ok());
  const Clock::time_point start = Clock::now();
  const Status wait = port_->WaitForInput(300, 10000);
  EXPECT_STREQ(ErrorName(wait.code), "Closed") << wait.Text();
  EXPECT_LT(MsSince(start), 2000) << "ended by the hang-up, not the time-out";
  for (const test::PortCall& c : test::IoCalls()) {
    const Clock::time_point called = Clock::now();
    const Status status = c.call(*port_);
    EXPECT_STREQ(ErrorName(status.code), "Closed") << c.legend << ": " << status.Text();
    // Wine spins a waiting read on a hung-up terminal until its time-out.
    EXPECT_LT(MsSince(called), Timeouts::Ocd().ReadTotalMs(8) + kSlackMs) << c.legend;
  }
  EXPECT_TRUE(port_->Close().ok());
}

}  // namespace
}  // namespace orv::serial
