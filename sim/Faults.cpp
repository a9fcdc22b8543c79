#include "sim/Faults.h"

#include <cerrno>
#include <cstdlib>

namespace orv::sim {

namespace {

enum class Value { None, Optional, Required };

struct FaultRule {
  const char* name;
  Value value;
  int64_t defaultValue;
  int64_t minValue;
  int64_t maxValue;
  void (*apply)(Faults&, int64_t);
};

constexpr FaultRule kRules[] = {
    {"no-echo", Value::None, 0, 0, 0, [](Faults& f, int64_t) { f.noEcho = true; }},
    {"bad-echo", Value::None, 0, 0, 0, [](Faults& f, int64_t) { f.badEcho = true; }},
    {"late-reply", Value::Optional, 300, 0, 600000,
     [](Faults& f, int64_t n) { f.lateReplyMs = static_cast<int>(n); }},
    {"stop-ack", Value::Required, 0, 0, 1000000000,
     [](Faults& f, int64_t n) { f.stopAckAfter = static_cast<int>(n); }},
    {"erase-hang", Value::None, 0, 0, 0, [](Faults& f, int64_t) { f.eraseHang = true; }},
    {"drop-after", Value::Required, 0, 0, INT64_MAX / 2,
     [](Faults& f, int64_t n) { f.dropAfter = n; }},
    {"hang-up", Value::Required, 0, 0, INT64_MAX / 2,
     [](Faults& f, int64_t n) { f.hangUpAfter = n; }},
    {"noise", Value::Optional, 64, 1, 1000000000,
     [](Faults& f, int64_t n) { f.noiseEvery = static_cast<int>(n); }},
    {"hash-ack", Value::None, 0, 0, 0, [](Faults& f, int64_t) { f.hashAck = true; }},
};

bool ParseCount(const std::string& text, int64_t minValue, int64_t maxValue, int64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  const long long n = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || n < minValue || n > maxValue) return false;
  value = n;
  return true;
}

}  // namespace

bool ApplyFault(const std::string& option, Faults& faults, std::string& error) {
  const size_t eq = option.find('=');
  const std::string name = option.substr(0, eq);
  for (const FaultRule& rule : kRules) {
    if (name != rule.name) continue;
    int64_t value = rule.defaultValue;
    if (eq == std::string::npos) {
      if (rule.value == Value::Required) {
        error = "fault " + name + " needs a number: " + name + "=N";
        return false;
      }
    } else {
      if (rule.value == Value::None) {
        error = "fault " + name + " takes no number";
        return false;
      }
      if (!ParseCount(option.substr(eq + 1), rule.minValue, rule.maxValue, value)) {
        error = "fault " + name + ": not a usable number: " + option.substr(eq + 1);
        return false;
      }
    }
    rule.apply(faults, value);
    return true;
  }
  error = "unknown fault: " + name;
  return false;
}

}  // namespace orv::sim
