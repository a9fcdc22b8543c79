#pragma once
// The unit's tools name ports "COM1:" to "COM8:" (and beyond, from a stored
// index). Each name maps to a device path: the [Ports] group of the settings
// may name one (COM8=/dev/ttyUSB0); without an entry COMn is /dev/ttyS(n-1)
// on POSIX and \\.\COMn on Windows.
#include <functional>
#include <string>

namespace orv::serial {

// "COM%d:" for a port index (0 is COM1).
std::string PortName(int portIndex);
// The number in "COM12:" (the colon may be left out, the letters may be in
// either case), or 0 when the text is not such a name.
int ComNumber(const std::string& portName);
// The device path for a port name; `lookup` returns the configured path for
// a key such as "COM8" or an empty string. Any other text is taken to be a
// device path already and comes back unchanged.
std::string DevicePath(const std::string& portName,
                       const std::function<std::string(const std::string&)>& lookup);

}  // namespace orv::serial
