#pragma once
// What each platform's port file (PortPosix.cpp, PortWin32.cpp) supplies to
// the shared port code besides OpenPort().
#include <string>

namespace orv::serial {

// The system's own text for an error number: an errno value on POSIX, a
// GetLastError() value on Windows.
std::string SystemErrorText(int err);

// The device a COM number names when the settings name none:
// /dev/ttyS(n-1) on POSIX, \\.\COMn on Windows (the only spelling that
// reaches COM10 and above).
std::string DefaultDevicePath(int comNumber);

}  // namespace orv::serial
