// Blocks as the unit sends them, decoded on a display whose cells all show
// "-" and whose raw slots hold a marker, so that every cell and slot the
// decoder leaves alone is seen to be left alone.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;
using test::RowText;

std::string L(const std::string& sentence) { return sentence + "\r\n"; }

// The unit's status sentence: something for the 33-character margin to hold.
const std::string kFill = "$PZTQS,RUNNING OK\r\n$PZTQS,RUNNING OK\r\n";

const std::string kDbt = "$SDDBT,7.8,f,2.4,M,1.3,F*0D";
const std::string kMtw = "$SDMTW,12.5,C*02";
const std::string kVhw = "$SDVHW,,T,303,M,06.99,N,12.61,K*70";
const std::string kVlw = "$SDVLW,2354.92,N,2338.533,N*6E";
const std::string kRmc = "$GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44";
const std::string kGll = "$GPGLL,4916.45,N,12311.12,W,225444,A*31";
const std::string kXdr3 = "$IIXDR,C,0071.5,C,ENGTMP3*65";
const std::string kOil3 = "$IIXDR,C,0082.0,C,OILTMP3*6A";
const std::string kOil4 = "$IIXDR,C,0082.0,C,OILTMP4*6D";
const std::string kXdr12 = "$IIXDR,C,0071.5,C,ENGTMPC*15";

using Keys = std::vector<std::string>;
const Keys kGllPage(8, "$GPGLL,");
const Keys kVlwPage(8, "$SDVLW,");
const Keys kFileKeys = {"#00::", "#01::", "#02::", "#03::", "#04::", "#05::", "#06::", "#07::"};

using Rows = std::vector<std::pair<int, std::string>>;
using Raw = std::vector<std::pair<int, std::string>>;

const Rows kDbtRows = {{4, "Depth f 7.8"}, {5, "Depth M 2.4"}, {6, "Depth F 1.3"}};
const Rows kVhwRows = {{0, "HEAD T     "}, {1, "HEAD M  303"}, {2, "SPEED 06.99"}, {3, "SPEED 12.61"}};

struct Case {
  const char* legend;
  int type;
  Keys page;  // slots of the type's page; empty: the built-in pages
  std::string block;
  Rows rows;  // rows written; every other row keeps its dashes
  Raw raw;    // raw slots written ("" for emptied); every other slot keeps its marker
};

std::string Marker(int slot) { return Format("before %d", slot); }

void Check(const Case& c) {
  SCOPED_TRACE(std::string(c.legend) + "\n  block: " + Printable(c.block));
  DisplayModel model;
  model.SetDefaultPages();
  if (!c.page.empty()) {
    for (int slot = 0; slot < kSlots; ++slot) {
      model.m_strSlotKey[c.type][slot] = slot < static_cast<int>(c.page.size()) ? c.page[slot] : "";
    }
  }
  model.ResetDisplay();
  model.m_nDisplayType = c.type;
  for (int slot = 0; slot < kSlots; ++slot) model.m_strSlotSentence[slot] = Marker(slot);

  EXPECT_TRUE(model.DecodeBlock(c.block));

  for (int row = 0; row < kRows; ++row) {
    std::string expected = "-----------";
    for (const auto& [r, text] : c.rows) {
      if (r == row) expected = text;
    }
    EXPECT_EQ(RowText(model, row), expected) << "row " << row;
  }
  for (int slot = 0; slot < kSlots; ++slot) {
    std::string expected = Marker(slot);
    for (const auto& [s, text] : c.raw) {
      if (s == slot) expected = text;
    }
    EXPECT_EQ(Printable(model.m_strSlotSentence[slot]), Printable(expected)) << "raw slot " << slot;
  }
}

