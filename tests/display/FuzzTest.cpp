// Random and damaged input, from fixed seeds so that a failure repeats. The
// decoder and the page-file rules must keep every cell a glyph, take raw
// slots only from the block, and write nothing outside the model; the Debug
// build checks every string index on top.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/LineReader.h"
#include "common/Text.h"
#include "display/DisplayModel.h"
#include "display/PageFile.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;

const char* const kSentences[] = {
    "$SDDBT,7.8,f,2.4,M,1.3,F*0D",
    "$SDMTW,12.5,C*02",
    "$SDVHW,,T,303,M,06.99,N,12.61,K*70",
    "$SDVLW,2354.92,N,2338.533,N*6E",
    "$GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44",
    "$GPGLL,4916.45,N,12311.12,W,225444,A*31",
    "$IIXDR,C,0071.5,C,ENGTMP3*65",
    "$IIXDR,C,0071.5,C,ENGTMPC*15",
    "$IIXDR,P,1.02,B,BARO*2F",
    "$PZTQS,RUNNING OK",
    "$GPRMC,092211.00,A,5759.09700,N,01144.34344,E,5.257,28.27,200715,,,A*58",
    "!AIVDM,1,1,,B,13aEOK?P00PD2wVMdLDRhgvL289?,0*26",
};

const char* const kKeys[] = {"$IIXDR,", "$SDMTW,", "$SDDBT,", "$SDVLW,", "$SDVHW,", "$GPRMC,", "$GPGLL,",
                             "",        "#00::",   "$XXFOO,", "$IIXDR",  ",",       "$SD",     "$GPRMC,x,"};

// Characters that steer the decoder, drawn more often than chance would.
const std::string kSyntax = "$,*\r\n.0123456789ABCDEFSDIXRGPMCTWLVHB!";

class Fuzz {
 public:
  explicit Fuzz(unsigned seed) : random_(seed) {}

  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  char AnyByte() { return Below(2) ? kSyntax[Below(static_cast<int>(kSyntax.size()))] : static_cast<char>(Below(256)); }

  std::string Noise(int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += AnyByte();
    return text;
  }

  // Real sentences, some cut short, some without their line end.
  std::string Stream(int length) {
    std::string text;
    while (static_cast<int>(text.size()) < length) {
      std::string sentence = kSentences[Below(static_cast<int>(std::size(kSentences)))];
      if (Below(4) == 0) sentence.resize(static_cast<size_t>(Below(static_cast<int>(sentence.size()) + 1)));
      text += sentence;
      if (Below(8) != 0) text += "\r\n";
    }
    const int from = Below(static_cast<int>(text.size()) - length + 1);
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(length));
  }

  std::string Mutate(std::string text) {
    for (int n = Below(6); n > 0; --n) {
      const size_t at = text.empty() ? 0 : static_cast<size_t>(Below(static_cast<int>(text.size())));
      switch (Below(3)) {
        case 0:
          if (!text.empty()) text[at] = AnyByte();
          break;
        case 1:
          text.insert(at, 1, AnyByte());
          break;
        default:
          if (!text.empty()) text.erase(at, 1);
      }
    }
    return text;
  }

  std::string Block() {
    switch (Below(4)) {
      case 0:
        return Noise(Below(400));
      case 1:
        return Stream(1 + Below(300));
      case 2:
        return Mutate(Stream(1 + Below(300)));
      default: {
        std::string text = Noise(300);
        text.insert(static_cast<size_t>(Below(300)), kKeys[Below(7)]);
        return text;
      }
    }
  }

  void Pages(DisplayModel& model) {
    switch (Below(3)) {
      case 0:
        model.SetDefaultPages();
        break;
      case 1:
        for (auto& page : model.m_strSlotKey) {
          for (auto& key : page) key = kKeys[Below(static_cast<int>(std::size(kKeys)))];
        }
        break;
      default:
        ApplyPageText(model, Noise(Below(300)));
    }
  }

  int DisplayType() { return Below(10) == 0 ? Below(7) - 1 : Below(4); }

 private:
  std::mt19937 random_;
};

