// The game's one source of random numbers. Everything that changes play (and the start frames and camera swing
// of a loaded level) draws from it, so a run with the same seed and inputs repeats exactly.
#pragma once

#include <cstdint>

// Start-up seeds from the clock; tools and tests seed with a fixed number.
void SeedRandom(std::uint32_t seed);
// A number r uniform in [0, 1).
double RandomUnit();
// floor(r x (hi - lo + 1) + lo): every whole number from lo to hi is equally likely.
std::int32_t RandomInt(std::int32_t lo, std::int32_t hi);
// The generator's whole state, for snapshots of play (play/snapshot.h).
std::uint64_t RandomState();
void SetRandomState(std::uint64_t state);
