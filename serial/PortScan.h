#pragma once
// The serial devices present now, for the port picker, in the order a
// technician looks for them:
//
//   Linux    /dev/serial/by-id/* (USB adapters by maker, model and serial
//            number: a name that stays the same whichever socket they are
//            plugged into), then ttyUSB* and ttyACM* that have no such
//            name, then the ttyS* that are real UARTs (the kernel makes
//            ttyS0..ttyS31 whether or not a chip is there; sysfs gives an
//            empty port the type 0)
//   Windows  the system's list of COM ports, HKLM\HARDWARE\DEVICEMAP\SERIALCOMM,
//            COM10 and above included
//
// A scan reads directories, links and small sysfs files, and may take a
// while on a busy system; callers run it away from the window thread.
#include <string>
#include <vector>

namespace orv::serial {

struct FoundPort {
  std::string path;         // what a COM name is mapped to
  std::string device;       // the kernel's name for it: "ttyUSB0", "COM12"
  std::string description;  // "FTDI FT232R USB UART A1234567", "UART 16550A"
};

// Where a scan looks; tests point these at a folder of pseudo-terminals
// and links. Windows reads the registry and ignores them.
struct ScanRoots {
  std::string dev = "/dev";
  std::string sysTty = "/sys/class/tty";
};

std::vector<FoundPort> ScanPorts(const ScanRoots& roots);

// What `path` leads to now: the kernel's name for the device, or empty
// when no serial device is there.
std::string PresentDevice(const std::string& path, const ScanRoots& roots);

// "usb-FTDI_FT232R_USB_UART_A1234567-if00-port0" -> "FTDI FT232R USB UART A1234567"
std::string UsbNameOf(const std::string& byIdName);

// Names in the order people count them: ttyUSB2 before ttyUSB10.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace orv::serial
