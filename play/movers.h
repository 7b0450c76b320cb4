// Moving platforms, bombs and explosions. Platforms travel along paths of direction markers (param1 1 up, 2 right,
// 3 down, 4 left), bounce off walls at random, carry the ball they move onto and destroy a ball that rolls into
// them. A bomb blasts the four cells beside the ball, destroying the walls marked by cracks, and throws nearby
// platforms out of the level as flying objects.
#pragma once

#include <cstdint>

constexpr double PlatformSpeed = 10;            // set by a marker
constexpr std::int32_t BounceSpeedMin = 5;      // random bounce off a wall, per axis
constexpr std::int32_t BounceSpeedMax = 10;
constexpr double BombReach = 256;               // platforms nearer than this (centre to centre) are thrown
constexpr double FlyingFallSpeed = 40;
constexpr double FlyingDropDepth = 7000;        // a flying object this far below the ball is gone
constexpr double ExplosionOffset = 192;         // the explosion image starts this far left of and above its cell

// One frame of every platform (in layer order) and of the flying objects.
void UpdateMovers();
// Moves the platform at `platform` toward the target in unit steps; returns how far it moved.
double MovePlatformX(std::int32_t platform, double targetX);
double MovePlatformY(std::int32_t platform, double targetY);
// True when a path marker under the platform changed its velocity (the platform is snapped onto the marker).
bool PlatformTurn(std::int32_t platform);
// True when the platform's square overlaps no wall.
bool PlatformFree(std::int32_t platform);
// The Space key's action.
void DropBomb();
// Blasts the cell whose corner is (cx, cy): always an explosion; a crack marker there destroys the wall (or, with
// no wall, the ground and arrow) of that cell. True when a crack was there.
bool BlastCell(double cx, double cy);
// Appends one explosion with its image's corner at (x, y).
void SpawnExplosion(double x, double y);
