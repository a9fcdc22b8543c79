#include "sim/NmeaStream.h"

#include "sim/Rng.h"

namespace orv::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Kind { Status, Xdr, Vhw, Dbt, Mtw, Rmc, Gll, Vlw };

struct Step {
  Kind kind;
  int index;  // transducer index for Xdr
};

constexpr Step kSchedule[] = {
    {Kind::Status, 0}, {Kind::Xdr, 0},  {Kind::Xdr, 1},  {Kind::Xdr, 2},  {Kind::Xdr, 3},
    {Kind::Xdr, 4},    {Kind::Xdr, 5},  {Kind::Xdr, 6},  {Kind::Xdr, 7},  {Kind::Status, 0},
    {Kind::Vhw, 0},    {Kind::Dbt, 0},  {Kind::Mtw, 0},  {Kind::Rmc, 0},  {Kind::Gll, 0},
    {Kind::Vlw, 0},    {Kind::Status, 0}, {Kind::Xdr, 8}, {Kind::Xdr, 9}, {Kind::Xdr, 10},
    {Kind::Xdr, 11},   {Kind::Xdr, 12}, {Kind::Xdr, 13}, {Kind::Xdr, 14}, {Kind::Xdr, 15},
    {Kind::Status, 0}, {Kind::Vhw, 0},  {Kind::Dbt, 0},  {Kind::Mtw, 0},  {Kind::Rmc, 0},
    {Kind::Gll, 0},    {Kind::Vlw, 0},
};
constexpr size_t kSteps = sizeof(kSchedule) / sizeof(kSchedule[0]);

using FixSentence = std::string (*)(const Fix&);

struct KindRule {
  bool always;  // the status sentence belongs to no group
  Group group;
  FixSentence build;  // null for Status and Xdr, which are built from other inputs
};

// Indexed by Kind.
constexpr KindRule kRules[] = {
    {true, Group::Depth, nullptr},      {false, Group::Xdr, nullptr},
    {false, Group::Speed, VhwSentence}, {false, Group::Depth, DbtSentence},
    {false, Group::Depth, MtwSentence}, {false, Group::Gps, RmcSentence},
    {false, Group::Gps, GllSentence},   {false, Group::Speed, VlwSentence},
};

}  // namespace

NmeaStream::NmeaStream(uint32_t seed) : track_(seed) {
  Rng rng(seed ^ 0x5844520000000000ULL);
  for (double& p : phase_) p = rng.Unit() * 2 * kPi;
}

std::string NmeaStream::Next(int64_t nowMs, const Menu& menu) {
  for (;;) {
    const Step step = kSchedule[step_];
    step_ = (step_ + 1) % kSteps;
    const KindRule& rule = kRules[static_cast<size_t>(step.kind)];
    if (!rule.always && !menu.Enabled(rule.group)) continue;
    if (step.kind == Kind::Status) return StatusSentence(menu.StatusText());
    if (step.kind == Kind::Xdr) {
      return XdrSentence(step.index, static_cast<double>(nowMs) / 1000.0,
                         phase_[static_cast<size_t>(step.index)]);
    }
    return rule.build(track_.At(nowMs));
  }
}

}  // namespace orv::sim
