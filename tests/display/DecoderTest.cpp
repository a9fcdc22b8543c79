// Blocks as the unit sends them, decoded on a display whose cells all show
// "-" and whose raw slots hold a marker, so that every cell and slot the
// decoder leaves alone is seen to be left alone.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "display/PageFile.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

std::string L(const std::string& sentence) { return sentence + "\r\n"; }

// The unit's status sentence: something for the 33-character margin to hold.
const std::string kFill = "$PZTQS,RUNNING OK\r\n$PZTQS,RUNNING OK\r\n";

const std::string kDbt = "$SDDBT,7.8,f,2.4,M,1.3,F*0D";
const std::string kMtw = "$SDMTW,12.5,C*02";
const std::string kVhw = "$SDVHW,,T,303,M,06.99,N,12.61,K*70";
const std::string kRmc = "$GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44";
const std::string kXdr3 = "$IIXDR,C,0071.5,C,ENGTMP3*65";
const std::string kXdr12 = "$IIXDR,C,0071.5,C,ENGTMPC*15";
const std::string kOil4 = "$IIXDR,C,0082.0,C,OILTMP4*6D";

using Keys = std::vector<std::string>;
using Lines = std::vector<std::pair<int, std::string>>;  // row or raw slot, its text
const Keys kFileKeys = {"#00::", "#01::", "#02::", "#03::", "#04::", "#05::", "#06::", "#07::"};
const Lines kDbtRows = {{4, "Depth f 7.8"}, {5, "Depth M 2.4"}, {6, "Depth F 1.3"}};
const Lines kVhwRows = {{0, "HEAD T     "}, {1, "HEAD M  303"}, {2, "SPEED 06.99"}, {3, "SPEED 12.61"}};

struct Case {
  const char* legend;
  int type;
  Keys page;  // slots of the type's page; empty: the built-in pages
  std::string block;
  Lines rows;  // rows written; every other row keeps its dashes
  Lines raw;   // raw slots written ("" for emptied); every other slot keeps its marker
};

std::string Expected(const Lines& lines, int at, const std::string& otherwise) {
  std::string text = otherwise;
  for (const auto& [n, line] : lines) {
    if (n == at) text = line;
  }
  return text;
}

void Check(const Case& c) {
  SCOPED_TRACE(std::string(c.legend) + "\n  block: " + test::Printable(c.block));
  DisplayModel model;
  model.SetDefaultPages();
  for (int slot = 0; slot < kSlots && !c.page.empty(); ++slot) {
    model.m_strSlotKey[c.type][slot] = slot < static_cast<int>(c.page.size()) ? c.page[slot] : "";
  }
  model.ResetDisplay();
  model.m_nDisplayType = c.type;
  for (int slot = 0; slot < kSlots; ++slot) model.m_strSlotSentence[slot] = Format("before %d", slot);

  EXPECT_TRUE(model.DecodeBlock(c.block));
  for (int row = 0; row < kRows; ++row) {
    EXPECT_EQ(test::RowText(model, row), Expected(c.rows, row, "-----------")) << "row " << row;
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    EXPECT_EQ(test::Printable(model.m_strSlotSentence[slot]),
              test::Printable(Expected(c.raw, slot, Format("before %d", slot))))
        << "raw slot " << slot;
  }
}

