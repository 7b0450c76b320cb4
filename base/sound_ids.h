// The game's sounds by number: the rules name them in their events, the sound module plays them.
#pragma once

#include <cstdint>

// Sound ids.
constexpr std::int32_t SoundBump = 0;        // PlayBump
constexpr std::int32_t SoundFlag = 1;
constexpr std::int32_t SoundBomb = 2;
constexpr std::int32_t SoundExplode = 3;
constexpr std::int32_t SoundWin = 4;
constexpr std::int32_t SoundLose = 5;
constexpr std::int32_t SoundJingle = 6;      // the logo at start-up
constexpr std::int32_t SoundFirstQuote = 7;  // quote n (1 to 80) is id n + 6
constexpr std::int32_t SoundLastQuote = 86;
constexpr std::int32_t SoundLock = 87;       // elevators and the switch
constexpr std::int32_t SoundCountdown = 88;  // five seconds of the time limit left
constexpr std::int32_t SoundUnlock = 89;     // the hidden pack is unlocked
constexpr std::int32_t SoundCount = 90;
