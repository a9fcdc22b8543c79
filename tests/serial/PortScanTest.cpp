// What a path in a folder laid out as /dev and /sys/class/tty leads to, and
// the scan's names (what it lists: the port picker's end-to-end test).
#include <gtest/gtest.h>

#include <algorithm>

#include "DeviceFolder.h"
#include "serial/PortScan.h"

namespace orv::serial {
namespace {

TEST(PortScan, PresentDeviceFollowsLinksAndSkipsWhatIsNoSerialPort) {
  DeviceFolder folder;
  const struct {
    const char* legend;
    std::string path;
    std::string device;  // empty: nothing there
  } rows[] = {
      {"a by-id link names its ttyUSB", folder.Dev(DeviceFolder::kById), "ttyUSB0"},
      {"a UART without a chip", folder.Dev("ttyS1"), ""},
      {"a link to nowhere", folder.Dev("ttyUSB1"), ""},
      {"a plain file", folder.Dev("ttyUSB2"), ""},
  };
  for (const auto& row : rows) EXPECT_EQ(PresentDevice(row.path, folder.Roots()), row.device) << row.legend;
}

TEST(PortScan, Names) {
  const struct {
    const char* byId;
    const char* shown;
  } usb[] = {
      {"usb-Arduino__www.arduino.cc__0043_95530343-if00", "Arduino  www.arduino.cc  0043 95530343"},
      {"usb-Silicon_Labs_CP2102-if00-portx", "Silicon Labs CP2102-if00-portx"},
  };
  for (const auto& row : usb) EXPECT_EQ(UsbNameOf(row.byId), row.shown) << row.byId;
  std::vector<std::string> names = {"ttyUSB10", "ttyS10", "ttyUSB09", "COM10", "ttyUSB", "ttyS2", "COM2"};
  std::sort(names.begin(), names.end(), NaturalLess);
  EXPECT_EQ(names, (std::vector<std::string>{"COM2", "COM10", "ttyS2", "ttyS10", "ttyUSB", "ttyUSB09", "ttyUSB10"}));
}

}  // namespace
}  // namespace orv::serial
