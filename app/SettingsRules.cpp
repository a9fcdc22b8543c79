#include "app/SettingsRules.h"

#include <cerrno>
#include <cstdlib>

namespace orv {

const int kBaudRateTable[kListEntries] = {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};
const int kCaptureSecondsTable[kListEntries] = {1, 2, 5, 10, 30, 60, 300, 600};

int BaudRateForIndex(int index, int previousRate) {
  if (index < 0 || index >= kListEntries) return previousRate;
  return kBaudRateTable[index];
}

int CaptureSecondsForIndex(int index) {
  if (index >= 0 && index < kListEntries) return kCaptureSecondsTable[index];
  return index;
}

int ClampStoredIndex(int32_t stored) {
  if (stored > kStoredIndexLimit) return kListEntries - 1;
  if (stored < -kStoredIndexLimit) return 0;
  return stored;
}

Settings ApplyStoredSettings(const StoredSettings& stored) {
  Settings s;
  const int baud = ClampStoredIndex(stored.baudRate.value_or(1));
  const int interval = ClampStoredIndex(stored.captureInterval.value_or(1));
  s.portIndex = ClampStoredIndex(stored.comPort.value_or(7));
  s.intervalIndex = interval < 0 ? 0 : interval;
  s.displayTypeSetting = stored.displayType.value_or(0);
  s.captureSeconds = CaptureSecondsForIndex(s.intervalIndex);
  s.baudIndex = baud < 0 ? 0 : baud;
  s.baudRate = BaudRateForIndex(s.baudIndex, 4800);
  return s;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(" \t");
  const std::string number = text.substr(first, last - first + 1);
  const size_t digits = number[0] == '-' || number[0] == '+' ? 1 : 0;
  if (digits == number.size() || number.find_first_not_of("0123456789", digits) != std::string::npos) {
    return std::nullopt;
  }
  errno = 0;
  const long long value = std::strtoll(number.c_str(), nullptr, 10);
  if (errno != 0 || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace orv
