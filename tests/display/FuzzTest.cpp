// Random and damaged blocks, from fixed seeds so that a failure repeats, on
// page tables from random page-file text. The decoder must keep every cell
// a glyph, take raw slots only from the block, and write nothing outside the
// model; the Debug build checks every string index on top, and the sanitizer
// build runs it too.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "display/PageFile.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

const char* const kSentences[] = {
    "$SDDBT,7.8,f,2.4,M,1.3,F*0D",
    "$SDMTW,12.5,C*02",
    "$SDVHW,,T,303,M,06.99,N,12.61,K*70",
    "$SDVLW,2354.92,N,2338.533,N*6E",
    "$GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44",
    "$GPGLL,4916.45,N,12311.12,W,225444,A*31",
    "$IIXDR,C,0071.5,C,ENGTMP3*65",
    "$IIXDR,C,0071.5,C,ENGTMPC*15",
    "$PZTQS,RUNNING OK",
};

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
