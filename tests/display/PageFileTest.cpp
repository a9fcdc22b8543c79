#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/PageFile.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;

struct PageExpect {
  int page;
  std::string name;
  std::vector<std::string> slots;  // from slot 0; the slots after them stay empty
};

struct Case {
  const char* legend;
  std::string text;
  int pagesRead;
  std::vector<PageExpect> pages;  // pages not listed stay empty
};

void Check(const Case& c) {
  SCOPED_TRACE(std::string(c.legend) + "\n  text: " + Printable(c.text));
  DisplayModel model;
  EXPECT_EQ(ApplyPageText(model, c.text), c.pagesRead);
  for (int page = 0; page < kPages; ++page) {
    PageExpect expected{page, "", {}};
    for (const PageExpect& p : c.pages) {
      if (p.page == page) expected = p;
    }
    EXPECT_EQ(model.m_strPageName[page], expected.name) << "page " << page;
    for (int slot = 0; slot < kSlots; ++slot) {
      const std::string key = slot < static_cast<int>(expected.slots.size()) ? expected.slots[slot] : "";
      EXPECT_EQ(model.m_strSlotKey[page][slot], key) << "page " << page << " slot " << slot;
    }
  }
}

const std::vector<std::string> kFour = {"#00::", "#01::", "#02::", "#03::", "#04::"};

TEST(PageFile, Lines) {
  const Case cases[] = {
      {"empty text fills nothing", "", 0, {}},
      {"a name and four markers", "[Engine]1,2,3,4,\n", 1, {{0, "Engine", kFour}}},
      {"last line without a line break", "[Engine]1,2,3,4,", 1, {{0, "Engine", kFour}}},
      {"CR LF line ends", "1,2,\r\n3,\r\n", 2,
       {{0, "", {"#00::", "#01::", "#02::"}}, {1, "", {"#00::", "#03::"}}}},
      {"a line without commas gets slot 0 only", "[Name]abc\n", 1, {{0, "Name", {"#00::"}}}},
      {"an empty line still fills its page", "\n1,\n", 2, {{0, "", {"#00::"}}, {1, "", {"#00::", "#01::"}}}},
      {"12,34, gives #01::, #0,:: and #04::", "12,34,\n", 1, {{0, "", {"#00::", "#01::", "#0,::", "#04::"}}}},
      {"a last character without a comma is not taken", "1,2\n", 1, {{0, "", {"#00::", "#01::"}}}},
      {"at most 15 markers; the rest of the line is dropped", "1,2,3,4,5,6,7,8,9,A,B,C,D,E,F,G,H,\n", 1,
       {{0, "", {"#00::", "#01::", "#02::", "#03::", "#04::", "#05::", "#06::", "#07::", "#08::", "#09::", "#0A::",
                 "#0B::", "#0C::", "#0D::", "#0E::", "#0F::"}}}},
      {"a line over 59 characters goes on as the next page's line",
       "1,2,3,4," + std::string(51, 'x') + "5,6,\n", 2,
       {{0, "", kFour}, {1, "", {"#00::", "#05::", "#06::"}}}},
      {"a \"[\" without \"]\": empty name, the whole line is markers", "[ab1,\n", 1,
       {{0, "", {"#00::", "#0[::", "#0b::", "#0,::"}}}},
      {"the name is taken from position 1 wherever the \"[\" is", "1,[ab]2,\n", 1,
       {{0, ",[ab", {"#00::", "#02::"}}}},
      {"\"]\" before \"[\": empty name", "]1,[\n", 1, {{0, "", {"#00::", "#01::"}}}},
      {"an empty name", "[]1,\n", 1, {{0, "", {"#00::", "#01::"}}}},
      {"four lines fill the four pages", "[A]1,\n[B]2,\n[C]3,\n[D]4,\n", 4,
       {{0, "A", {"#00::", "#01::"}},
        {1, "B", {"#00::", "#02::"}},
        {2, "C", {"#00::", "#03::"}},
        {3, "D", {"#00::", "#04::"}}}},
      {"reading stops after the fourth line", "[A]1,\n[B]2,\n[C]3,\n[D]4,\n[E]5,\n[F]6,\n", 4,
       {{0, "A", {"#00::", "#01::"}},
        {1, "B", {"#00::", "#02::"}},
        {2, "C", {"#00::", "#03::"}},
        {3, "D", {"#00::", "#04::"}}}},
      {"a long fourth line's remainder is a fifth line and dropped", "\n\n\n" + std::string(59, 'y') + "1,2,\n", 4,
       {{0, "", {"#00::"}}, {1, "", {"#00::"}}, {2, "", {"#00::"}}, {3, "", {"#00::"}}}},
      {"8-bit characters are markers like any other", "\xB0,\xFF,\n", 1,
       {{0, "", {"#00::", "#0\xB0::", "#0\xFF::"}}}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(PageFile, SlotsAfterTheLastMarkerKeepTheirKeys) {
  DisplayModel model;
  model.SetDefaultPages();
  ApplyPageLine(model, 2, "[Sonar]1,2,\n");
  EXPECT_EQ(model.m_strPageName[2], "Sonar");
  EXPECT_EQ(model.m_strSlotKey[2][0], "#00::");
  EXPECT_EQ(model.m_strSlotKey[2][1], "#01::");
  EXPECT_EQ(model.m_strSlotKey[2][2], "#02::");
  EXPECT_EQ(model.m_strSlotKey[2][3], "$SDVHW,");
  EXPECT_EQ(model.m_strSlotKey[2][8], "$SDMTW,");
  EXPECT_EQ(model.m_strSlotKey[3][0], "$GPRMC,");
}

TEST(PageFile, PagesOutsideTheTableAreLeftAlone) {
  for (const int page : {-1, 4, 100}) {
    DisplayModel model;
    ApplyPageLine(model, page, "[X]1,2,3,\n");
    for (int p = 0; p < kPages; ++p) {
      EXPECT_TRUE(model.m_strPageName[p].empty()) << "page " << page;
      for (int slot = 0; slot < kSlots; ++slot) EXPECT_TRUE(model.m_strSlotKey[p][slot].empty()) << "page " << page;
    }
  }
}

TEST(PageFile, APageFromTheFileDecodesNoRow) {
  DisplayModel model;
  ApplyPageText(model, "1,2,3,4,5,6,7,8,\n1,\n1,\n1,\n");
  model.ResetDisplay();
  model.m_strSlotSentence[0] = "before";
  model.DecodeBlock("$SDDBT,7.8,f,2.4,M,1.3,F*0D\r\n$SDMTW,12.5,C*02\r\n$PZTQS,RUNNING OK\r\n");
  for (const int cell : model.m_nGlyphOffset) EXPECT_EQ(cell, kDashOffset);
  EXPECT_EQ(model.m_strSlotSentence[0], "");
}

}  // namespace
}  // namespace orv
