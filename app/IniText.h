#pragma once
// The settings file on systems without a registry is an INI file that the
// user may edit by hand:
//
//   [General]
//   BaudRate=1
//   ComPort=7
//
//   [Ports]
//   ; the FTDI cable on the bench
//   COM8=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0
//
// Values are taken verbatim (but for the blanks around them): a device path
// with a comma in it is one path, not a list. Writing changes only the
// lines of the keys written and leaves every other line, comments included,
// as the user left it.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orv::ini {

// The group of the keys before any [section], also written as [General].
constexpr const char* kTopLevel = "General";

// The value of the last `key` line in `group`, or nothing.
std::optional<std::string> Value(const std::string& text, const std::string& group, const std::string& key);

// `text` with each key set in `group`: a line that holds the key is
// rewritten in place; a missing key is added after the group's last line,
// the group itself when it is missing too (the top level first in the file,
// any other at the end).
std::string WithValues(const std::string& text, const std::string& group,
                       const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace orv::ini
