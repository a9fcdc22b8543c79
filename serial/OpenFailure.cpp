#include "serial/OpenFailure.h"

#include <cctype>

#include "common/Text.h"
#include "serial/PortPlatform.h"

namespace orv::serial {
namespace {

std::string Holders(const std::vector<DeviceUser>& users) {
  std::string text;
  for (size_t i = 0; i < users.size(); ++i) {
    if (i > 0) text += i + 1 == users.size() ? " and " : ", ";
    text += Format("%s (process %d)", users[i].name.c_str(), users[i].pid);
  }
  return text;
}

}  // namespace

// Examples, for the device /dev/ttyUSB0:
//   There is no device /dev/ttyUSB0.
//   You may not use /dev/ttyUSB0: it belongs to the group dialout.
//   Join the group with "sudo adduser alice dialout", then log in again.
//   /dev/ttyUSB0 is in use by gpsd (process 812).
std::string OpenFailureReason(const Status& status, const DeviceFacts& facts) {
  const std::string& path = status.path;
  switch (status.code) {
    case Error::NotFound:
      return "There is no device " + path + ".";
    case Error::Access:
      // Nobody is to be told to join root's group.
      if (facts.group.empty() || facts.group == "root") return "You may not use " + path + ".";
      if (facts.joinedSinceLogin) {
        return "You may not use " + path + ": it belongs to the group " + facts.group +
               ", which you joined after logging in. Log out and in again.";
      }
      return "You may not use " + path + ": it belongs to the group " + facts.group +
             ".\nJoin the group with \"sudo adduser " + (facts.user.empty() ? "$USER" : facts.user) + " " +
             facts.group + "\", then log in again.";
    case Error::Busy:
      if (facts.users.empty()) return path + " is in use by another program.";
      return path + " is in use by " + Holders(facts.users) + ".";
    case Error::NotSerial:
      return path + " is not a serial port.";
    default:
      return status.sysError != 0 ? path + ": " + SystemErrorText(status.sysError) + "." : path + ".";
  }
}

int UucpLockPid(const std::string& content) {
  size_t i = 0;
  while (i < content.size() && content[i] == ' ') ++i;
  int pid = 0;
  for (; i < content.size() && std::isdigit(static_cast<unsigned char>(content[i])) && pid < 10000000; ++i) {
    pid = pid * 10 + (content[i] - '0');
  }
  return pid;
}

}  // namespace orv::serial
