// The decoder reads and prints numbers without the C library, so that the
// user's locale cannot change them. These tests hold it to what atof and
// printf give in the "C" locale, which is what the unit's own rows show.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;
using test::RowText;

const std::string kFill = "$PZTQS,RUNNING OK\r\n$PZTQS,RUNNING OK\r\n";

// Field texts worth comparing: the instrument's own, the rounding ties of
// one decimal, and what atof makes of text that is not quite a number.
std::vector<std::string> FieldTexts() {
  std::vector<std::string> texts = {
      "12.5", "", "0", "-40", "-17.8", "99.95", "0.25", "1.25", "-0.0", "100", "37.777", "1e3", "1E-2",
      "  7",  "\t8", "+3", "-", "+", ".", "-.5", ".5", "5.", "abc", "12.5abc", "1e", "1e+", "2e-1x",
      "1e400", "-1e400", "1e-400", "0.000000000000000000000000000000000000000000000000001", "inf", "-inf",
      "nan", "--5", "+-5", "00012.50", "1.0000000000000000000001", "123456789012345678901234567890",
  };
  std::mt19937 random(1042);
  std::uniform_real_distribution<double> celsius(-60.0, 160.0);
  for (int i = 0; i < 400; ++i) {
    texts.push_back(Format("%.3f", celsius(random)));
    texts.push_back(Format("%.2f", celsius(random)));
  }
  return texts;
}

TEST(Numbers, WaterTemperatureAsAtofAndPrintfGiveIt) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  for (const std::string& field : FieldTexts()) {
    SCOPED_TRACE("field \"" + Printable(field) + "\"");
    DisplayModel decoded;
    decoded.SetDefaultPages();
    decoded.m_nDisplayType = 2;
    decoded.DecodeBlock("$SDMTW," + field + ",C*00\r\n" + kFill);

    DisplayModel expected;
    expected.m_strRowLabel = "Temp\xB0" "F   ";
    expected.m_strRowValue = Format("%5.1f", std::atof(field.c_str()) * 1.8 + 32);
    expected.WriteRow(7);
    EXPECT_EQ(RowText(decoded, 7), RowText(expected, 7)) << "printf gives \"" << expected.m_strRowValue << "\"";
  }
}

TEST(Numbers, PositionSecondsAsAtofAndPrintfGiveThem) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<std::string> numbers = {"4916.45", "4916.995", "4916.9916", "4916.0083", "4916.00", "4916.",
                                      "4916",    "916.45",   "12311.12",  "0.5",       "",         "49.16.45"};
  std::mt19937 random(2015);
  std::uniform_int_distribution<int> fraction(0, 9999);
  for (int i = 0; i < 300; ++i) numbers.push_back(Format("4916.%04d", fraction(random)));
  for (const std::string& number : numbers) {
    SCOPED_TRACE("latitude \"" + number + "\"");
    DisplayModel decoded;
    decoded.m_nDisplayType = 3;
    for (int slot = 0; slot < 8; ++slot) decoded.m_strSlotKey[3][slot] = "$GPGLL,";
    decoded.DecodeBlock("$GPGLL," + number + ",N,12311.12,W,225444,A*00\r\n" + kFill);

    const size_t point = number.find('.');
    const std::string minutes = point == std::string::npos ? number : number.substr(point);
    const std::string seconds = Format(".%02.0f", std::atof(minutes.c_str()) * 60);
    EXPECT_EQ(RowText(decoded, 0).substr(kCols - seconds.size()), seconds);
  }
}

TEST(Numbers, ADecimalCommaLocaleChangesNothing) {
  const char* const names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8"};
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const char* chosen = nullptr;
  for (const char* name : names) {
    if (std::setlocale(LC_NUMERIC, name)) {
      chosen = name;
      break;
    }
  }
  if (!chosen) GTEST_SKIP() << "no locale with a decimal comma is installed";

  DisplayModel model;
  model.SetDefaultPages();
  model.m_nDisplayType = 2;
  model.DecodeBlock("$SDMTW,12.5,C*02\r\n" + kFill);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(RowText(model, 7), "Temp F 54.5") << "in locale " << chosen;
}

}  // namespace
}  // namespace orv
