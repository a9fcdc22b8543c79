// What the raw monitor makes of a stream: real logs fed in 300-byte blocks,
// then lines that show each checksum verdict and each way a line is cut.
// The expected counts were taken from the logs with a separate script.
#include <gtest/gtest.h>


#include "serial/BlockTap.h"
#include "serial/StreamMonitor.h"
#include "tests/support/ReadFile.h"

namespace orv::serial {
namespace {

TEST(StreamMonitor, CountsRealLogs) {
  // Types in the order $IIXDR, $SDMTW, $SDDBT, $SDVLW, $SDVHW, $GPRMC, $GPGLL.
  const struct {
    const char* log;
    std::array<long long, kSentenceTypes> known, otherTalker;
    long long others;
  } rows[] = {
      {"hakefjord-sweden-2015.nmea", {0, 0, 0, 0, 0, 23, 15}, {0, 44, 0, 44, 44, 44, 0}, 386},
      {"pacific-cup-start-sd.nmea", {0, 22, 22, 0, 22, 11, 11}, {0, 0, 0, 0, 0, 0, 0}, 512},
  };
  for (const auto& row : rows) {
    const std::string log = orv::test::ReadFile(std::string(ORVANTA_SOURCE_DIR) + "/tests/display/data/" + row.log);
    ASSERT_FALSE(log.empty()) << row.log;
    StreamMonitor monitor;
    for (size_t at = 0; at < log.size(); at += 300) monitor.Feed(log.data() + at, std::min<size_t>(300, log.size() - at), 0, 0);
    const MonitorCounts& c = monitor.Counts();
    for (size_t t = 0; t < kSentenceTypes; ++t) {
      EXPECT_EQ(c.types[t].known, row.known[t]) << row.log << ": " << kSentenceHeaders[t];
      EXPECT_EQ(c.types[t].otherTalker, row.otherTalker[t]) << row.log << ": other talker " << kSentenceHeaders[t];
    }
    EXPECT_EQ(c.otherSentences, row.others) << row.log;
    EXPECT_EQ(c.sentences, 600) << row.log;
    EXPECT_EQ(c.valid, 600) << row.log << ": every line of these logs is whole";
    EXPECT_EQ(monitor.LinesSeen(), 600u) << row.log;
    EXPECT_EQ(monitor.Lines().size(), kMonitorLines) << row.log;
    EXPECT_EQ(c.bytes, static_cast<long long>(log.size())) << row.log;
  }
}

TEST(StreamMonitor, LineVerdicts) {
  using C = Checksum;
  const struct {
    const char* legend;
    std::vector<std::string> blocks;
    std::vector<std::string> lines;  // as shown
    std::vector<Checksum> verdicts;
  } rows[] = {
      {"valid, wrong, none, a digit short, lower-case",
       {"$SDMTW,12.5,C*02\r\n$SDMTW,12.5,C*03\r\n$PZTQS,ECO RUN,1\r\n$SDMTW,12.5,C*0\r\n$SDDBT,7.8,f,2.4,M,1.3,F*0d\r\n"},
       {"$SDMTW,12.5,C*02", "$SDMTW,12.5,C*03", "$PZTQS,ECO RUN,1", "$SDMTW,12.5,C*0", "$SDDBT,7.8,f,2.4,M,1.3,F*0d"},
       {C::Valid, C::Invalid, C::Absent, C::Invalid, C::Valid}},
      {"joined across blocks", {"$SDDBT,7.8,f,2", ".4,M,1.3,F*0D\r", "\n"}, {"$SDDBT,7.8,f,2.4,M,1.3,F*0D"}, {C::Valid}},
      {"a lone CR ends a line; noise before the sentence",
       {std::string("x\0$SDMTW,12.5,C*02\r", 19)}, {"x<00>$SDMTW,12.5,C*02"}, {C::Valid}},
      {"the tail of a sentence the stream began in", {".5,C*02\r\n"}, {".5,C*02"}, {C::NotSentence}},
      {"a zero byte inside a sentence", {std::string("$SDMTW,1") + '\0' + "2.5,C*02\n"}, {"$SDMTW,1<00>2.5,C*02"},
       {C::NotSentence}},
      {"a line without an end is cut", {std::string(250, 'A')}, {std::string(kMaxLineBytes, 'A')}, {C::NotSentence}},
  };
  for (const auto& row : rows) {
    StreamMonitor monitor;
    for (const std::string& block : row.blocks) monitor.Feed(block.data(), block.size(), 0, 0);
    ASSERT_EQ(monitor.Lines().size(), row.lines.size()) << row.legend;
    for (size_t i = 0; i < row.lines.size(); ++i) {
      EXPECT_EQ(Printable(monitor.Lines()[i].text), row.lines[i]) << row.legend << ": line " << i;
      EXPECT_EQ(monitor.Lines()[i].checksum, row.verdicts[i]) << row.legend << ": line " << i;
    }
  }
}

// 4800 bit/s: 300 bytes every 625 ms; the rate holds between blocks and
// falls once the stream has been quiet for a while.
TEST(StreamMonitor, Rates) {
  StreamMonitor monitor;
  const std::string block = std::string(280, 'x') + "\r\n$PZTQS,ECO RUN,1\r\n";
  for (int i = 0; i < 10; ++i) monitor.Feed(block.data(), 300, 0, 625 * i);
  EXPECT_DOUBLE_EQ(monitor.BytesPerSecond(625 * 9), 480.0);
  EXPECT_DOUBLE_EQ(monitor.BytesPerSecond(625 * 9 + 600), 480.0);
  EXPECT_DOUBLE_EQ(monitor.SentencesPerSecond(625 * 9), 1.6);
  EXPECT_LT(monitor.BytesPerSecond(625 * 9 + 3000), 300.0);
  EXPECT_EQ(monitor.BytesPerSecond(625 * 9 + 10000), 0.0);
}

TEST(BlockTap, TakesNothingUnwatchedAndDropsTheOldestWhenFull) {
  BlockTap tap(1000);
  const std::string block(300, 'x');
  long long dropped = -1;
  for (unsigned i = 0; i < 6; ++i) {
    tap.SetActive(i > 0);
    tap.Push(block.data(), 300, i);
  }
  const std::vector<TappedBlock> taken = tap.Take(dropped);
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_EQ(taken.front().stream, 3u);
  EXPECT_EQ(dropped, 600);
}

}  // namespace
}  // namespace orv::serial
