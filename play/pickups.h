// The tests that decide a level: bombs and flags picked up, the ball lost in a trap or off the bottom of the
// level, and the exit reached once every flag is collected, with the points each of them gives. Both tests run at
// every unit step of the ball, before the step is taken.
#pragma once

#include <cstdint>

constexpr std::int32_t BombPoints = 150;
constexpr std::int32_t FlagPoints = 100;
constexpr double PointsPerSecondLeft = 500;
constexpr std::int32_t PointsPerBombLeft = 5000;
constexpr double FallDepth = 200;               // below the lowest object of the level the ball is lost
constexpr double FlagsReminderInterval = 1.5;   // seconds between two reminders at an exit

// Collects the first pickup under the ball's centre, if any.
void CheckPickups();
// The fall, the first trap or exit under the ball's centre; nothing while a platform carries the ball.
void CheckHazards();
// The ball is lost: the message, the sounds; the play loop runs the death sequence from here.
void LoseBall();
// The exit bonus, the victory sound; the play loop runs the victory sequence from here.
void ReachExit();
// Adds points, keeping the score within its 32-bit range.
void AddScore(std::int64_t points);
