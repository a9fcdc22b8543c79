// The host in-process, as `orvanta --simulate` uses it: a real pseudo-
// terminal opened the way the serial layer opens a port.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "PtyClient.h"
#include "sim/PtyHost.h"

namespace orv::sim::test {
namespace {

using std::chrono::milliseconds;

std::string TempDir() {
  char name[] = "/tmp/orv-sim-test-XXXXXX";
  const char* dir = mkdtemp(name);
  return dir != nullptr ? dir : "/tmp";
}

// Waits, with a deadline, until `condition` holds; the PC side keeps
// reading meanwhile so that nothing blocks.
template <class F>
bool Eventually(PtyClient& pc, F condition, milliseconds timeout = milliseconds(3000)) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() >= deadline) return false;
    pc.Read(4096, milliseconds(20));
  }
  return true;
}

struct Served {
  explicit Served(UnitOptions unit = {}, HostOptions host = {}) : host(std::move(unit), std::move(host)) {
    std::string error;
    started = this->host.Start(error);
    EXPECT_TRUE(started) << error;
  }
  bool Connect(int baud) {
    std::string error;
    const bool ok = pc.Open(host.SlavePath(), baud, error);
    EXPECT_TRUE(ok) << error;
    return ok;
  }
  PtyHost host;
  PtyClient pc;
  bool started = false;
};

TEST(PtyHostTest, ThePcReadsTheStreamAtTheUnitsRate) {
  Served s;
  ASSERT_TRUE(s.Connect(4800));
  const std::string got = s.pc.ReadUntil("$PZTQS,RUN,", milliseconds(5000));
  EXPECT_NE(got.find("$PZTQS,RUN,"), std::string::npos) << got;
}

TEST(PtyHostTest, PacingKeepsToThePcsRate) {
  UnitOptions unit;
  unit.unitBaud = 9600;
  Served s(unit);
  ASSERT_TRUE(s.Connect(9600));
  s.pc.Read(100, milliseconds(3000));  // under way
  const auto start = Clock::now();
  const std::string got = s.pc.ReadFor(milliseconds(1500));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double ideal = 960.0 * seconds;
  EXPECT_LT(got.size(), ideal * 1.1 + 200) << "no faster than the line";
  EXPECT_GT(got.size(), ideal * 0.7) << "and not much slower";
}

TEST(PtyHostTest, CommandsFromThePcReachTheUnit) {
  Served s;
  ASSERT_TRUE(s.Connect(4800));
  ASSERT_TRUE(s.pc.Write("$PZTQC,N$PZTQC,S"));
  EXPECT_TRUE(Eventually(s.pc, [&] {
    return s.host.WithUnit([](Unit& u) { return u.StatusText(); }) == "DEPTH OFF";
  }));
  EXPECT_NE(s.pc.ReadUntil("$PZTQS,DEPTH OFF,", milliseconds(5000)).find("$PZTQS,DEPTH OFF,"),
            std::string::npos);
}

TEST(PtyHostTest, TheLoaderAnswersOverTheLine) {
  Served s;
  ASSERT_TRUE(s.Connect(4800));
  s.pc.Read(50, milliseconds(3000));
  ASSERT_TRUE(s.pc.Write("$PZTQC,P"));
  ASSERT_TRUE(Eventually(s.pc, [&] { return s.host.WithUnit([](Unit& u) { return u.LoaderOpen(); }); }));
  s.pc.ReadFor(milliseconds(100));  // what was on its way before P
  ASSERT_TRUE(s.pc.Write("  *0000\n\r"));
  EXPECT_EQ(s.pc.Read(6, milliseconds(3000)), "0000\r\n");
  ASSERT_TRUE(s.pc.Write(":0100100042AD\r\n"));
  EXPECT_EQ(s.pc.Read(6, milliseconds(3000)), "0010\r\n");
  EXPECT_EQ(s.host.WithUnit([](Unit& u) { return u.memory()[0x0010]; }), 0x42);
  EXPECT_EQ(s.pc.ReadFor(milliseconds(300)), "") << "no stream while loading";
}

TEST(PtyHostTest, ThePcCanCloseAndComeBack) {
  const std::string file = "$FIRST,1*00\r\n" + std::string(400, 'x');
  UnitOptions unit;
  unit.replay = std::vector<uint8_t>(file.begin(), file.end());
  HostOptions host;
  host.pacing = false;
  Served s(unit, host);
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(s.Connect(4800)) << "round " << round;
    ASSERT_TRUE(Eventually(s.pc, [&] { return s.host.PcConnected(); })) << "round " << round;
    ASSERT_TRUE(s.pc.Write("$PZTQC,G$PZTQC,G$PZTQC,G"));
    EXPECT_EQ(s.pc.Read(300, milliseconds(5000)), file.substr(0, 300))
        << "every connection's blocks begin at the file's first byte; round " << round;
    s.pc.Close();
    ASSERT_TRUE(Eventually(s.pc, [&] { return !s.host.PcConnected(); }, milliseconds(3000)))
        << "round " << round;
  }
}

TEST(PtyHostTest, FlashCableEchoesOverThePty) {
  UnitOptions unit;
  unit.cable = Cable::Flash;
  Served s(unit);
  ASSERT_TRUE(s.Connect(4800));
  ASSERT_TRUE(s.pc.Write("$PZTQC,P"));
  EXPECT_EQ(s.pc.Read(8, milliseconds(3000)), "$PZTQC,P");
  EXPECT_EQ(s.pc.ReadFor(milliseconds(200)), "");
}

TEST(PtyHostTest, LinkIsMadeAndRemovedAndStopIsQuick) {
  const std::string dir = TempDir();
  const std::string link = dir + "/quorvel";
  HostOptions host;
  host.linkPath = link;
  {
    Served s({}, host);
    ASSERT_TRUE(s.started);
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), s.host.SlavePath());
    ASSERT_TRUE(s.Connect(4800));
    s.pc.Read(10, milliseconds(3000));
    const auto start = Clock::now();
    s.host.Stop();
    EXPECT_LT(Clock::now() - start, milliseconds(500));
    EXPECT_FALSE(s.host.Running());
    struct stat st{};
    EXPECT_NE(lstat(link.c_str(), &st), 0) << "link removed";
    s.host.Stop();  // twice is harmless
  }
  rmdir(dir.c_str());
}

TEST(PtyHostTest, ALinkPathHoldingAFileIsRefused) {
  const std::string dir = TempDir();
  const std::string path = dir + "/taken";
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  HostOptions host;
  host.linkPath = path;
  PtyHost h(UnitOptions{}, host);
  std::string error;
  EXPECT_FALSE(h.Start(error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_FALSE(h.Running());
  struct stat st{};
  ASSERT_EQ(lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode)) << "the file is left alone";
  unlink(path.c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace orv::sim::test
