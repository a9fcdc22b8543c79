// Windows does not say which program holds a COM port, and a port has no
// group to join: the reason for a failed open comes from the error alone.
#include "serial/OpenFailure.h"

namespace orv::serial {

std::vector<DeviceUser> OtherUsersOf(const std::string&) { return {}; }

DeviceFacts GatherDeviceFacts(const std::string&) { return {}; }

}  // namespace orv::serial
