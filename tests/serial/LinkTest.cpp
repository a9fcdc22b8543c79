// The link watch, the reconnect schedule and the reasons an open failed.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include "serial/LinkWatch.h"
#include "serial/OpenFailure.h"
#include "serial/Reconnect.h"
#include "tests/support/Pty.h"

namespace orv::serial {
namespace {

const char* Name(LinkState s) {
  const char* names[] = {"Waiting", "Live", "Silent", "NotNmea", "Lost"};
  return names[static_cast<int>(s)];
}

TEST(LinkWatch, StatesFromWhatArrivesAndWhen) {
  // Events: 'q' n bytes queued, 'b' a block with sentences, 'g' a garbled
  // block, 'h' the flash run holds the line, 'f' the port failed. The watch
  // starts at 0 with a 3000 ms silence.
  struct Event {
    long long at;
    char kind;
    int n;
  };
  const struct {
    const char* legend;
    std::vector<Event> events;
    long long at;
    LinkState expected;
  } rows[] = {
      {"just connected", {}, 2999, LinkState::Waiting},
      {"nothing for 3 s", {}, 3000, LinkState::Silent},
      {"bytes trickling in are no silence", {{2000, 'q', 10}}, 4000, LinkState::Waiting},
      {"a shrinking queue is no arrival", {{1000, 'q', 200}, {2000, 'q', 100}}, 4000, LinkState::Silent},
      {"a block of sentences", {{600, 'b', 300}}, 700, LinkState::Live},
      {"one garbled block is noise", {{600, 'b', 300}, {1200, 'g', 300}}, 1300, LinkState::Waiting},
      {"two garbled blocks: wrong rate", {{600, 'g', 300}, {1200, 'g', 300}}, 1300, LinkState::NotNmea},
      {"sentences again end it", {{600, 'g', 300}, {1200, 'g', 300}, {1800, 'b', 300}}, 1900, LinkState::Live},
      {"the flash run holds the line", {{2500, 'h', 0}}, 4000, LinkState::Waiting},
      {"the port failed", {{600, 'b', 300}, {700, 'f', 0}}, 700, LinkState::Lost},
  };
  for (const auto& row : rows) {
    LinkWatch watch(3000, 0);
    for (const Event& e : row.events) {
      if (e.kind == 'q') watch.Queued(e.at, e.n);
      if (e.kind == 'b' || e.kind == 'g') watch.Block(e.at, e.n, e.kind == 'b');
      if (e.kind == 'h') watch.Hold(e.at);
      if (e.kind == 'f') watch.Failed();
    }
    EXPECT_STREQ(Name(watch.State(row.at)), Name(row.expected)) << row.legend;
  }
}

TEST(LinkWatch, SentenceStarts) {
  const struct {
    std::string bytes;
    bool expected;
  } rows[] = {
      {"xx$GPRMC,1", true},   {"$SDDBT,", true},   {std::string("ab\0$IIXDR,", 10), true},
      {"$gprmc,", false},     {"$GPRM,,", false},  {"$PZTQS", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(HasSentenceStart(row.bytes.data(), static_cast<int>(row.bytes.size())), row.expected) << row.bytes;
  }
}

TEST(Reconnect, TriesAreSpacedAndBounded) {
  LinkTimings t;
  t.reconnectFirstMs = 500;
  t.reconnectEveryMs = 1000;
  t.reconnectForMs = 3000;
  const ReconnectSchedule schedule(t, 10000);
  EXPECT_EQ(schedule.FirstDelayMs(), 500);
  const struct {
    long long failedAt;
    int next;
  } rows[] = {{10500, 1000}, {12500, 500}, {12999, 1}, {13000, -1}, {20000, -1}};
  for (const auto& row : rows) EXPECT_EQ(schedule.NextDelayMs(row.failedAt), row.next) << row.failedAt;
}

TEST(OpenFailure, ReasonsInPlainWords) {
  const std::string dev = "/dev/ttyUSB0";
  DeviceFacts dialout;
  dialout.group = "dialout";
  dialout.user = "alice";
  DeviceFacts joined = dialout;
  joined.joinedSinceLogin = true;
  DeviceFacts held;
  held.users = {{812, "gpsd"}, {900, "minicom"}};
  const struct {
    const char* legend;
    Error code;
    DeviceFacts facts;
    std::string expected;
  } rows[] = {
      {"no such device", Error::NotFound, {}, "There is no device /dev/ttyUSB0."},
      {"no permission", Error::Access, dialout,
       "You may not use /dev/ttyUSB0: it belongs to the group dialout.\n"
       "Join the group with \"sudo adduser alice dialout\", then log in again."},
      {"joined since login", Error::Access, joined,
       "You may not use /dev/ttyUSB0: it belongs to the group dialout, which you joined after logging in. "
       "Log out and in again."},
      {"no permission, no group to join", Error::Access, {"root", "alice", false, {}}, "You may not use /dev/ttyUSB0."},
      {"in use, holders known", Error::Busy, held, "/dev/ttyUSB0 is in use by gpsd (process 812) and minicom (process 900)."},
      {"in use, holder hidden", Error::Busy, {}, "/dev/ttyUSB0 is in use by another program."},
      {"not a terminal", Error::NotSerial, {}, "/dev/ttyUSB0 is not a serial port."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(OpenFailureReason(Status{row.code, 0, "open", dev}, row.facts), row.expected) << row.legend;
  }
  EXPECT_EQ(UucpLockPid("      4711\n"), 4711);
  EXPECT_EQ(UucpLockPid("garbage"), 0);
}

// The facts behind a refusal, gathered from the system: the device's group
// and the user asking, which the table above puts into words.
TEST(OpenFailure, TheFactsNameTheDevicesGroupAndTheUser) {
  orv::test::Pty pty;
  struct stat device {};
  ASSERT_TRUE(pty.Ok() && stat(pty.SlavePath().c_str(), &device) == 0);
  const group* owner = getgrgid(device.st_gid);  // none in a bare container
  const passwd* me = getpwuid(geteuid());
  const DeviceFacts facts = GatherDeviceFacts(pty.SlavePath());
  EXPECT_EQ(facts.group, owner ? owner->gr_name : "");
  EXPECT_EQ(facts.user, me ? me->pw_name : "");
}

}  // namespace
}  // namespace orv::serial
