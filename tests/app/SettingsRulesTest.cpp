#include "app/SettingsRules.h"

#include "app/IniText.h"

#include <gtest/gtest.h>

#include <vector>

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
      {"BaudRate 9 keeps its index and the default rate", {9, {}, {}, {}}, {7, 9, 4800, 1, 2, 0}},
      {"every table entry", {7, 0, 7, -2}, {0, 7, 230400, 7, 600, -2}},
      {"beyond any list: where the up arrow lands", {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
       {7, 7, 230400, 7, 600, INT32_MAX}},
      {"beyond any list below: the first entry", {INT32_MIN, INT32_MIN, INT32_MIN, 0}, {0, 0, 2400, 0, 1, 0}},
  };
  for (const RulesCase& c : cases) {
    const auto fields = [](const orv::Settings& s) {
      return std::vector<int>{s.portIndex, s.baudIndex, s.baudRate, s.intervalIndex, s.captureSeconds, s.displayTypeSetting};
    };
    EXPECT_EQ(fields(orv::ApplyStoredSettings(c.stored)), fields(c.expected)) << c.legend;
  }
}

}  // namespace

TEST(SettingsFile, ValuesVerbatimAndEveryOtherLineKept) {
  const std::string file =
      "; bench PC\n[General]\nBaudRate=1\n\n[Ports]\n; FTDI cable\nCOM8 = /dev/serial/by-id/usb-A,_B-if00\n";
  EXPECT_EQ(orv::ini::Value(file, "Ports", "COM8"), "/dev/serial/by-id/usb-A,_B-if00");
  EXPECT_EQ(orv::ini::Value("ComPort=3\n[Ports]\nComPort=x\n", "General", "ComPort"), "3") << "keys before any group";
  EXPECT_EQ(orv::ini::Value("[Ports]\n;COM1=/dev/old\n", "Ports", "COM1"), std::nullopt) << "a comment";

  const struct {
    const char* legend;
    std::string before;
    const char* group;
    std::string after;
  } rows[] = {
      {"changed in place, the rest kept", file, "General",
       "; bench PC\n[General]\nBaudRate=5\nComPort=7\n\n[Ports]\n; FTDI cable\nCOM8 = /dev/serial/by-id/usb-A,_B-if00\n"},
      {"no file yet", "", "General", "[General]\nBaudRate=5\nComPort=7\n"},
      {"only other groups: the top level goes first", "[Ports]\nCOM1=/dev/a\n", "General",
       "[General]\nBaudRate=5\nComPort=7\n\n[Ports]\nCOM1=/dev/a\n"},
      {"another group is added at the end", "BaudRate=1", "Ports", "BaudRate=1\n\n[Ports]\nBaudRate=5\nComPort=7\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(orv::ini::WithValues(row.before, row.group, {{"BaudRate", "5"}, {"ComPort", "7"}}), row.after) << row.legend;
  }
}

TEST(SettingsRules, OnlyWhole32BitNumbersAreRead) {
  const struct {
    const char* text;
    std::optional<int32_t> expected;
  } rows[] = {{" 42 ", 42},         {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt},
              {"2.5", std::nullopt}, {"fast", std::nullopt},    {"", std::nullopt}};
  for (const auto& row : rows) EXPECT_EQ(orv::ParseInt32(row.text), row.expected) << row.text;
}
