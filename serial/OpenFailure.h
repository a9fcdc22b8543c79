#pragma once
// Why a port would not open, in words a technician can act on: which
// device is missing, which group to join, which program holds the port.
// The wording is a pure function of the failure and of what the system
// says about the device; gathering those facts is the platform's part
// (DeviceFactsPosix.cpp, DeviceFactsWin32.cpp).
#include <string>
#include <vector>

#include "serial/Port.h"

namespace orv::serial {

struct DeviceUser {
  int pid = 0;
  std::string name;  // the program's name, as the process table has it
};

struct DeviceFacts {
  std::string group;  // the group that owns the device; empty when unknown
  std::string user;   // the user this program runs as
  // The group database lists the user in `group`, but this program's
  // session does not have it: the user was added after logging in.
  bool joinedSinceLogin = false;
  std::vector<DeviceUser> users;  // other programs that hold the device open
};

// One or two sentences; `status` is the failed open's, its path the device.
std::string OpenFailureReason(const Status& status, const DeviceFacts& facts);

// The pid in a UUCP lock file ("LCK..ttyUSB0": ten characters of ASCII
// decimal and a line feed), or 0 when there is none.
int UucpLockPid(const std::string& content);

// What the system tells about `path` and about who else holds it open.
DeviceFacts GatherDeviceFacts(const std::string& path);
// Other programs that hold `path` open, as far as this program may see:
// open descriptors in the process table and live UUCP locks. Empty where
// the system cannot tell.
std::vector<DeviceUser> OtherUsersOf(const std::string& path);

}  // namespace orv::serial
