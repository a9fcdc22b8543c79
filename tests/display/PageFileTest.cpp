#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/PageFile.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

struct Page {
  std::string name;
  std::vector<std::string> slots;  // from slot 0; the slots after them stay empty
};

TEST(PageFile, Lines) {
  struct Case {
    const char* legend;
    std::string text;
    std::vector<Page> pages;  // from page 0; the pages after them stay empty
  };
  const std::vector<std::string> four = {"#00::", "#01::", "#02::", "#03::", "#04::"};
  const Case cases[] = {
      {"a name and four markers; the line end fills no page of its own", "[Engine]1,2,3,4,\n", {{"Engine", four}}},
      {"a line without commas gets slot 0 only", "[Name]abc\n", {{"Name", {"#00::"}}}},
      {"12,34, gives #01::, #0,:: and #04::", "12,34,\n", {{"", {"#00::", "#01::", "#0,::", "#04::"}}}},
      {"a last character without a comma is not taken", "1,2\n", {{"", {"#00::", "#01::"}}}},
      {"at most 15 markers", "1,2,3,4,5,6,7,8,9,A,B,C,D,E,F,G,H,\n",
       {{"", {"#00::", "#01::", "#02::", "#03::", "#04::", "#05::", "#06::", "#07::", "#08::", "#09::", "#0A::",
              "#0B::", "#0C::", "#0D::", "#0E::", "#0F::"}}}},
      {"a line over 59 characters goes on as the next page's line", "1,2,3,4," + std::string(51, 'x') + "5,6,\n",
       {{"", four}, {"", {"#00::", "#05::", "#06::"}}}},
      {"the name is taken from position 1 wherever the \"[\" is", "1,[ab]2,\n", {{",[ab", {"#00::", "#02::"}}}},
      {"reading stops after the fourth line", "[A]1,\n[B]2,\n[C]3,\n[D]4,\n[E]5,\n[F]6,\n",
       {{"A", {"#00::", "#01::"}}, {"B", {"#00::", "#02::"}}, {"C", {"#00::", "#03::"}}, {"D", {"#00::", "#04::"}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.legend) + "\n  text: " + test::Printable(c.text));
    DisplayModel model;
    EXPECT_EQ(ApplyPageText(model, c.text), static_cast<int>(c.pages.size()));
    for (int page = 0; page < kPages; ++page) {
      const Page expected = page < static_cast<int>(c.pages.size()) ? c.pages[page] : Page{};
      EXPECT_EQ(model.m_strPageName[page], expected.name) << "page " << page;
      for (int slot = 0; slot < kSlots; ++slot) {
        const std::string key = slot < static_cast<int>(expected.slots.size()) ? expected.slots[slot] : "";
        EXPECT_EQ(model.m_strSlotKey[page][slot], key) << "page " << page << " slot " << slot;
      }
    }
  }
}

TEST(PageFile, SlotsAfterTheLastMarkerKeepTheirKeys) {
  DisplayModel model;
  model.SetDefaultPages();
  ApplyPageLine(model, 2, "[Sonar]1,2,\n");
  EXPECT_EQ(model.m_strPageName[2], "Sonar");
  const std::vector<std::string> page2(std::begin(model.m_strSlotKey[2]), std::begin(model.m_strSlotKey[2]) + 4);
  EXPECT_EQ(page2, (std::vector<std::string>{"#00::", "#01::", "#02::", "$SDVHW,"}));
  EXPECT_EQ(model.m_strSlotKey[3][0], "$GPRMC,");
}

}  // namespace
}  // namespace orv
