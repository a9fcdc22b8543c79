#pragma once
// Seeded noise for the textures: the same seed gives the same picture on
// every machine (no library random engine, whose sequences may differ).
#include <cstdint>

namespace art {

// Uniform value in [0, 1) for a lattice point.
float Hash01(std::uint32_t seed, int x, int y);

// Smooth noise in [0, 1): hashed lattice every `cell` pixels, blended with
// a smoothstep between lattice points.
float ValueNoise(std::uint32_t seed, float x, float y, float cell);

}  // namespace art
