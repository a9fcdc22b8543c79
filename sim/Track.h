#pragma once
// The boat the simulated unit is fitted to: it meanders along a track off
// the Swedish west coast, its speed, depth and water temperature drifting
// slowly. Everything follows from the seed and the unit's clock, so two runs
// with the same seed and the same clock send the same values.
#include <cstdint>

namespace orv::sim {

struct Fix {
  int64_t utcSeconds = 0;    // seconds since 1970-01-01 00:00:00 UTC
  double latitude = 0;       // degrees, north positive
  double longitude = 0;      // degrees, east positive
  double headingTrue = 0;    // degrees 0..360
  double variation = 0;      // magnetic variation in degrees, east positive
  double speedKnots = 0;
  double depthMetres = 0;
  double waterTempC = 0;
  double totalMiles = 0;     // log, nautical miles
  double tripMiles = 0;
};

class Track {
 public:
  explicit Track(uint32_t seed);

  // The boat at unit time nowMs. Time is taken in whole seconds and never
  // goes backwards: an earlier time gives the latest fix again.
  const Fix& At(int64_t nowMs);

 private:
  void Step();
  double Wave(int which, double amplitude, double periodS) const;

  Fix fix_;
  int64_t second_ = 0;
  double baseHeading_ = 0;
  double phase_[8] = {};
};

}  // namespace orv::sim
