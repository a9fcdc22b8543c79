// What the pseudo-terminal cannot show of the OCD link: the order in which
// the port settings are applied and what stays when one is refused, the
// break held while the question is up, and the bound on an output queue
// that never drains. A port that records what is done to it stands in for
// the serial line here; everything on the wire is tested against the
// simulated unit.
#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <functional>

#include "Expect.h"
#include "WindowFixture.h"
#include "flash/LinkBounds.h"
#include "flash/Messages.h"

namespace flashtest {
namespace {

namespace msg = orv::flash::msg;
using orv::serial::Error;
using orv::serial::Status;
using orv::serial::Timeouts;

class RecordingPort : public orv::serial::Port {
 public:
  std::vector<std::string> log;
  bool failBaud = false;
  bool failTimeouts = false;
  bool failCounts = false;
  int outQueue = 0;  // stays: the output never drains
  bool breakOn = false;
  int baud = 4800;
  Timeouts timeouts = Timeouts::Connection();

  const std::string& Path() const override { return path_; }
  bool IsOpen() const override { return true; }
  Status Configure(int b) override { return SetBaudRate(b); }
  Status SetBaudRate(int b) override {
    log.push_back("baud " + std::to_string(b));
    if (failBaud) return Status{Error::Config, EINVAL, "tcsetattr", path_};
    baud = b;
    return Status{};
  }
  int BaudRate() const override { return baud; }
  Status SetTimeouts(const Timeouts& t) override {
    log.push_back("timeouts");
    if (failTimeouts) return Status{Error::Config, EINVAL, "SetTimeouts", path_};
    timeouts = t;
    return Status{};
  }
  Timeouts GetTimeouts() const override { return timeouts; }
  Status SetRts(bool) override { return Status{}; }
  Status SetBreak(bool on) override {
    log.push_back(on ? "break on" : "break off");
    breakOn = on;
    return Status{};
  }
  Status SetEventMask(unsigned) override { return Status{}; }
  Status QueueCounts(int& in, int& out) override {
    in = 0;
    out = outQueue;
    return failCounts ? Status{Error::Io, EIO, "ioctl", path_} : Status{};
  }
  // A cable that returns nothing.
  Status Read(void*, int, int& got) override {
    got = 0;
    return Status{Error::Timeout, 0, "read", path_};
  }
  Status Write(const void*, int n, int& written) override {
    log.push_back("write " + std::to_string(n));
    written = n;
    return Status{};
  }
  Status WaitForInput(int, int) override { return Status{Error::Timeout, 0, "wait", path_}; }
  void Cancel() override {}
  void ClearCancel() override {}
  Status Close() override { return Status{}; }

