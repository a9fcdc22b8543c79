#pragma once
// A small deterministic generator (SplitMix64). Every random-looking thing the
// simulated unit does comes from one of these, seeded from --seed, so a run
// can be repeated byte for byte.
#include <cstdint>

namespace orv::sim {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  uint8_t Byte() { return static_cast<uint8_t>(Next() >> 56); }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // True about once in `n` calls (always for n <= 1).
  bool OneIn(uint32_t n) { return n <= 1 || Next() % n == 0; }

 private:
  uint64_t state_;
};

}  // namespace orv::sim
