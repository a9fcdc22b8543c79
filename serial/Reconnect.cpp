#include "serial/Reconnect.h"

#include <algorithm>

namespace orv::serial {

int ReconnectSchedule::NextDelayMs(long long nowMs) const {
  const long long left = lostAtMs_ + timings_.reconnectForMs - nowMs;
  if (left <= 0) return -1;
  return static_cast<int>(std::min<long long>(timings_.reconnectEveryMs, left));
}

}  // namespace orv::serial