void ExpectCellsAreGlyphs(const DisplayModel& model) {
  for (int cell = 0; cell < kCells; ++cell) {
    const int offset = model.m_nGlyphOffset[cell];
    ASSERT_TRUE(offset >= 0 && offset <= (kGlyphCount - 1) * kGlyphWidth && offset % kGlyphWidth == 0)
        << "cell " << cell << " holds " << offset;
  }
}

TEST(Fuzz, DecodeBlockKeepsToTheBlockAndTheGrid) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    Fuzz fuzz(seed);
    DisplayModel model;
    model.ResetDisplay();
    for (int i = 0; i < 1000; ++i) {
      if (i % 50 == 0) fuzz.Pages(model);
      model.m_nDisplayType = fuzz.DisplayType();
      const std::string block = fuzz.Block();
      const std::string cut = UpToNul(block.data(), static_cast<int>(block.size()));
      SCOPED_TRACE(Format("seed %u block %d type %d: ", seed, i, model.m_nDisplayType) + Printable(block));

      std::string before[kSlots];
      for (int s = 0; s < kSlots; ++s) before[s] = model.m_strSlotSentence[s];
      DisplayModel same = model;

      ASSERT_TRUE(model.DecodeBlock(block));
      ExpectCellsAreGlyphs(model);
      for (int s = 0; s < kSlots; ++s) {
        const std::string& raw = model.m_strSlotSentence[s];
        if (raw == before[s] || raw.empty()) continue;
        EXPECT_EQ(raw[0], '$') << "raw slot " << s << ": " << Printable(raw);
        EXPECT_NE(cut.find(raw), std::string::npos) << "raw slot " << s << ": " << Printable(raw);
      }

      // What follows a zero byte never counts.
      same.DecodeBlock(cut + std::string(1, '\0') + fuzz.Noise(fuzz.Below(40)));
      for (int cell = 0; cell < kCells; ++cell) ASSERT_EQ(same.m_nGlyphOffset[cell], model.m_nGlyphOffset[cell]);
      for (int s = 0; s < kSlots; ++s) ASSERT_EQ(same.m_strSlotSentence[s], model.m_strSlotSentence[s]);
    }
  }
}

TEST(Fuzz, PageTextFillsOnlyItsPagesWithMarkers) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    Fuzz fuzz(seed);
    for (int i = 0; i < 1000; ++i) {
      std::string text = fuzz.Noise(fuzz.Below(400));
      for (int n = fuzz.Below(2) ? fuzz.Below(16) : 0; n > 0; --n) {
        const auto at = static_cast<size_t>(fuzz.Below(static_cast<int>(text.size()) + 1));
        text.insert(at, n % 2 ? "[" : "]");
      }
      SCOPED_TRACE(Format("seed %u text %d: ", seed, i) + Printable(text));

      size_t pos = 0;
      std::string line;
      int lines = 0;
      while (NextLine(text, pos, line) == LineStatus::Line) ++lines;

      DisplayModel model;
      const int pages = ApplyPageText(model, text);
      ASSERT_EQ(pages, std::min(lines, kPages));
      for (int page = 0; page < kPages; ++page) {
        if (page >= pages) {
          EXPECT_TRUE(model.m_strPageName[page].empty());
          for (const std::string& key : model.m_strSlotKey[page]) EXPECT_TRUE(key.empty());
          continue;
        }
        EXPECT_NE(text.find(model.m_strPageName[page]), std::string::npos);
        EXPECT_LE(model.m_strPageName[page].size(), static_cast<size_t>(kLineChars));
        EXPECT_EQ(model.m_strSlotKey[page][0], "#00::");
        for (const std::string& key : model.m_strSlotKey[page]) {
          if (key.empty()) continue;
          ASSERT_EQ(key.size(), 5u) << Printable(key);
          EXPECT_EQ(key.substr(0, 2), "#0");
          EXPECT_EQ(key.substr(3), "::");
        }
      }
    }
  }
}

}  // namespace
}  // namespace orv
