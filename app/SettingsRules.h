#pragma once
// The four stored values, their defaults and the rules that turn them into
// the rate, interval and list positions the rest of the program uses.
#include <cstdint>
#include <optional>
#include <string>

namespace orv {

constexpr int kListEntries = 8;
constexpr int kListBand = 25;  // pixel height of one list picture entry
extern const int kBaudRateTable[kListEntries];       // 2400 .. 230400
extern const int kCaptureSecondsTable[kListEntries];  // 1 .. 600

// Values as found in the store; an absent or unreadable value is empty.
struct StoredSettings {
  std::optional<int32_t> baudRate;
  std::optional<int32_t> comPort;
  std::optional<int32_t> captureInterval;
  std::optional<int32_t> displayType;
};

struct Settings {
  int portIndex = 7;
  int baudIndex = 1;
  int baudRate = 4800;
  int intervalIndex = 1;
  int captureSeconds = 2;
  int displayTypeSetting = 0;
};

// Beyond this, in either direction, a stored index names nothing a list
// or a COM port has (Windows numbers its ports up to COM256). Such a value
// is brought to the end of the list that the arrows stop at: above, the
// last entry, where the up arrow lands; below, the first. Within it, the
// rules below hold and no arithmetic on an index can leave an int.
constexpr int kStoredIndexLimit = 255;
int ClampStoredIndex(int32_t stored);

Settings ApplyStoredSettings(const StoredSettings& stored);

// A whole number in decimal that fits in 32 signed bits, blanks around it
// allowed; nothing for anything else.
std::optional<int32_t> ParseInt32(const std::string& text);

// Rate for a baud index 0..7. A stored index above 7 has no entry: the
// rate then stays at what it was before, which at start-up is the default
// 4800 (the unit's own rate), the same rule the arrows follow above 7. The
// index itself is kept and written back unchanged.
int BaudRateForIndex(int index, int previousRate);
// Seconds for an interval index; above 7 the index itself is the seconds.
int CaptureSecondsForIndex(int index);

}  // namespace orv