 private:
  std::string path_ = "recording";
};

struct LinkFixture {
  LinkFixture() {
    w.dlg->m_hPort = port;
    w.dlg->m_nBaudRate = 4800;
  }
  WindowFixture w{false};
  std::shared_ptr<RecordingPort> port = std::make_shared<RecordingPort>();
};

struct OrderCase {
  const char* legend;
  OcdOrder order;
  const char* question;
  std::vector<std::string> log;  // answered No
};

TEST(OcdLink, SettingsInTheirOrderBreakWhileAskingNoPutsTheRateBack) {
  const OrderCase cases[] = {
      {"FLASH: baud rate first", OcdOrder::BaudRateFirst, msg::kEraseAndFlash,
       {"baud 57600", "timeouts", "break on", "break off", "baud 4800"}},
      {"SAVE: time-outs first", OcdOrder::TimeoutsFirst, msg::kSaveFlashData,
       {"timeouts", "baud 57600", "break on", "break off", "baud 4800"}},
  };
  for (const OrderCase& c : cases) {
    LinkFixture f;
    bool breakWhileAsked = false;
    f.w.modal.onMessage = [&](const ShownMessage&) { breakWhileAsked = f.port->breakOn; };
    f.w.modal.answers = {IDNO};
    EXPECT_FALSE(f.w.dlg->OcdOpen(c.question, c.order)) << c.legend;
    EXPECT_EQ(f.port->log, c.log) << c.legend << ": nothing written after No";
    EXPECT_TRUE(breakWhileAsked) << c.legend;
    ExpectMessages(f.w.modal, {c.question}, c.legend);
    const Timeouts t = f.port->timeouts;
    EXPECT_FALSE(t.readReturnsAtOnce) << c.legend;
    EXPECT_EQ(t.ReadTotalMs(21), 121) << c.legend << ": 100 + n, and it stays";
    EXPECT_EQ(t.WriteTotalMs(5), 105) << c.legend;
  }
}

struct RefusalCase {
  const char* legend;
  OcdOrder order;
  bool failBaud, failTimeouts;
  std::string message;
  std::vector<std::string> log;
  int baudAfter;
};

TEST(OcdLink, ARefusedSettingEndsItAndWhatWasSetStays) {
  const RefusalCase cases[] = {
      {"baud first, rate refused", OcdOrder::BaudRateFirst, true, false, msg::kConfigurePort, {"baud 57600"}, 4800},
      {"baud first, time-outs refused", OcdOrder::BaudRateFirst, false, true, msg::kSetTimeouts,
       {"baud 57600", "timeouts"}, 57600},
      {"time-outs first, rate refused", OcdOrder::TimeoutsFirst, true, false, msg::kConfigurePort,
       {"timeouts", "baud 57600"}, 4800},
      {"time-outs first, time-outs refused", OcdOrder::TimeoutsFirst, false, true, msg::kSetTimeouts, {"timeouts"},
       4800},
  };
  for (const RefusalCase& c : cases) {
    LinkFixture f;
    f.port->failBaud = c.failBaud;
    f.port->failTimeouts = c.failTimeouts;
    EXPECT_FALSE(f.w.dlg->OcdOpen(msg::kEraseAndFlash, c.order)) << c.legend;
    ExpectMessages(f.w.modal, {c.message}, c.legend);
    EXPECT_EQ(f.port->log, c.log) << c.legend;
    EXPECT_EQ(f.port->baud, c.baudAfter) << c.legend;
  }
}

double SecondsOf(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// 100 bytes stuck in the output queue at 57600: their wire time and the
// allowance, then the wait gives up.
TEST(OcdLink, OutputThatNeverDrainsIsGivenUpWithinItsBound) {
  const double bound = static_cast<double>(orv::flash::DrainBoundMs(100, 57600)) / 1000;
  {
    LinkFixture f;
    f.port->outQueue = 100;
    const double seconds =
        SecondsOf([&] { EXPECT_FALSE(f.w.dlg->OcdOpen(msg::kEraseAndFlash, OcdOrder::BaudRateFirst)); });
    ExpectMessages(f.w.modal, {msg::kSendTimedOut});
    EXPECT_GE(seconds, bound);
    EXPECT_LT(seconds, bound + 0.2);
    EXPECT_EQ(std::count(f.port->log.begin(), f.port->log.end(), "break on"), 0) << "not asked";
  }
  {
    LinkFixture f;
    f.port->baud = 57600;
    f.port->outQueue = 100;
    unsigned char buffer[24] = {0x05};
    int result = 0;
    const double seconds = SecondsOf([&] { result = f.w.dlg->OcdExchange(buffer, 1, 2); });
    EXPECT_EQ(result, ETIMEDOUT);
    EXPECT_GE(seconds, bound);
    EXPECT_LT(seconds, bound + 0.2);
  }
  {
    LinkFixture f;
    f.port->failCounts = true;
    unsigned char buffer[24] = {0x05};
    EXPECT_NE(f.w.dlg->OcdExchange(buffer, 1, 2), 0) << "counts that cannot be read are a failure";
    EXPECT_FALSE(f.w.dlg->OcdOpen(msg::kEraseAndFlash, OcdOrder::BaudRateFirst));
    ExpectMessages(f.w.modal, {msg::kReadingData});
  }
}

}  // namespace
}  // namespace flashtest
