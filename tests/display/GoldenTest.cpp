// Recordings from real boats, cut into the receive thread's 300-byte blocks
// and decoded on every display type, once with the built-in pages and once
// with pages that ask for all seven sentence types. The display after each
// block that changed it is compared with tests/display/golden/<file>.txt.
// ORVANTA_REGENERATE_GOLDEN=1 rewrites the expected files after an intended
// change; review their diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "tests/display/GridText.h"
#include "tests/support/ReadFile.h"

namespace orv {
namespace {

const char* const kAllSevenPage[] = {"$SDVHW,", "$SDDBT,", "$SDMTW,", "$SDVLW,",
                                     "$GPRMC,", "$GPGLL,", "$IIXDR,", "$IIXDR,"};

using test::ReadFile;

std::string DisplayState(const DisplayModel& model) {
  std::string state;
  for (int row = 0; row < kRows; ++row) state += "|" + test::RowText(model, row) + "|\n";
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
  constexpr size_t kBlockBytes = 300;
  std::string out;
  for (const bool allSeven : {false, true}) {
    for (int type = 0; type < kPages; ++type) {
      DisplayModel model;
      model.SetDefaultPages();
      for (auto& page : model.m_strSlotKey) {
        if (allSeven) std::copy(std::begin(kAllSevenPage), std::end(kAllSevenPage), page);
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

TEST(Golden, DisplayAfterEachBlock) {
  std::stringstream list(ORV_GOLDEN_INPUTS);
  for (std::string name; std::getline(list, name, ',');) {
    const std::string dir = ORV_DISPLAY_TEST_DIR;
    const std::string stream = ReadFile(dir + "/data/" + name);
    const std::string goldenPath = dir + "/golden/" + name.substr(0, name.rfind('.')) + ".txt";
    ASSERT_FALSE(stream.empty()) << "cannot read " << name;
    const std::string actual = Decode(stream);

    const char* regenerate = std::getenv("ORVANTA_REGENERATE_GOLDEN");
    if (regenerate && std::string(regenerate) == "1") {
      std::ofstream(goldenPath, std::ios::binary | std::ios::trunc) << actual;
      ASSERT_EQ(ReadFile(goldenPath), actual) << "cannot write " << goldenPath;
      continue;
    }
    const std::string expected = ReadFile(goldenPath);
    ASSERT_FALSE(expected.empty()) << "no " << goldenPath << "; ORVANTA_REGENERATE_GOLDEN=1 records it";
    if (actual == expected) continue;
    // The first line that differs, with its number: the files run to thousands.
    const auto at = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first;
    const size_t from =
        at == actual.begin() ? 0 : actual.rfind('\n', static_cast<size_t>(at - actual.begin()) - 1) + 1;
    const auto lineAt = [from](const std::string& text) { return text.substr(from, text.find('\n', from) - from); };
    const long line = std::count(actual.begin(), actual.begin() + static_cast<long>(from), '\n') + 1;
    ADD_FAILURE() << goldenPath << ", line " << line << ":\n  got      " << lineAt(actual) << "\n  expected " << lineAt(expected)
                  << "\n(ORVANTA_REGENERATE_GOLDEN=1 rewrites the expected files)";
  }
}

}  // namespace
}  // namespace orv
