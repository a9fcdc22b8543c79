// The COM ports of a Windows system: the values of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, one for each port present now, named
// after the driver's device object ("\Device\VCP0" for an FTDI adapter,
// "\Device\Serial0" for a built-in UART) and holding the COM name.
#include <windows.h>

#include <algorithm>

#include "serial/PortNames.h"
#include "serial/PortPlatform.h"
#include "serial/PortScan.h"

namespace orv::serial {
namespace {

std::vector<FoundPort> ListComPorts() {
  std::vector<FoundPort> found;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return found;
  }
  for (DWORD i = 0;; ++i) {
    char name[256];
    BYTE data[64];
    DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
    const LONG r = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    data[dataSize] = 0;
    std::string com(reinterpret_cast<const char*>(data));
    while (!com.empty() && com.back() == 0) com.pop_back();
    const int number = ComNumber(com);
    if (number == 0) continue;
    std::string driver = name;
    if (driver.compare(0, 8, "\\Device\\") == 0) driver.erase(0, 8);
    found.push_back({DefaultDevicePath(number), "COM" + std::to_string(number), driver});
  }
  RegCloseKey(key);
  std::sort(found.begin(), found.end(),
            [](const FoundPort& a, const FoundPort& b) { return NaturalLess(a.device, b.device); });
  return found;
}

}  // namespace

std::vector<FoundPort> ScanPorts(const ScanRoots&) { return ListComPorts(); }

// "\\.\COM12", "COM12:" and "com12" all name COM12.
std::string PresentDevice(const std::string& path, const ScanRoots&) {
  std::string name = path;
  if (name.compare(0, 4, "\\\\.\\") == 0) name.erase(0, 4);
  const int number = ComNumber(name);
  if (number == 0) return std::string();
  const std::string device = "COM" + std::to_string(number);
  for (const FoundPort& port : ListComPorts()) {
    if (port.device == device) return device;
  }
  return std::string();
}

}  // namespace orv::serial
