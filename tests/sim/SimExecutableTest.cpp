// quorvel-sim as a user or an end-to-end test runs it.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>

#include "SimProcess.h"
#include "tests/support/Pty.h"
#include "tests/support/ReadFile.h"

namespace orv::sim::test {
namespace {

const std::chrono::milliseconds kExitBound(3000);

class SimExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/orv-sim-exe-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  // A path in the test's directory, holding `bytes` when there are any.
  std::string File(const std::string& name, const std::string& bytes = "") {
    const std::string path = dir_ + "/" + name;
    if (!bytes.empty()) std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string dir_;
};

// The stream, then the loader changing the memory it was given; either
// signal ends it, the link removed and the memory dumped.
TEST_F(SimExecutableTest, ServesItsLinkProgramsItsMemoryAndDumpsOnEitherSignal) {
  const std::string image = File("start.hex", ":021000001122BB\n:02200000334467\n:00000001FF\n");
  std::string expected(65536, '\xFF');
  expected.replace(0x1000, 2, "\x11\x22");
  expected.replace(0x2010, 2, "\x55\x66");  // page 0x10 erased: 0x2000 lost its 0x33 0x44
  for (const int signal : {SIGTERM, SIGINT}) {
    const std::string link = File("quorvel" + std::to_string(signal));
    const std::string dump = File("dump" + std::to_string(signal));
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", link, "--memory", image, "--dump", dump}));
    ASSERT_EQ(sim.SlavePath().rfind("/dev/pts/", 0), 0u) << sim.SlavePath();
    EXPECT_EQ(std::filesystem::read_symlink(link), sim.SlavePath());
    {
      orv::test::Pty pc(link, B4800);
      // Every 300 bytes of the stream carry the status sentence.
      const std::string got = pc.Receive(400, 5000);
      EXPECT_NE(got.find("$PZTQS,RUN,"), std::string::npos) << got;
      ASSERT_TRUE(pc.Send("$PZTQC,P"));
      pc.ReceiveFor(300);  // the stream up to P
      ASSERT_TRUE(pc.Send("  *1010"));
      ASSERT_EQ(pc.Receive(6, 3000), "1010\r\n");
      ASSERT_TRUE(pc.Send(":02201000556613\n"));
      ASSERT_EQ(pc.Receive(6, 3000), "2010\r\n");
    }
    sim.Signal(signal);
    int status = -1;
    ASSERT_TRUE(sim.Wait(kExitBound, status)) << "ends soon after signal " << signal;
    EXPECT_EQ(status, 0) << sim.Errors();
    EXPECT_FALSE(std::filesystem::is_symlink(link)) << "link removed";
    EXPECT_TRUE(orv::test::ReadFile(dump) == expected) << "signal " << signal;
  }
}

// A link path that holds a file of the user's is refused, the file left alone.
TEST_F(SimExecutableTest, ALinkPathHoldingAFileIsRefused) {
  const std::string taken = File("taken", "a file of the user's");
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({"--link", taken}, error)) << error;
  int status = -1;
  ASSERT_TRUE(sim.Wait(kExitBound, status));
  EXPECT_EQ(status, 1);
  EXPECT_NE(sim.Errors().find(taken), std::string::npos) << sim.Errors();
  EXPECT_EQ(orv::test::ReadFile(taken), "a file of the user's");
}

}  // namespace
}  // namespace orv::sim::test
