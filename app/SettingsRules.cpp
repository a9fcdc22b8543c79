#include "app/SettingsRules.h"

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

Settings ApplyStoredSettings(const StoredSettings& stored) {
  Settings s;
  const int baud = stored.baudRate.value_or(1);
  const int interval = stored.captureInterval.value_or(1);
  s.portIndex = stored.comPort.value_or(7);
  s.intervalIndex = interval < 0 ? 0 : interval;
  s.displayTypeSetting = stored.displayType.value_or(0);
  s.captureSeconds = CaptureSecondsForIndex(s.intervalIndex);
  s.baudIndex = baud < 0 ? 0 : baud;
  s.baudRate = BaudRateForIndex(s.baudIndex, 4800);
  return s;
}

}  // namespace orv
