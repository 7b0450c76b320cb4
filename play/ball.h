// The ball's motion: friction, the player's pushes with their speed cap, gravity, the pushes of arrow cells, and
// the movement through the walls one unit at a time, with bounces off the sides and deflections at corners.
//
// The ball is the `ball` record (play/level.h): x, y its top-left corner, param1 and param2 its velocity in units
// per step.
#pragma once

#include <cstdint>

constexpr double BallFriction = 2;          // per step, on both axes
constexpr double BallRestSpeed = 0.5;       // a slower component stops
constexpr double BallSpeedCap = 40;         // the player's pushes never raise the speed past it
constexpr double BallSideAcceleration = 6;  // Left, Right
constexpr double BallDownAcceleration = 12; // Down, and pressed onto an elevator
constexpr double Gravity = 20;
constexpr double BounceDivisor = 1.5;
constexpr double ArrowPushSpeed = 30;
constexpr double ArrowLift = 5;             // the south arrow's upward drift per step

// A move of the ball, an elevator or a platform never takes more unit steps than this in one call, so a speed
// from a damaged level file slows one frame down instead of hanging the game.
constexpr std::int64_t MaxUnitSteps = 1 << 20;


// Adds dv to the velocity unless that takes the speed past the cap along the push; a push against the motion is
// always allowed.
void AccelerateX(double dv);
void AccelerateY(double dv);
// Friction of one frame on both components.
void ApplyFriction();
// The ball's move for this frame and the push of the arrow found during it.
void MoveBall();
// Moves the ball to the target along one axis in unit steps, running the pickup, hazard, arrow, platform and wall
// tests at every step; a wall undoes the step, bounces the ball and ends the move.
void MoveBallX(double targetX);
void MoveBallY(double targetY);
// True when the ball, where it is now, touches a wall; bounces it (and in one corner case moves it).
bool CollideWalls();
// forceCode from the first arrow cell under the ball's centre, unless this frame already found one.
void CheckArrows();
// The ball's centre box overlaps the platform's square; sets `carried` when it does.
bool BallInsidePlatform(std::int32_t platform);
// The ball's own motion brought it into a platform: it is lost (unless god mode is on).
void CheckCrush();
