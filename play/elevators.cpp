#include "play/elevators.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/frame_clock.h"
#include "play/ball.h"
#include "play/level.h"
#include "play/attempt.h"
#include "play/spatial_index.h"
#include "base/sound_ids.h"

namespace {

constexpr int MaxWedgedSteps = 128;     // how far the ball is pushed toward the elevator's column in one frame

double Sign(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

bool ValidWall(std::int32_t position) { return position >= 1 && position <= level.wallLayer.Count(); }

void Stop(std::int32_t elevator, double y) {
    LevelObject& e = level.wallLayer[elevator];
    e.timer = ElevatorPause;
    PlayEffect(SoundLock);
    e.y = y;
    SpatialIndexMoved(WallLayerNumber, elevator);
}

// A wall that is not moving stands at exactly (x, y).
bool StillWallAt(double x, double y) {
    static std::vector<std::int32_t> candidates;
    FindCandidates(WallLayerNumber, x - 1, x + 1, y - 1, y + 1, candidates);
    for (std::int32_t position : candidates) {
        const LevelObject& wall = level.wallLayer[position];
        if (wall.param2 == 0 && wall.x == x && wall.y == y) return true;
    }
    return false;
}

// The elevator with the ball on it comes level with a free floor block beside it: it stops there so the ball can
// roll off. The window is half a frame's travel each side, so exactly one frame finds the elevator inside it.
void StopAtFloorBeside(std::int32_t elevator) {
    static std::vector<std::int32_t> candidates;
    LevelObject& e = level.wallLayer[elevator];
    const double window = std::fabs(frameStep * e.param2 / 2);
    std::int32_t after = 0;
    for (bool stopped = true; stopped;) {
        stopped = false;
        FindCandidates(WallLayerNumber, e.x - 130, e.x + 130, e.y - window - 2, e.y + window + 2, candidates);
        for (std::int32_t position : candidates) {
            if (position <= after) continue;
            const LevelObject& floor = level.wallLayer[position];
            if (floor.param2 != 0 || (floor.x != e.x - 128 && floor.x != e.x + 128)) continue;
            if (!(std::fabs(e.y - floor.y) < window)) continue;
            if (StillWallAt(floor.x, floor.y - 128)) continue;
            Stop(elevator, floor.y);
            // Every later floor is tested against the new height: look again from here on.
            after = position;
            stopped = true;
            break;
        }
    }
}

}  // namespace

void UpdateElevators() {
    for (std::int32_t k = 1; k <= level.elevatorIndex.Count(); ++k) {
        const std::int32_t elevator = level.elevatorIndex[k];
        if (!ValidWall(elevator)) continue;
        LevelObject& e = level.wallLayer[elevator];
        if (e.timer > 0) e.timer = std::max(0.0, e.timer - frameStep);
        const bool onTop = e.x - 64 <= level.ball.x && level.ball.x <= e.x + 64 && e.y - 129 <= level.ball.y && level.ball.y < e.y - 118;
        if (e.timer == 0)
            MoveElevator(elevator, e.y + frameStep * e.param2 * (onTop ? 1.0 : EmptyElevatorFactor));
        if (!onTop) continue;
        AccelerateY(BallDownAcceleration * frameStep);
        if (e.timer == 0) StopAtFloorBeside(elevator);
        level.ball.y = e.y - 128;
        // A ball wedged against a wall is pushed toward the elevator's column, at most one cell in a frame, so
        // that a ball stuck between walls cannot hold the game.
        for (int steps = 0; steps < MaxWedgedSteps && CollideWalls(); ++steps) level.ball.x += level.ball.x < e.x ? 1 : -1;
    }
}

double MoveElevator(std::int32_t elevator, double targetY) {
    LevelObject& e = level.wallLayer[elevator];
    const double start = e.y;
    if (targetY == e.y) return 0;
    for (std::int64_t steps = 0; steps < MaxUnitSteps; ++steps) {
        const double d = targetY - e.y;
        e.y += std::fabs(d) <= 1 ? d : Sign(d);
        SpatialIndexMoved(WallLayerNumber, elevator);
        if (ElevatorBlocked(elevator)) {
            e.param2 = -e.param2;
            SpatialIndexMoved(WallLayerNumber, elevator);
            break;
        }
        if (!(std::fabs(d) > 1)) break;
    }
    return e.y - start;
}

bool ElevatorBlocked(std::int32_t elevator) {
    static std::vector<std::int32_t> candidates;
    LevelObject& e = level.wallLayer[elevator];
    if (e.y < level.levelBounds.minY) {
        e.y = level.levelBounds.minY;
        return true;
    }
    if (e.y > level.levelBounds.maxY) {
        e.y = level.levelBounds.maxY;
        return true;
    }

    // Only walls of the same column within reach of one of the rules below can block.
    FindCandidates(WallLayerNumber, e.x - 1, e.x + 1, e.y - 263, e.y + 258, candidates);
    for (std::int32_t position : candidates) {
        if (position == elevator) continue;
        const LevelObject& s = level.wallLayer[position];
        if (s.x != e.x) continue;
        if (s.param2 != 0 && std::fabs(s.y - e.y) < ElevatorSpacing) return true;
        if (e.param2 >= 0) {
            // Landing on the wall below: pause and click.
            if (std::fabs(s.y - 128 - e.y) < ElevatorSnap) {
                Stop(elevator, s.y - 128);
                return true;
            }
        } else if (e.param2 < 0) {
            // Under a ceiling the elevator stops one cell short, so the ball riding it has room.
            if (std::fabs(s.y + 256 - e.y) < ElevatorSnap) {
                e.y = s.y + 256;
                return true;
            }
            if (std::fabs(s.y + 128 - e.y) < ElevatorSnap) {
                e.y = s.y + 128;
                return true;
            }
        }
    }

    FindCandidates(HazardLayerNumber, e.x - 1, e.x + 1, e.y - 263, e.y + 136, candidates);
    for (std::int32_t position : candidates) {
        const LevelObject& h = level.hazardLayer[position];
        if (h.x != e.x) continue;
        if (e.param2 >= 0 && std::fabs(h.y - 128 - e.y) < ElevatorSnap) {
            Stop(elevator, h.y - 128);
            return true;
        }
        if (e.param2 < 0 && std::fabs(h.y + 256 - e.y) < ElevatorSnap) {
            e.y = h.y + 256;
            return true;
        }
    }
    return false;
}
