// The decoder reads and prints numbers without the C library, so that the
// user's locale cannot change them. These tests hold it to what atof and
// printf give in the "C" locale, which is what the unit's rows show.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "common/Text.h"
#include "display/DisplayModel.h"
#include "display/NumberText.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

using test::Printable;

TEST(Numbers, LeadingNumberReadsAsAtof) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<std::string> texts = {
      "12.5", "", "0", "-40", "-17.8", "99.95", "-0.0", "1e3", "1E-2", "  7", "\t8", "\r\n9", "+3", "-", "+",
      ".", "-.5", ".5", "5.", "abc", "12.5abc", "1e", "1e+", "2e-1x", "3e+2", "1e400", "-1e400", "1e-400",
      "0.000000000000000000000000000000000000000000000000001", "1e-310", "inf", "-inf", "infinity", "nan",
      "--5", "+-5", "-+5", "00012.50", "1.0000000000000000000001", "123456789012345678901234567890",
      "0.00000e999", "0.0001e312", "10000e-312", "4916", ".45", ",5", "5,5", "7\xB0" "8",
  };
  std::mt19937 random(1042);
  std::uniform_real_distribution<double> any(-1000.0, 1000.0);
  for (int i = 0; i < 300; ++i) texts.push_back(Format("%.*f", i % 7, any(random)));
  for (const std::string& text : texts) {
    const double expected = std::atof(text.c_str());
    const double actual = LeadingNumber(text);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(actual)) << "\"" << Printable(text) << "\"";
    } else {
      EXPECT_EQ(actual, expected) << "\"" << Printable(text) << "\"";
    }
  }
}

TEST(Numbers, FixedTextPrintsAsPrintf) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<double> values = {0.0,  -0.0,   0.05, 0.15, 0.25, 0.35, 0.45,  2.5,   3.5,     -2.5,
                                54.5, 32.0,   59.7, 0.5,  1.5,  99.95, 1e300, -1e300, 1e-300, HUGE_VAL,
                                -HUGE_VAL, NAN, -NAN};
  std::mt19937 random(2015);
  std::uniform_real_distribution<double> any(-200.0, 200.0);
  for (int i = 0; i < 2000; ++i) values.push_back(any(random));
  for (int i = 0; i < 200; ++i) values.push_back((i - 100) * 0.05);  // ties of one decimal
  for (const double value : values) {
    for (const int decimals : {0, 1}) {
      EXPECT_EQ(FixedText(value, decimals), Format("%.*f", decimals, value))
          << Format("%.17g", value) << " with " << decimals << " decimals";
    }
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
  model.DecodeBlock("$SDMTW,12.5,C*02\r\n$PZTQS,RUNNING OK\r\n$PZTQS,RUNNING OK\r\n");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(test::RowText(model, 7), "Temp F 54.5") << "in locale " << chosen;
}

}  // namespace
}  // namespace orv
