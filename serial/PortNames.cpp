#include "serial/PortNames.h"

#include <cctype>

#include "common/Text.h"
#include "serial/PortPlatform.h"

namespace orv::serial {
namespace {

// Enough digits for every COM number Windows hands out (up to 256) and few
// enough that the value cannot overflow.
constexpr size_t kMaxDigits = 4;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string PortName(int portIndex) { return Format("COM%d:", portIndex + 1); }

// "COM", then a number without leading zeros, then an optional ':' and
// nothing else. The letters may be in either case, as Windows takes them.
int ComNumber(const std::string& portName) {
  if (portName.size() < 4) return 0;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(portName[i])) != "COM"[i]) return 0;
  }
  size_t end = portName.size();
  if (portName[end - 1] == ':') --end;
  const size_t digits = end - 3;
  if (digits == 0 || digits > kMaxDigits || portName[3] == '0') return 0;
  int number = 0;
  for (size_t i = 3; i < end; ++i) {
    if (!IsDigit(portName[i])) return 0;
    number = number * 10 + (portName[i] - '0');
  }
  return number;
}

std::string DevicePath(const std::string& portName,
                       const std::function<std::string(const std::string&)>& lookup) {
  const int number = ComNumber(portName);
  if (number == 0) return portName;
  if (lookup) {
    const std::string configured = lookup(Format("COM%d", number));
    if (!configured.empty()) return configured;
  }
  return DefaultDevicePath(number);
}

}  // namespace orv::serial
