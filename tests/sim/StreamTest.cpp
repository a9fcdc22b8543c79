// The generated sentence stream of the data cable, byte for byte.
#include <gtest/gtest.h>

#include <set>

#include "UnitDriver.h"
#include "sim/Nmea.h"

namespace orv::sim::test {
namespace {

std::string Stream(uint32_t seed, int64_t ms, int baud = 4800, int64_t stepMs = 10) {
  UnitOptions options;
  options.seed = seed;
  options.unitBaud = baud;
  Unit unit(options);
  return UnitDriver(unit, baud).Run(ms, stepMs);
}

std::vector<std::string> Fields(const std::string& sentence) {
  std::vector<std::string> fields;
  const std::string body = sentence.substr(1, sentence.find('*') - 1);
  for (size_t start = 0;;) {
    const size_t comma = body.find(',', start);
    fields.push_back(body.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

TEST(StreamTest, EverySentenceIsWellFormedAndNothingLiesBetweenThem) {
  EXPECT_EQ(NmeaSentence("IIXDR,C,0071.5,C,ENGTMP3"), "$IIXDR,C,0071.5,C,ENGTMP3*65\r\n");
  for (const uint32_t seed : {1u, 7u, 4000000000u}) {
    const std::string stream = Stream(seed, 60000);
    std::string joined;
    std::set<std::string> kinds;
    std::set<char> transducers;
    for (const std::string& s : Sentences(stream)) {
      EXPECT_TRUE(WellFormed(s)) << "seed " << seed << ": " << s;
      joined += s;
      kinds.insert(s.substr(0, 7));
      const std::vector<std::string> f = Fields(s);
      if (f[0] != "IIXDR") continue;
      // Type, a six-character value, unit, a seven-character name ending in the index.
      EXPECT_TRUE(f.size() == 5 && f[1].size() == 1 && f[2].size() == 6 && f[2].find('.') != std::string::npos &&
                  f[3].size() == 1 && f[4].size() == 7) << s;
      transducers.insert(f.back().back());
    }
    EXPECT_EQ(stream.substr(stream.find('$'), joined.size()), joined) << "seed " << seed;
    EXPECT_EQ(kinds, (std::set<std::string>{"$IIXDR,", "$SDMTW,", "$SDDBT,", "$SDVLW,", "$SDVHW,", "$GPRMC,",
                                            "$GPGLL,", "$PZTQS,"})) << "seed " << seed;
    EXPECT_EQ(transducers, (std::set<char>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D',
                                           'E', 'F'})) << "seed " << seed;
  }
  EXPECT_NE(Stream(3, 5000).find(",C,ENGTMP3*"), std::string::npos);
  EXPECT_EQ(Stream(42, 20000), Stream(42, 20000)) << "a seed gives the same stream every time";
  EXPECT_NE(Stream(42, 20000), Stream(43, 20000));
}

TEST(StreamTest, RateKeepsToTheUnitsBaudAndALateHostGetsNoBurst) {
  struct Case {
    const char* legend;
    int baud;
    int64_t stepMs;
  } cases[] = {
      {"4800, host every 10 ms", 4800, 10},
      {"4800, host every 200 ms", 4800, 200},
      {"38400, host every 3 ms", 38400, 3},
  };
  for (const Case& c : cases) {
    const double got = static_cast<double>(Stream(1, 10000, c.baud, c.stepMs).size());
    // The line's clock starts at the host's first look.
    const double ideal = c.baud / 10.0 * static_cast<double>(10000 - c.stepMs) / 1000.0;
    EXPECT_LE(got, ideal + 1) << c.legend;
    EXPECT_GE(got, ideal * 0.99) << c.legend << ": the line stays saturated";
  }
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  driver.Run(1000);
  // Nothing taken for five seconds: a real line would have lost those bytes.
  EXPECT_LE(driver.Run(5000, 5000).size(), 121u);
  // --no-pacing: as fast as it is taken.
  UnitOptions unpaced;
  unpaced.pacedStream = false;
  Unit fast(unpaced);
  uint8_t buffer[4096];
  EXPECT_EQ(fast.Transmit(buffer, sizeof buffer, 4800, 0), sizeof buffer);
}

// How often a 300-byte block, as the PC's receive thread reads it, holds the
// headers in this order, each with 33 characters from its "$" on.
TEST(StreamTest, BlocksServeTheStatusAndTheDisplayPages) {
  const std::string stream = Stream(1, 120000);
  struct Page {
    const char* legend;
    std::vector<std::string> headers;
    size_t step;
    double atLeast;
  } pages[] = {
      {"status, every block", {"$PZTQS,RUN,"}, 7, 1.0},
      {"sonar page", {"$SDVHW,", "$SDDBT,", "$SDMTW,"}, 300, 0.25},
      {"GPS page", {"$GPRMC,"}, 300, 0.4},
      {"eight transducers", std::vector<std::string>(8, "$IIXDR,"), 300, 0.05},
      {"four transducers", std::vector<std::string>(4, "$IIXDR,"), 300, 0.35},
  };
  for (const Page& page : pages) {
    int served = 0;
    int blocks = 0;
    for (size_t offset = 0; offset + 300 <= stream.size(); offset += page.step, ++blocks) {
      size_t from = 0;
      for (const std::string& h : page.headers) {
        const size_t at = stream.find(h, offset + from);
        from = at == std::string::npos || at + 33 > offset + 300 ? 300 : at + 1 - offset;
      }
      served += from < 300;
    }
    EXPECT_GE(static_cast<double>(served) / blocks, page.atLeast) << page.legend;
  }
}

}  // namespace
}  // namespace orv::sim::test
