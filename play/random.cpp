#include "play/random.h"

#include <cmath>

namespace {

// xorshift64*: fast, fine statistically for a game, and the same sequence on every machine.
std::uint64_t randomState = 0x9E3779B97F4A7C15ull;

}  // namespace

void SeedRandom(std::uint32_t seed) {
    // Spread the 32-bit seed over the whole state; the state must never be 0.
    std::uint64_t z = static_cast<std::uint64_t>(seed) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    randomState = z != 0 ? z : 0x9E3779B97F4A7C15ull;
}

double RandomUnit() {
    randomState ^= randomState >> 12;
    randomState ^= randomState << 25;
    randomState ^= randomState >> 27;
    std::uint64_t bits = randomState * 0x2545F4914F6CDD1Dull;
    // The top 53 bits make an exact double in [0, 1).
    return static_cast<double>(bits >> 11) * (1.0 / 9007199254740992.0);
}

std::int32_t RandomInt(std::int32_t lo, std::int32_t hi) {
    double span = static_cast<double>(hi) - static_cast<double>(lo) + 1.0;
    return static_cast<std::int32_t>(std::floor(RandomUnit() * span + static_cast<double>(lo)));
}

std::uint64_t RandomState() { return randomState; }

void SetRandomState(std::uint64_t state) { randomState = state != 0 ? state : 0x9E3779B97F4A7C15ull; }