TEST(DecodeBlock, FixedLayoutSentences) {
  const Case cases[] = {
      {"DBT on type 2: rows 4 to 6, raw slot 6 without the CR LF", 2, {}, L(kDbt) + kFill, kDbtRows, {{6, kDbt}}},
      {"VHW on type 2: rows 0 to 3; an empty heading blanks the value area", 2, {}, L(kVhw) + kFill, kVhwRows,
       {{3, kVhw}}},
      {"MTW 12.5 shows 54.5 after the degree sign's blank cell", 2, {}, L(kMtw) + kFill, {{7, "Temp F 54.5"}},
       {{7, kMtw}}},
      {"MTW with an empty field shows 32.0", 2, {}, L("$SDMTW,,C*1A") + kFill, {{7, "Temp F 32.0"}},
       {{7, "$SDMTW,,C*1A"}}},
      {"a one-glyph value blanks cells 7 to 9", 2, {}, L("$SDDBT,7,f,2.4,M,1.3,F*1B") + kFill,
       {{4, "Depth f   7"}, {5, "Depth M 2.4"}, {6, "Depth F 1.3"}}, {{6, "$SDDBT,7,f,2.4,M,1.3,F*1B"}}},
      {"8-bit bytes in a field take no cell", 2, {}, L("$SDDBT,7\xB0" "8,f,2.4,M,1.3,F*0D") + kFill,
       {{4, "Depth f  78"}, {5, "Depth M 2.4"}, {6, "Depth F 1.3"}}, {{6, "$SDDBT,7\xB0" "8,f,2.4,M,1.3,F*0D"}}},
      {"RMC on type 3: 123519.00 covers cells 2 to 10 and leaves UT; empty slots 6, 7 empty raw slot 0", 3, {},
       L(kRmc) + kFill,
       {{0, "UT123519.00"},
        {1, "N--4807.038"},
        {2, "E-01131.000"},
        {3, "SPEED 022.4"},
        {4, "TRACK 084.4"},
        {5, "MAGNET003.1"}},
       {{5, kRmc}, {0, ""}}},
      {"VLW on a page that asks for it", 2, kVlwPage, L(kVlw) + kFill, {{0, "TOTA2354.92"}, {1, "TRI2338.533"}},
       {{1, kVlw}}},
      {"GLL on a page that asks for it", 3, kGllPage, L(kGll) + kFill,
       {{0, "N 49.16 .27"}, {1, "W123.11 .07"}, {2, "TIME 225444"}}, {{2, kGll}}},
      {"GLL latitude 916.45: degrees right-aligned", 3, kGllPage,
       L("$GPGLL,916.45,N,12311.12,W,225444,A*05") + kFill,
       {{0, "N  9.16 .27"}, {1, "W123.11 .07"}, {2, "TIME 225444"}}, {{2, "$GPGLL,916.45,N,12311.12,W,225444,A*05"}}},
      {"GLL latitude without \".\": hemisphere alone, whole number times 60", 3, kGllPage,
       L("$GPGLL,4916,N,12311.12,W,225444,A*1E") + kFill,
       {{0, "N---.294960"}, {1, "W123.11 .07"}, {2, "TIME 225444"}}, {{2, "$GPGLL,4916,N,12311.12,W,225444,A*1E"}}},
      {"GLL 0.995 minutes shows .60, not carried", 3, kGllPage,
       L("$GPGLL,4916.995,N,12311.12,W,225444,A*05") + kFill,
       {{0, "N 49.16 .60"}, {1, "W123.11 .07"}, {2, "TIME 225444"}},
       {{2, "$GPGLL,4916.995,N,12311.12,W,225444,A*05"}}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(DecodeBlock, TransducerSentences) {
  const Case cases[] = {
      {"ENGTMP3 writes row 3 on type 0; raw text keeps the CR", 0, {}, L(kXdr3) + kFill, {{3, "ENGTM0071.5"}},
       {{3, kXdr3 + "\r"}}},
      {"index 12 changes no row on type 0", 0, {}, L(kXdr12) + kFill, {}, {{12, kXdr12 + "\r"}}},
      {"index 12 writes row 3 on type 1", 1, {}, L(kXdr12) + kFill, {{3, "ENGTM0071.5"}}, {{12, kXdr12 + "\r"}}},
      {"index 3 changes no row on type 1", 1, {}, L(kXdr3) + kFill, {}, {{3, kXdr3 + "\r"}}},
      {"a name ending in a small letter gives index 0", 0, {}, L("$IIXDR,C,0071.5,C,ENGTMPx*2E") + kFill,
       {{0, "ENGTM0071.5"}}, {{0, "$IIXDR,C,0071.5,C,ENGTMPx*2E\r"}}},
      {"a name ending in G gives index 0", 0, {}, L("$IIXDR,C,0071.5,C,ENGTMPG*00") + kFill, {{0, "ENGTM0071.5"}},
       {{0, "$IIXDR,C,0071.5,C,ENGTMPG*00\r"}}},
      {"a short measurement brings its unit letter into the value", 0, {}, L("$IIXDR,C,71.5,C,ENGTMP3*65") + kFill,
       {{3, "ENGTMP71.5C"}}, {{3, "$IIXDR,C,71.5,C,ENGTMP3*65\r"}}},
      {"two sentences with one index: the later wins", 0, {}, L(kXdr3) + L(kOil3) + kFill, {{3, "OILTM0082.0"}},
       {{3, kOil3 + "\r"}}},
      {"types 2 and 3 write no transducer row", 2, Keys(8, "$IIXDR,"), L(kXdr3) + kFill, {}, {{3, kXdr3 + "\r"}}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(DecodeBlock, SearchAndMargin) {
  const Case cases[] = {
      {"DBT starting 32 characters before the block's end is ignored", 2, {},
       "$PZTQS,RUNNING OK\r\n" + L(kDbt) + "xyz", {}, {}},
      {"DBT starting 33 characters before the block's end is decoded", 2, {},
       "$PZTQS,RUNNING OK\r\n" + L(kDbt) + "wxyz", kDbtRows, {{6, kDbt}}},
      {"page 3 without RMC: its empty slots 6 and 7 empty raw slot 0", 3, {}, kFill, {}, {{0, ""}}},
      {"page 2, DBT before VHW: VHW is decoded, DBT is not", 2, {}, L(kDbt) + L(kVhw) + kFill, kVhwRows,
       {{3, kVhw}}},
      {"page 2, VHW before DBT before MTW: all three", 2, {}, L(kVhw) + L(kDbt) + L(kMtw) + kFill,
       {kVhwRows[0], kVhwRows[1], kVhwRows[2], kVhwRows[3], kDbtRows[0], kDbtRows[1], kDbtRows[2],
        {7, "Temp F 54.5"}},
       {{3, kVhw}, {6, kDbt}, {7, kMtw}}},
      {"two DBT: the next slot finds the second, which wins", 2, {},
       L("$SDDBT,1.0,f,0.3,M,0.2,F*00") + L(kDbt) + kFill, kDbtRows, {{6, kDbt}}},
      {"an unknown header ends the pass and empties raw slot 0", 2, {"$SDDBT,", "$XXFOO,", "$SDMTW,"},
       L(kDbt) + "$XXFOO,1,2\r\n" + L(kMtw) + kFill, kDbtRows, {{6, kDbt}, {0, ""}}},
      {"an unknown header that is not in the block ends nothing", 2, {"$XXFOO,", "$SDMTW,"}, L(kMtw) + kFill,
       {{7, "Temp F 54.5"}}, {{7, kMtw}, {0, ""}}},
      {"page file keys on a block of 33 characters or more: the pass ends at once", 2, kFileKeys,
       L(kMtw) + kFill, {}, {{0, ""}}},
      {"page file keys on a block of 32 characters: every slot is passed over", 2, kFileKeys,
       Left(L(kMtw) + kFill, 32), {}, {}},
      {"a zero byte ends the block", 2, {}, L(kDbt) + std::string(1, '\0') + kFill, {}, {}},
      {"display type 4 decodes nothing", 4, {}, L(kDbt) + L(kXdr3) + kFill, {}, {}},
      {"display type -1 decodes nothing", -1, {}, L(kDbt) + L(kXdr3) + kFill, {}, {}},
      {"an empty block", 2, {}, "", {}, {}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(DecodeBlock, SentencesCutShortAreSkipped) {
  const Case cases[] = {
      {"RMC cut by the block's end: no row, no raw slot", 3, {}, kFill + Left(kRmc, 50), {}, {{0, ""}}},
      {"DBT that lost its fields and line end: MTW behind it still decoded", 2, {},
       "$SDDBT,7.8,f\r\n" + L(kMtw) + kFill, {{7, "Temp F 54.5"}}, {{7, kMtw}}},
      {"DBT glued to the next sentence: its commas are not taken from it", 2, {},
       "$SDDBT,7.8,f" + L(kMtw) + kFill, {{7, "Temp F 54.5"}}, {{7, kMtw}}},
      {"transducer without \"*\": the next transducer is still decoded", 0, {},
       L("$IIXDR,C,0071.5,C,ENGTMP3") + L(kOil4) + kFill, {{4, "OILTM0082.0"}}, {{4, kOil4 + "\r"}}},
      {"transducer with only two commas", 0, {}, L("$IIXDR,C,0071.5*11") + L(kOil4) + kFill, {{4, "OILTM0082.0"}},
       {{4, kOil4 + "\r"}}},
      {"header alone", 2, {}, "$SDDBT," + kFill, {}, {}},
      {"raw text cut by the block's end keeps what the block holds", 0, {},
       kFill + "$IIXDR,C,0071.5,C,ENGINETEMPERATURE3*6", {{3, "ENGIN0071.5"}},
       {{3, "$IIXDR,C,0071.5,C,ENGINETEMPERATURE3*6"}}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(DecodeBlock, RowsOfOtherSentencesStay) {
  DisplayModel model;
  model.SetDefaultPages();
  model.ResetDisplay();
  model.m_nDisplayType = 2;
  model.DecodeBlock(L(kVhw) + L(kDbt) + L(kMtw) + kFill);
  model.DecodeBlock(L("$SDMTW,-40,C*3F") + kFill);
  EXPECT_EQ(RowText(model, 7), "Temp F-40.0");
  EXPECT_EQ(RowText(model, 4), "Depth f 7.8");
  EXPECT_EQ(RowText(model, 0), "HEAD T     ");
  EXPECT_EQ(model.m_strSlotSentence[6], kDbt);
}

}  // namespace
}  // namespace orv
