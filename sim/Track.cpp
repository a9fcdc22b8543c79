#include "sim/Track.h"

#include <cmath>

#include "sim/Rng.h"

namespace orv::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
// 2015-07-20 09:22:11 UTC: the moment the first fix of every run is taken.
constexpr int64_t kStartUtc = 1437384131;

double Wrap360(double degrees) {
  const double d = std::fmod(degrees, 360.0);
  return d < 0 ? d + 360.0 : d;
}

}  // namespace

Track::Track(uint32_t seed) {
  Rng rng(seed);
  for (double& p : phase_) p = rng.Unit() * 2 * kPi;
  baseHeading_ = rng.Unit() * 360.0;
  fix_.utcSeconds = kStartUtc;
  fix_.latitude = 57.98495 + (rng.Unit() - 0.5) * 0.1;
  fix_.longitude = 11.73906 + (rng.Unit() - 0.5) * 0.1;
  fix_.variation = 3.1;
  fix_.totalMiles = 2354.92 + std::floor(rng.Unit() * 500.0);
  fix_.tripMiles = 0;
  Step();
}

double Track::Wave(int which, double amplitude, double periodS) const {
  return amplitude * std::sin(2 * kPi * static_cast<double>(second_) / periodS + phase_[which]);
}

// One second of sailing: the drifting values are taken at the new second,
// the position moves on at the speed and heading of that second.
void Track::Step() {
  fix_.headingTrue = Wrap360(baseHeading_ + Wave(0, 35, 900) + Wave(1, 8, 170));
  fix_.speedKnots = 5.5 + Wave(2, 1.2, 400) + Wave(3, 0.3, 47);
  fix_.depthMetres = 18 + Wave(4, 10, 600) + Wave(5, 2, 90);
  fix_.waterTempC = 16.8 + Wave(6, 0.6, 1800);

  const double miles = fix_.speedKnots / 3600.0;
  const double heading = fix_.headingTrue * kPi / 180.0;
  fix_.latitude += miles * std::cos(heading) / 60.0;
  fix_.longitude += miles * std::sin(heading) / 60.0 / std::cos(fix_.latitude * kPi / 180.0);
  fix_.totalMiles += miles;
  fix_.tripMiles += miles;
}

const Fix& Track::At(int64_t nowMs) {
  const int64_t target = nowMs / 1000;
  while (second_ < target) {
    ++second_;
    ++fix_.utcSeconds;
    Step();
  }
  return fix_;
}

}  // namespace orv::sim
