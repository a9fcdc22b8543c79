// quorvel-sim as a user or an end-to-end test runs it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "PtyClient.h"
#include "SimProcess.h"

namespace orv::sim::test {
namespace {

using std::chrono::milliseconds;

const milliseconds kStartBound(5000);
const milliseconds kExitBound(3000);

class SimExecutableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/orv-sim-exe-XXXXXX";
    const char* d = mkdtemp(name);
    ASSERT_NE(d, nullptr);
    dir_ = d;
  }
  void TearDown() override {
    for (const std::string& f : files_) unlink(f.c_str());
    rmdir(dir_.c_str());
  }
  std::string Path(const std::string& name) {
    files_.push_back(dir_ + "/" + name);
    return files_.back();
  }
  void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string dir_;
  std::vector<std::string> files_;
};

TEST_F(SimExecutableTest, PrintsTheTerminalFirstServesItAndEndsOnSigterm) {
  const std::string link = Path("quorvel");
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({"--link", link}, error)) << error;
  const std::string slave = sim.FirstLine(kStartBound);
  ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(slave, target);

  PtyClient pc;
  ASSERT_TRUE(pc.Open(link, 4800, error)) << error;
  const std::string got = pc.ReadUntil("$PZTQS,RUN,", milliseconds(5000));
  EXPECT_NE(got.find("$PZTQS,RUN,"), std::string::npos);
  pc.Close();

  sim.Signal(SIGTERM);
  int status = -1;
  ASSERT_TRUE(sim.Wait(kExitBound, status)) << "ends soon after SIGTERM";
  EXPECT_EQ(status, 0) << sim.Errors();
  struct stat st{};
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "link removed";
}

TEST_F(SimExecutableTest, SigintEndsItToo) {
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({}, error)) << error;
  ASSERT_FALSE(sim.FirstLine(kStartBound).empty());
  sim.Signal(SIGINT);
  int status = -1;
  ASSERT_TRUE(sim.Wait(kExitBound, status));
  EXPECT_EQ(status, 0);
}

TEST_F(SimExecutableTest, MemoryComesInProgrammingChangesItAndTheDumpShowsIt) {
  const std::string image = Path("start.hex");
  const std::string dump = Path("dump.bin");
  WriteFile(image, ":021000001122BB\n:02200000334467\n:00000001FF\n");
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({"--memory", image, "--dump", dump, "--no-pacing"}, error)) << error;
  const std::string slave = sim.FirstLine(kStartBound);
  ASSERT_FALSE(slave.empty());

  PtyClient pc;
  ASSERT_TRUE(pc.Open(slave, 4800, error)) << error;
  ASSERT_TRUE(pc.Write("$PZTQC,P"));
  pc.ReadFor(milliseconds(300));  // the stream up to P
  // Erase page 0x10 (0x2000-0x21FF) and program two bytes there.
  ASSERT_TRUE(pc.Write("  *1010"));
  ASSERT_EQ(pc.Read(6, milliseconds(3000)), "1010\r\n");
  ASSERT_TRUE(pc.Write(":02201000556613\n"));
  ASSERT_EQ(pc.Read(6, milliseconds(3000)), "2010\r\n");
  pc.Close();

  sim.Signal(SIGTERM);
  int status = -1;
  ASSERT_TRUE(sim.Wait(kExitBound, status));
  ASSERT_EQ(status, 0) << sim.Errors();
  const std::string memory = ReadFile(dump);
  ASSERT_EQ(memory.size(), 65536u);
  std::string expected(65536, '\xFF');
  expected[0x1000] = '\x11';
  expected[0x1001] = '\x22';
  expected[0x2010] = '\x55';  // page 0x10 erased, so 0x2000 lost its 0x33 0x44
  expected[0x2011] = '\x66';
  EXPECT_TRUE(memory == expected);
}

TEST_F(SimExecutableTest, ABinaryMemoryFileComesBackUnchanged) {
  const std::string image = Path("start.bin");
  const std::string dump = Path("dump.bin");
  std::string bytes(65536, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + (i >> 8));
  WriteFile(image, bytes);
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({"--memory", image, "--dump", dump}, error)) << error;
  ASSERT_FALSE(sim.FirstLine(kStartBound).empty());
  sim.Signal(SIGTERM);
  int status = -1;
  ASSERT_TRUE(sim.Wait(kExitBound, status));
  EXPECT_TRUE(ReadFile(dump) == bytes);
}

TEST_F(SimExecutableTest, ReplayBlocksBeginAtTheFilesFirstByte) {
  const std::string log = Path("log.nmea");
  std::string text;
  for (int i = 0; i < 40; ++i) text += "$SDMTW,1" + std::to_string(i % 10) + ".5,C*00\r\n";
  WriteFile(log, text);
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(sim.Spawn({"--replay", log, "--no-pacing"}, error)) << error;
  const std::string slave = sim.FirstLine(kStartBound);
  PtyClient pc;
  ASSERT_TRUE(pc.Open(slave, 4800, error)) << error;
  EXPECT_EQ(pc.ReadFor(milliseconds(200)), "") << "silent until G";
  ASSERT_TRUE(pc.Write("$PZTQC,G$PZTQC,G$PZTQC,G"));
  EXPECT_EQ(pc.Read(300, milliseconds(5000)), text.substr(0, 300));
  sim.Signal(SIGTERM);
  int status = -1;
  EXPECT_TRUE(sim.Wait(kExitBound, status));
}

TEST_F(SimExecutableTest, BadArgumentsGiveUsageAndExitCode2) {
  struct Case {
    const char* legend;
    std::vector<std::string> args;
  } cases[] = {
      {"unknown option", {"--frobnicate"}},
      {"bad cable", {"--cable", "wifi"}},
      {"bad fault", {"--fault", "gremlins"}},
      {"loop alone", {"--loop"}},
  };
  for (const Case& c : cases) {
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Spawn(c.args, error)) << error;
    int status = -1;
    ASSERT_TRUE(sim.Wait(kExitBound, status)) << c.legend;
    EXPECT_EQ(status, 2) << c.legend;
    const std::string errors = sim.Errors();
    EXPECT_NE(errors.find("usage: quorvel-sim"), std::string::npos) << c.legend << ": " << errors;
  }
}

TEST_F(SimExecutableTest, AMissingFileIsNamed) {
  const std::string missing = dir_ + "/no-such.bin";
  for (const char* option : {"--memory", "--replay"}) {
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Spawn({option, missing}, error)) << error;
    int status = -1;
    ASSERT_TRUE(sim.Wait(kExitBound, status)) << option;
    EXPECT_EQ(status, 1) << option;
    EXPECT_NE(sim.Errors().find(missing), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace orv::sim::test
