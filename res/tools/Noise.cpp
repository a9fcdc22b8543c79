#include "res/tools/Noise.h"

#include <cmath>

namespace art {
namespace {

std::uint64_t SplitMix64(std::uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

}  // namespace

float Hash01(std::uint32_t seed, int x, int y) {
  const std::uint64_t key = (static_cast<std::uint64_t>(seed) << 40) ^
                            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 20) ^
                            static_cast<std::uint64_t>(static_cast<std::uint32_t>(y));
  return static_cast<float>(SplitMix64(key) >> 40) / static_cast<float>(1u << 24);
}

float ValueNoise(std::uint32_t seed, float x, float y, float cell) {
  const float gx = x / cell;
  const float gy = y / cell;
  const int ix = static_cast<int>(std::floor(gx));
  const int iy = static_cast<int>(std::floor(gy));
  const float tx = Smooth(gx - static_cast<float>(ix));
  const float ty = Smooth(gy - static_cast<float>(iy));
  const float top = Hash01(seed, ix, iy) + (Hash01(seed, ix + 1, iy) - Hash01(seed, ix, iy)) * tx;
  const float bottom = Hash01(seed, ix, iy + 1) + (Hash01(seed, ix + 1, iy + 1) - Hash01(seed, ix, iy + 1)) * tx;
  return top + (bottom - top) * ty;
}

}  // namespace art
