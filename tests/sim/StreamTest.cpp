// The generated sentence stream of the data cable, byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "UnitDriver.h"
#include "sim/Nmea.h"
#include "sim/Unit.h"

namespace orv::sim::test {
namespace {

std::string Stream(uint32_t seed, int64_t ms, int baud = 4800) {
  UnitOptions options;
  options.seed = seed;
  options.unitBaud = baud;
  Unit unit(options);
  UnitDriver driver(unit, baud);
  return driver.Run(ms);
}

std::vector<std::string> Fields(const std::string& sentence) {
  std::vector<std::string> fields;
  const std::string body = sentence.substr(1, sentence.find('*') - 1);
  size_t start = 0;
  for (;;) {
    const size_t comma = body.find(',', start);
    fields.push_back(body.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

TEST(NmeaTest, ChecksumsOfKnownSentences) {
  struct Case {
    const char* legend;
    const char* body;
    uint8_t checksum;
  } cases[] = {
      {"transducer", "IIXDR,C,0071.5,C,ENGTMP3", 0x65},
      {"position", "GPGLL,4916.45,N,12311.12,W,225444,A", 0x31},
      {"depth", "SDDBT,7.8,f,2.4,M,1.3,F", 0x0D},
      {"water temperature", "SDMTW,12.5,C", 0x02},
      {"empty body", "", 0x00},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NmeaChecksum(c.body), c.checksum) << c.legend << ": " << c.body;
  }
  EXPECT_EQ(NmeaSentence("SDMTW,12.5,C"), "$SDMTW,12.5,C*02\r\n");
}

TEST(StreamTest, EverySentenceIsWellFormedAndNothingLiesBetweenThem) {
  for (const uint32_t seed : {1u, 7u, 4000000000u}) {
    const std::string stream = Stream(seed, 60000);
    const std::vector<std::string> sentences = Sentences(stream);
    ASSERT_GT(sentences.size(), 500u) << "seed " << seed;
    std::string joined;
    for (const std::string& s : sentences) {
      std::string why;
      EXPECT_TRUE(WellFormed(s, why)) << "seed " << seed << ": " << s << " " << why;
      joined += s;
    }
    const size_t first = stream.find('$');
    EXPECT_EQ(stream.substr(first, joined.size()), joined) << "seed " << seed;
  }
}

TEST(StreamTest, SendsEveryKindOfSentence) {
  std::map<std::string, int> count;
  for (const std::string& s : Sentences(Stream(1, 30000))) ++count[s.substr(0, 7)];
  for (const char* header : {"$IIXDR,", "$SDMTW,", "$SDDBT,", "$SDVLW,", "$SDVHW,", "$GPRMC,",
                             "$GPGLL,", "$PZTQS,"}) {
    EXPECT_GT(count[header], 0) << header;
  }
  EXPECT_EQ(count.size(), 8u);
  // Each round of four frames: sixteen transducers, two of everything else.
  EXPECT_LE(std::abs(count["$IIXDR,"] - 8 * count["$SDVHW,"]), 16);
  EXPECT_LE(std::abs(count["$PZTQS,"] - 2 * count["$SDVHW,"]), 2);
}

TEST(StreamTest, TransducerSentencesHaveTheFixedFieldWidths) {
  std::set<int> indexes;
  for (const std::string& s : Sentences(Stream(3, 20000))) {
    if (s.compare(0, 7, "$IIXDR,") != 0) continue;
    const std::vector<std::string> f = Fields(s);
    ASSERT_EQ(f.size(), 5u) << s;
    EXPECT_EQ(f[1].size(), 1u) << s;
    EXPECT_EQ(f[2].size(), 6u) << "six-character value: " << s;
    EXPECT_NE(f[2].find('.'), std::string::npos) << s;
    EXPECT_EQ(f[3].size(), 1u) << s;
    ASSERT_EQ(f[4].size(), 7u) << "seven-character name: " << s;
    const char last = f[4][6];
    const int index = last <= '9' ? last - '0' : last - 'A' + 10;
    EXPECT_TRUE((last >= '0' && last <= '9') || (last >= 'A' && last <= 'F')) << s;
    indexes.insert(index);
  }
  EXPECT_EQ(indexes.size(), 16u);
  // Index 3 is the engine temperature, in degrees C.
  const std::string stream = Stream(3, 5000);
  EXPECT_NE(stream.find(",C,ENGTMP3*"), std::string::npos);
}

TEST(StreamTest, RateKeepsToTheUnitsBaud) {
  struct Case {
    const char* legend;
    int baud;
    int64_t stepMs;
  } cases[] = {
      {"4800, host every 10 ms", 4800, 10},
      {"4800, host every 200 ms", 4800, 200},
      {"9600, host every 10 ms", 9600, 10},
      {"38400, host every 3 ms", 38400, 3},
  };
  for (const Case& c : cases) {
    UnitOptions options;
    options.unitBaud = c.baud;
    Unit unit(options);
    UnitDriver driver(unit, c.baud);
    const int64_t ms = 10000;
    const double got = static_cast<double>(driver.Run(ms, c.stepMs).size());
    // The line's clock starts at the host's first look.
    const double ideal = static_cast<double>(c.baud) / 10.0 * static_cast<double>(ms - c.stepMs) / 1000.0;
    EXPECT_LE(got, ideal + 1) << c.legend;
    EXPECT_GE(got, ideal * 0.99) << c.legend << ": the line stays saturated";
  }
}

TEST(StreamTest, AHostThatFallsBehindGetsNoBurst) {
  Unit unit(UnitOptions{});
  UnitDriver driver(unit);
  driver.Run(1000);
  // Nothing taken for five seconds: a real line would have lost those bytes.
  const std::string burst = driver.Run(5000, 5000);
  EXPECT_LE(burst.size(), 121u);
}

// What the PC's receive thread takes from a block: the status text.
std::string BlockStatus(const std::string& block, bool& found) {
  const size_t i = block.find("$PZTQS,");
  found = i != std::string::npos && i + 17 < block.size();
  if (!found) return "";
  const std::string ten = block.substr(i + 7, 10);
  return ten.substr(0, ten.find(','));
}

TEST(StreamTest, EveryBlockOf300BytesCarriesTheStatusText) {
  const std::string stream = Stream(1, 40000);
  for (size_t offset = 0; offset + 300 <= stream.size(); offset += 7) {
    bool found = false;
    const std::string status = BlockStatus(stream.substr(offset, 300), found);
    ASSERT_TRUE(found) << "block at " << offset;
    EXPECT_EQ(status, "RUN") << "block at " << offset;
  }
}

// Whether the PC's decoder finds the headers in this order in the block,
// each with 33 characters from its "$" to the end of the block.
bool BlockServes(const std::string& block, const std::vector<std::string>& headers) {
  size_t from = 0;
  for (const std::string& h : headers) {
    const size_t at = block.find(h, from);
    if (at == std::string::npos || at + 32 >= block.size()) return false;
    from = at + 1;
  }
  return true;
}

TEST(StreamTest, DisplayPagesAreServedOften) {
  const std::string stream = Stream(1, 120000);
  struct Page {
    const char* legend;
    std::vector<std::string> headers;
    double atLeast;
  } pages[] = {
      {"sonar page", {"$SDVHW,", "$SDDBT,", "$SDMTW,"}, 0.25},
      {"GPS page", {"$GPRMC,"}, 0.4},
      {"eight transducers", std::vector<std::string>(8, "$IIXDR,"), 0.05},
      {"four transducers", std::vector<std::string>(4, "$IIXDR,"), 0.35},
  };
  for (const Page& page : pages) {
    int served = 0;
    int blocks = 0;
    for (size_t offset = 0; offset + 300 <= stream.size(); offset += 300, ++blocks) {
      if (BlockServes(stream.substr(offset, 300), page.headers)) ++served;
    }
    EXPECT_GE(static_cast<double>(served) / blocks, page.atLeast) << page.legend;
  }
}

TEST(StreamTest, SameSeedSameBytesOtherSeedOtherValues) {
  EXPECT_EQ(Stream(42, 20000), Stream(42, 20000));
  EXPECT_NE(Stream(42, 20000), Stream(43, 20000));
}

TEST(StreamTest, ValuesDriftSlowlyAndTheBoatMoves) {
  double lastDepth = -1;
  std::set<std::string> positions;
  for (const std::string& s : Sentences(Stream(9, 120000))) {
    const std::vector<std::string> f = Fields(s);
    if (f[0] == "SDDBT") {
      const double depth = std::atof(f[3].c_str());
      EXPECT_GT(depth, 1.0) << s;
      if (lastDepth >= 0) {
        EXPECT_LT(std::fabs(depth - lastDepth), 1.0) << s;
      }
      lastDepth = depth;
    }
    if (f[0] == "GPRMC") {
      EXPECT_EQ(f.size(), 12u) << s;
      EXPECT_EQ(f[2], "A") << s;
      positions.insert(f[3] + f[5]);
    }
  }
  EXPECT_GT(positions.size(), 20u) << "the position changes along the track";
}

}  // namespace
}  // namespace orv::sim::test
