// The raw log: which bytes of the stream reach the file, and a write that
// fails.
#include <gtest/gtest.h>

#include <cstdio>

#include "capture/RawLog.h"
#include "tests/support/ReadFile.h"

namespace orv::capture {
namespace {

TEST(RawLog, CompleteSentencesOneALine) {
  const std::string kRestart = "<restart>";
  const struct {
    const char* legend;
    std::vector<std::string> blocks;  // kRestart: a new connection
    std::string file;
  } rows[] = {
      {"joined across blocks; LF alone becomes CR LF; the first and last pieces are left out",
       {"RMC,tail*00\r\n$SDMTW,12.5,C*02\n$SDD", "BT,7.8,f,2.4,M,1.3,F*0D\r\n$SDVH"},
       "$SDMTW,12.5,C*02\r\n$SDDBT,7.8,f,2.4,M,1.3,F*0D\r\n"},
      {"a wrong checksum is kept; noise, a zero byte and an overlong line are not",
       {"noise\r\n$SDMTW,12.5,C*03\r\n", std::string("$SD\0MTW,1*00\r\n", 14), "$" + std::string(300, 'A') + "\r\n"},
       "$SDMTW,12.5,C*03\r\n"},
      {"noise before a sentence on its line; AIS", {"\x7f\x13$SDMTW,12.5,C*02\r\n!AIVDM,1,1,,A,13aG,0*5C\r\n"},
       "$SDMTW,12.5,C*02\r\n!AIVDM,1,1,,A,13aG,0*5C\r\n"},
      {"a sentence cut by the end of a connection", {"$SDMTW,12", kRestart, ".5,C*02\r\n$SDMTW,12.5,C*02\r\n"},
       "$SDMTW,12.5,C*02\r\n"},
  };
  const std::string path = ::testing::TempDir() + "raw-log-test.nmea";
  for (const auto& row : rows) {
    RawLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, error)) << error;
    for (const std::string& block : row.blocks) {
      if (block == kRestart) {
        log.Restart();
      } else {
        log.Feed(block.data(), block.size());
      }
    }
    EXPECT_TRUE(log.Close()) << row.legend;
    EXPECT_EQ(orv::test::ReadFile(path), row.file) << row.legend;
  }
  std::remove(path.c_str());
}

TEST(RawLog, AFailedWriteIsReported) {
  RawLog log;
  std::string error;
  EXPECT_FALSE(log.Open("/nonexistent/dir/raw.nmea", error));
  EXPECT_FALSE(error.empty());
#ifdef _WIN32
  GTEST_SKIP() << "no device that is always full";
#endif
  ASSERT_TRUE(log.Open("/dev/full", error)) << error;
  const std::string sentence = "$SDMTW,12.5,C*02\r\n";
  log.Feed(sentence.data(), sentence.size());
  EXPECT_FALSE(log.Flush());
  EXPECT_FALSE(log.Close());
}

}  // namespace
}  // namespace orv::capture
