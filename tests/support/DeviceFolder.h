#pragma once
// A folder that the port scan takes for /dev and /sys/class/tty:
//
//   dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0 -> ../../ttyUSB0
//   dev/ttyUSB0  -> `usbTarget`, or a pseudo-terminal of its own
//   dev/ttyACM0, dev/ttyS0, dev/ttyS1, dev/tty5 -> pseudo-terminals
//   dev/ttyUSB1  -> nowhere;  dev/ttyUSB2: a plain file
//   sys/ttyS0/type 4 (a 16550A),  sys/ttyS1/type 0 (no chip behind it)
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Pty.h"
#include "serial/PortScan.h"

class DeviceFolder {
 public:
  static constexpr const char* kById = "serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0";

  explicit DeviceFolder(std::string usbTarget = std::string()) {
    char pattern[] = "/tmp/orv-devices-XXXXXX";
    root_ = mkdtemp(pattern) ? pattern : "";
    namespace fs = std::filesystem;
    fs::create_directories(root_ + "/dev/serial/by-id");
    fs::create_directories(root_ + "/sys/ttyS0");
    fs::create_directories(root_ + "/sys/ttyS1");
    std::ofstream(root_ + "/sys/ttyS0/type") << "4\n";
    std::ofstream(root_ + "/sys/ttyS1/type") << "0\n";
    std::ofstream(Dev("ttyUSB2")) << "not a device\n";
    fs::create_symlink("../../ttyUSB0", Dev(kById));
    fs::create_symlink("/nonexistent/ttyUSB1", Dev("ttyUSB1"));
    fs::create_symlink(usbTarget.empty() ? Terminal() : usbTarget, Dev("ttyUSB0"));
    for (const char* name : {"ttyACM0", "ttyS0", "ttyS1", "tty5"}) fs::create_symlink(Terminal(), Dev(name));
  }
  ~DeviceFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  DeviceFolder(const DeviceFolder&) = delete;
  DeviceFolder& operator=(const DeviceFolder&) = delete;

  orv::serial::ScanRoots Roots() const { return {root_ + "/dev", root_ + "/sys"}; }
  std::string Dev(const std::string& name) const { return root_ + "/dev/" + name; }

 private:
  // A pseudo-terminal's slave, there while its master stays open.
  std::string Terminal() {
    terminals_.push_back(std::make_unique<orv::test::Pty>());
    return terminals_.back()->Ok() ? terminals_.back()->SlavePath() : "/nonexistent";
  }

  std::string root_;
  std::vector<std::unique_ptr<orv::test::Pty>> terminals_;
};