// The fixed-layout sentences are in the real logs of the golden test; GLL
// there has two- and three-digit degrees only.
TEST(DecodeBlock, PositionAndTransducerSentences) {
  const Case cases[] = {
      {"GLL latitude 916.45 N: degrees right-aligned", 3, Keys(8, "$GPGLL,"),
       L("$GPGLL,916.45,N,12311.12,W,225444,A*05") + kFill,
       {{0, "N  9.16 .27"}, {1, "W123.11 .07"}, {2, "TIME 225444"}}, {{2, "$GPGLL,916.45,N,12311.12,W,225444,A*05"}}},
      {"ENGTMP3 writes row 3 on type 0; raw text keeps the CR", 0, {}, L(kXdr3) + kFill, {{3, "ENGTM0071.5"}},
       {{3, kXdr3 + "\r"}}},
      {"index 12 changes no row on type 0", 0, {}, L(kXdr12) + kFill, {}, {{12, kXdr12 + "\r"}}},
      {"index 12 writes row 3 on type 1", 1, {}, L(kXdr12) + kFill, {{3, "ENGTM0071.5"}}, {{12, kXdr12 + "\r"}}},
      {"two sentences with one index: the later wins", 0, {}, L(kXdr3) + L("$IIXDR,C,0082.0,C,OILTMP3*6A") + kFill,
       {{3, "OILTM0082.0"}}, {{3, "$IIXDR,C,0082.0,C,OILTMP3*6A\r"}}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(DecodeBlock, SearchOrderAndMargins) {
  const std::string status = "$PZTQS,RUNNING OK\r\n";
  const Case cases[] = {
      {"DBT starting 32 characters before the block's end is ignored", 2, {}, status + L(kDbt) + "xyz", {}, {}},
      {"DBT starting 33 characters before the block's end is decoded", 2, {}, status + L(kDbt) + "wxyz", kDbtRows,
       {{6, kDbt}}},
      {"page 3 without RMC: its empty slots 6 and 7 empty raw slot 0", 3, {}, kFill, {}, {{0, ""}}},
      {"page 2, DBT before VHW: VHW is decoded, DBT is not", 2, {}, L(kDbt) + L(kVhw) + kFill, kVhwRows,
       {{3, kVhw}}},
      {"an unknown header ends the pass and empties raw slot 0", 2, {"$SDDBT,", "$XXFOO,", "$SDMTW,"},
       L(kDbt) + "$XXFOO,1,2\r\n" + L(kMtw) + kFill, kDbtRows, {{6, kDbt}, {0, ""}}},
      {"page file keys on a block of 33 characters or more: the pass ends at once", 2, kFileKeys, L(kMtw) + kFill,
       {}, {{0, ""}}},
      {"a zero byte ends the block", 2, {}, L(kDbt) + std::string(1, '\0') + kFill, {}, {}},
      // A sentence cut short is skipped whole; the rest of the block still counts.
      {"RMC cut by the block's end: no row, no raw slot", 3, {}, kFill + Left(kRmc, 50), {}, {{0, ""}}},
      {"DBT glued to the next sentence: its commas are not taken from it", 2, {}, "$SDDBT,7.8,f" + L(kMtw) + kFill,
       {{7, "Temp F 54.5"}}, {{7, kMtw}}},
      {"DBT glued to an AIS sentence: \"!\" ends it too", 2, {}, "$SDDBT,7.8,f!AIVDM,1,1,,A,1,0*1A" + L(kMtw) + kFill,
       {{7, "Temp F 54.5"}}, {{7, kMtw}}},
      {"transducer without \"*\": the next transducer is still decoded", 0, {},
       L("$IIXDR,C,0071.5,C,ENGTMP3") + L(kOil4) + kFill, {{4, "OILTM0082.0"}}, {{4, kOil4 + "\r"}}},
  };
  for (const Case& c : cases) Check(c);
}

// Random and damaged blocks, from fixed seeds so that a failure repeats, on
// page tables from random page-file text. The decoder must keep every cell
// a glyph, take raw slots only from the block, and write nothing outside the
// model; the Debug build checks every string index on top, and the sanitizer
// build runs it too.
const std::string kSentences[] = {kDbt, kMtw, kVhw, "$SDVLW,2354.92,N,2338.533,N*6E", kRmc,
                                  "$GPGLL,4916.45,N,12311.12,W,225444,A*31", kXdr3, kXdr12, "$PZTQS,RUNNING OK"};

const char* const kKeys[] = {"$IIXDR,", "$SDMTW,", "$SDDBT,", "$SDVLW,", "$SDVHW,", "$GPRMC,",
                             "$GPGLL,", "",        "#00::",   "$XXFOO,", ",",       "$GPRMC,x,"};

// Characters that steer the decoder, drawn more often than chance would.
const std::string kSyntax = "$,*\r\n.0123456789ABCDEFSDIXRGPMCTWLVHB!";

struct Fuzz {
  std::mt19937 random;

  int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
  char AnyByte() { return Below(2) ? kSyntax[Below(static_cast<int>(kSyntax.size()))] : static_cast<char>(Below(256)); }
  std::string Noise(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += AnyByte();
    return text;
  }
  // Real sentences, some cut short, some without their line end, some with
  // bytes changed; or plain noise.
  std::string Block() {
    if (Below(4) == 0) return Noise(Below(400));
    std::string text;
    while (text.size() < 600) {
      std::string sentence = kSentences[Below(static_cast<int>(std::size(kSentences)))];
      if (Below(4) == 0) sentence.resize(static_cast<size_t>(Below(static_cast<int>(sentence.size()) + 1)));
      text += sentence + (Below(8) ? "\r\n" : "");
    }
    for (int n = Below(2) * Below(8); n > 0; --n) text[static_cast<size_t>(Below(static_cast<int>(text.size())))] = AnyByte();
    return text.substr(static_cast<size_t>(Below(300)), static_cast<size_t>(1 + Below(300)));
  }
};

TEST(Fuzz, DecodeBlockKeepsToTheBlockAndTheGrid) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    Fuzz fuzz{std::mt19937(seed)};
    DisplayModel model;
    model.ResetDisplay();
    for (int i = 0; i < 1000; ++i) {
      if (i % 50 == 0) {
        model.SetDefaultPages();
        if (fuzz.Below(2)) ApplyPageText(model, fuzz.Noise(fuzz.Below(300)));
        for (auto& page : model.m_strSlotKey) {
          for (auto& key : page) key = fuzz.Below(3) ? key : kKeys[fuzz.Below(static_cast<int>(std::size(kKeys)))];
        }
      }
      model.m_nDisplayType = fuzz.Below(10) == 0 ? fuzz.Below(7) - 1 : fuzz.Below(4);
      const std::string block = fuzz.Block();
      const std::string cut = UpToNul(block.data(), static_cast<int>(block.size()));
      SCOPED_TRACE(Format("seed %u block %d type %d: ", seed, i, model.m_nDisplayType) + test::Printable(block));

      const DisplayModel before = model;
      ASSERT_TRUE(model.DecodeBlock(block));
      for (int cell = 0; cell < kCells; ++cell) {
        const int offset = model.m_nGlyphOffset[cell];
        ASSERT_TRUE(offset >= 0 && offset < kGlyphCount * kGlyphWidth && offset % kGlyphWidth == 0)
            << "cell " << cell << " holds " << offset;
      }
      for (int s = 0; s < kSlots; ++s) {
        const std::string& raw = model.m_strSlotSentence[s];
        if (raw == before.m_strSlotSentence[s] || raw.empty()) continue;
        EXPECT_TRUE(raw[0] == '$' && cut.find(raw) != std::string::npos) << "raw slot " << s << ": "
                                                                         << test::Printable(raw);
      }
    }
  }
}

}  // namespace
}  // namespace orv
