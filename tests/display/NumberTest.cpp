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
#include "display/NumberText.h"
#include "tests/display/GridText.h"

namespace orv {
namespace {

TEST(Numbers, AsAtofAndPrintfInTheCLocale) {
  ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  std::vector<std::string> texts = {
      "12.5", "", "-40", "-0.0", "1E-2", "  7", "\r\n9", "+3", "-", ".", "-.5", "5.", "abc", "12.5abc", "1e",
      "1e+", "2e-1x", "1e400", "-1e400", "1e-400", "1e-310", "inf", "nan", "--5", "+-5", "00012.50",
      "123456789012345678901234567890", "0.00000e999", "0.0001e312", "10000e-312", ",5", "7\xB0" "8",
  };
  std::vector<double> values = {0.0, -0.0, 0.05, 0.25, 2.5, -2.5, 99.95, 1e300, -1e-300, HUGE_VAL, NAN};
  std::mt19937 random(1042);
  std::uniform_real_distribution<double> any(-1000.0, 1000.0);
  for (int i = 0; i < 300; ++i) texts.push_back(Format("%.*f", i % 7, any(random)));
  for (int i = 0; i < 2000; ++i) values.push_back(any(random));
  for (int i = 0; i < 200; ++i) values.push_back((i - 100) * 0.05);  // ties of one decimal

  for (const std::string& text : texts) {
    // atof is strtod by definition; MinGW's atof is the Microsoft runtime's,
    // which predates C99 and reads "inf" and "nan" as 0, its strtod is C99.
    const double expected = std::strtod(text.c_str(), nullptr);
    const double actual = LeadingNumber(text);
    EXPECT_TRUE(std::isnan(expected) ? std::isnan(actual) : actual == expected) << "\"" << test::Printable(text)
                                                                                << "\"";
  }
  for (const double value : values) {
    for (const int decimals : {0, 1}) {
      EXPECT_EQ(FixedText(value, decimals), Format("%.*f", decimals, value)) << Format("%.17g", value);
    }
  }
}

}  // namespace
}  // namespace orv
