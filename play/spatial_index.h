// Where the tests of play find their candidates. The ball's unit steps test pickups, hazards, arrows, platforms and
// walls at every unit of movement; on a big level a plain scan of the layers would cost millions of tests per
// frame. While a level is played the index sorts the objects of those layers into a grid of cells, so that a test
// looks only at the few objects near the point it asks about. The rules stay exactly as written: callers run their
// own exact test on every candidate, in layer order, so the first object in layer order still wins.
//
// The grid is built when play starts, after a restart and after a blast; the elevators and platforms tell it when
// they move, and the pickups when they are taken. docs/spatial-index.md describes it.
#pragma once

#include <cstdint>
#include <vector>

// On unless a benchmark or a test switches it off to compare with plain scans.
extern bool spatialIndexEnabled;

// Sorts the level in memory into the grid (when spatialIndexEnabled).
void BuildSpatialIndex();
// Play has ended: every query scans its layer again.
void DropSpatialIndex();
bool SpatialIndexBuilt();

// The positions, ascending, of the objects of `layer` whose top-left corner may lie in [x0, x1] x [y0, y1]: every
// object whose corner lies there is listed, others may be. Without the grid, every object of the layer is listed.
void FindCandidates(std::int32_t layer, double x0, double x1, double y0, double y1, std::vector<std::int32_t>& out);

// The object at `position` of `layer` has moved (an elevator or a platform).
void SpatialIndexMoved(std::int32_t layer, std::int32_t position);
// layer.RemoveAt(position) has just been done.
void SpatialIndexRemoved(std::int32_t layer, std::int32_t position);

// The walls' touched marks (their param1). The grid keeps the set of marked walls, so that clearing the marks of
// the walls up to a position does not visit every wall.
void ClearWallMarksUpTo(std::int32_t lastPosition);    // param1 = 0 for every wall 1..lastPosition
void MarkWall(std::int32_t position);                  // param1 = 1
void UnmarkWall(std::int32_t position);                // param1 = 0
// True when the wall at `position` is listed in elevatorIndex.
bool IsElevator(std::int32_t wallPosition);
