#include "serial/PortNames.h"

#include <gtest/gtest.h>

#include <map>

#include "serial/PortPlatform.h"

namespace orv::serial {
namespace {

TEST(PortNames, ComNumberTakesOnlyComNames) {
  EXPECT_EQ(PortName(0) + PortName(7) + PortName(11), "COM1:COM8:COM12:");
  struct Row {
    const char* legend;
    const char* text;
    int number;
  };
  const Row rows[] = {
      {"colon", "COM1:", 1},             {"two digits", "COM12:", 12}, {"no colon", "COM8", 8},
      {"lower case", "com3:", 3},        {"no number", "COM:", 0},     {"leading zero", "COM08:", 0},
      {"text after number", "COM1x", 0}, {"empty", "", 0},             {"too many digits", "COM12345:", 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ComNumber(row.text), row.number) << row.legend << ": \"" << row.text << "\"";
  }
}

TEST(PortNames, DevicePathPrefersAConfiguredEntry) {
  const std::map<std::string, std::string> configured = {{"COM8", "/dev/ttyUSB0"}, {"COM2", ""}};
  std::vector<std::string> asked;
  const auto lookup = [&](const std::string& key) {
    asked.push_back(key);
    const auto it = configured.find(key);
    return it == configured.end() ? std::string() : it->second;
  };
  struct Row {
    const char* legend;
    const char* name;
    std::string path;
  };
  const Row rows[] = {
      {"configured", "COM8:", "/dev/ttyUSB0"},
      {"not configured", "COM1:", DefaultDevicePath(1)},
      {"configured empty", "COM2:", DefaultDevicePath(2)},
      {"device path given", "/dev/pts/4", "/dev/pts/4"},
      {"not a COM name", "COM0:", "COM0:"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DevicePath(row.name, lookup), row.path) << row.legend << ": " << row.name;
  }
  EXPECT_EQ(asked.front(), "COM8") << "the key has no colon";
  EXPECT_EQ(DevicePath("COM3:", nullptr), DefaultDevicePath(3)) << "no settings at all";
#ifdef _WIN32
  EXPECT_EQ(DefaultDevicePath(12), "\\\\.\\COM12") << "past COM9 only this spelling opens";
#else
  EXPECT_EQ(DefaultDevicePath(12), "/dev/ttyS11");
#endif
}

}  // namespace
}  // namespace orv::serial
