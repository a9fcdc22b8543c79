#include "app/SettingsRules.h"

#include <gtest/gtest.h>

namespace {

struct RulesCase {
  const char* legend;
  orv::StoredSettings stored;
  orv::Settings expected;
};

TEST(SettingsRules, StoredValuesBecomeSettings) {
  // Columns of expected: port, baud index, rate, interval index, seconds, display type value.
  const RulesCase cases[] = {
      {"first run: nothing stored", {}, {7, 1, 4800, 1, 2, 0}},
      {"BaudRate -3 reads as index 0", {-3, {}, {}, {}}, {7, 0, 2400, 1, 2, 0}},
      {"CaptureInterval 9 is 9 seconds", {{}, {}, 9, {}}, {7, 1, 4800, 9, 9, 0}},
      {"CaptureInterval -1 reads as index 0", {{}, {}, -1, {}}, {7, 1, 4800, 0, 1, 0}},
      {"ComPort 11 kept as it is", {{}, 11, {}, {}}, {11, 1, 4800, 1, 2, 0}},
      {"ComPort -4 kept as it is", {{}, -4, {}, {}}, {-4, 1, 4800, 1, 2, 0}},
      {"DisplayType 3 carried through", {{}, {}, {}, 3}, {7, 1, 4800, 1, 2, 3}},
      {"BaudRate 9 keeps its index and the default rate", {9, {}, {}, {}}, {7, 9, 4800, 1, 2, 0}},
      {"every table entry", {7, 0, 7, -2}, {0, 7, 230400, 7, 600, -2}},
  };
  for (const RulesCase& c : cases) {
    const orv::Settings s = orv::ApplyStoredSettings(c.stored);
    EXPECT_EQ(s.portIndex, c.expected.portIndex) << c.legend;
    EXPECT_EQ(s.baudIndex, c.expected.baudIndex) << c.legend;
    EXPECT_EQ(s.baudRate, c.expected.baudRate) << c.legend;
    EXPECT_EQ(s.intervalIndex, c.expected.intervalIndex) << c.legend;
    EXPECT_EQ(s.captureSeconds, c.expected.captureSeconds) << c.legend;
    EXPECT_EQ(s.displayTypeSetting, c.expected.displayTypeSetting) << c.legend;
  }
}

}  // namespace
