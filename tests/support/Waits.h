#pragma once
// Bounded waits that keep the window thread's events flowing.
#include <QTest>
#include <functional>

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
  return QTest::qWaitFor(condition, timeoutMs);
}
