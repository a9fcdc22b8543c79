// Recordings from real boats, cut into the receive thread's 300-byte blocks
// and decoded on every display type, once with the built-in pages and once
// with pages that ask for all seven sentence types. The display after each
// block that changed it is compared with tests/display/golden/<file>.txt.
// ORVANTA_REGENERATE_GOLDEN=1 rewrites the expected files after an intended
// change; review their diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

constexpr int kBlockBytes = 300;

const char* const kAllSevenPage[] = {"$SDVHW,", "$SDDBT,", "$SDMTW,", "$SDVLW,",
                                     "$GPRMC,", "$GPGLL,", "$IIXDR,", "$IIXDR,"};

std::vector<std::string> InputNames() {
  std::vector<std::string> names;
  std::stringstream list(ORV_GOLDEN_INPUTS);
  std::string name;
  while (std::getline(list, name, ',')) {
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  text = bytes.str();
  return true;
}

std::string DisplayState(const DisplayModel& model) {
  std::string state = test::GridText(model);
  for (int slot = 0; slot < kSlots; ++slot) {
    if (!model.m_strSlotSentence[slot].empty()) {
      state += Format("raw %2d ", slot) + test::Printable(model.m_strSlotSentence[slot]) + "\n";
    }
  }
  return state;
}

// The receive thread reads only whole blocks, so a last partial one is never
// decoded.
std::string Decode(const std::string& stream) {
  std::string out;
  for (const bool allSeven : {false, true}) {
    for (int type = 0; type < kPages; ++type) {
      DisplayModel model;
      model.SetDefaultPages();
      if (allSeven) {
        for (auto& page : model.m_strSlotKey) std::copy(std::begin(kAllSevenPage), std::end(kAllSevenPage), page);
      }
      model.ResetDisplay();
      model.m_nDisplayType = type;
      out += Format("== %s, display type %d%s\n", allSeven ? "all seven headers" : "built-in pages", type,
                    kDisplayTypeName[type]);
      std::string shown;
      for (size_t at = 0; at + kBlockBytes <= stream.size(); at += kBlockBytes) {
        model.DecodeBlock(UpToNul(stream.data() + at, kBlockBytes));
        const std::string state = DisplayState(model);
        if (state != shown) out += Format("block %zu\n", at / kBlockBytes) + state;
        shown = state;
      }
    }
  }
  return out;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, DisplayAfterEachBlock) {
  const std::string input = std::string(ORV_DISPLAY_TEST_DIR) + "/data/" + GetParam();
  const std::string stem = GetParam().substr(0, GetParam().rfind('.'));
  const std::string goldenPath = std::string(ORV_DISPLAY_TEST_DIR) + "/golden/" + stem + ".txt";

  std::string stream;
  ASSERT_TRUE(ReadFile(input, stream)) << "cannot read " << input;
  const std::string actual = Decode(stream);

  const char* regenerate = std::getenv("ORVANTA_REGENERATE_GOLDEN");
  if (regenerate && std::string(regenerate) == "1") {
    std::ofstream out(goldenPath, std::ios::binary | std::ios::trunc);
    out << actual;
    ASSERT_TRUE(out.good()) << "cannot write " << goldenPath;
    return;
  }

  std::string expected;
  ASSERT_TRUE(ReadFile(goldenPath, expected))
      << "no expected file " << goldenPath << "; run with ORVANTA_REGENERATE_GOLDEN=1 to record it";
  if (actual == expected) return;

  std::istringstream a(actual);
  std::istringstream e(expected);
  std::string actualLine;
  std::string expectedLine;
  for (int line = 1;; ++line) {
    const bool moreActual = static_cast<bool>(std::getline(a, actualLine));
    const bool moreExpected = static_cast<bool>(std::getline(e, expectedLine));
    if (!moreActual && !moreExpected) break;
    if (moreActual != moreExpected || actualLine != expectedLine) {
      FAIL() << goldenPath << " differs from line " << line << ":\n  expected: "
             << (moreExpected ? expectedLine : "<end>") << "\n  actual:   " << (moreActual ? actualLine : "<end>")
             << "\n(ORVANTA_REGENERATE_GOLDEN=1 rewrites the expected files)";
    }
  }
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (const char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Recordings, Golden, testing::ValuesIn(InputNames()), TestName);

}  // namespace
}  // namespace orv
