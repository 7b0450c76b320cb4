#include "play/movers.h"

#include <cmath>
#include <vector>

#include "base/frame_clock.h"
#include "play/ball.h"
#include "play/level.h"
#include "play/pickups.h"
#include "play/attempt.h"
#include "play/random.h"
#include "play/spatial_index.h"
#include "base/language.h"
#include "base/sound_ids.h"
#include "tiles/catalogue.h"

namespace {

double Sign(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// One axis of a platform's move; x and y follow the same rules.
double MovePlatformAlong(std::int32_t platform, bool horizontal, double target) {
    LevelObject& p = level.platformLayer[platform];
    double& position = horizontal ? p.x : p.y;
    const double start = position;
    for (std::int64_t steps = 0; steps < MaxUnitSteps; ++steps) {
        // Tested before every unit step, so a platform never passes a marker on its line.
        if (PlatformTurn(platform)) return position - start;
        if (target == position) return 0;
        const double d = target - position;
        const double before = position;
        position += std::fabs(d) <= 1 ? d : Sign(d);
        SpatialIndexMoved(PlatformLayerNumber, platform);
        if (!PlatformFree(platform)) {
            position = before;
            SpatialIndexMoved(PlatformLayerNumber, platform);
            p.param1 = RandomInt(BounceSpeedMin, BounceSpeedMax);
            p.param2 = RandomInt(BounceSpeedMin, BounceSpeedMax);
            if (RandomInt(1, 2) == 1) p.param1 = -p.param1;
            if (RandomInt(1, 2) == 1) p.param2 = -p.param2;
            return position - start;
        }
        if (!(std::fabs(d) > 1)) break;
    }
    return position - start;
}

// The cell a bomb goes off in, per axis: the multiple of 128 nearest to v, halves away from zero.
double BombCell(double v) { return 128 * std::trunc(std::nearbyint(v + 64 * Sign(v)) / 128); }

}  // namespace

void UpdateMovers() {
    attempt.carried = 0;
    for (std::int32_t i = 1; i <= level.platformLayer.Count(); ++i) {
        const bool inside = BallInsidePlatform(i);
        const double dx = MovePlatformX(i, level.platformLayer[i].x + frameStep * level.platformLayer[i].param1);
        if (inside) MoveBallX(level.ball.x + dx);
        const double dy = MovePlatformY(i, level.platformLayer[i].y + frameStep * level.platformLayer[i].param2);
        if (inside) MoveBallY(level.ball.y + dy);
        // A platform that arrives where the ball rests takes it along from the next frame; in this frame the ball
        // counts as carried, so its own move does not count as rolling into the platform.
        if (!inside) BallInsidePlatform(i);
    }
    for (std::int32_t i = 1; i <= attempt.flyingObjects.Count();) {
        LevelObject& flying = attempt.flyingObjects[i];
        flying.y += frameStep * flying.param2;
        if (flying.y > level.ball.y + FlyingDropDepth) attempt.flyingObjects.RemoveAt(i);
        else ++i;
    }
}

double MovePlatformX(std::int32_t platform, double targetX) { return MovePlatformAlong(platform, true, targetX); }

double MovePlatformY(std::int32_t platform, double targetY) { return MovePlatformAlong(platform, false, targetY); }

bool PlatformTurn(std::int32_t platform) {
    static std::vector<std::int32_t> candidates;
    LevelObject& p = level.platformLayer[platform];
    FindCandidates(PathLayerNumber, p.x - 2, p.x + 2, p.y - 2, p.y + 2, candidates);
    for (std::int32_t position : candidates) {
        const LevelObject& marker = level.pathLayer[position];
        if (!(std::fabs(marker.x - p.x) < 0.5 && std::fabs(marker.y - p.y) < 0.5)) continue;
        p.x = marker.x;
        p.y = marker.y;
        SpatialIndexMoved(PlatformLayerNumber, platform);
        const double oldX = std::nearbyint(p.param1), oldY = std::nearbyint(p.param2);
        switch (WholeNumber(marker.param1)) {
            case 1: p.param1 = 0, p.param2 = -PlatformSpeed; break;
            case 2: p.param1 = PlatformSpeed, p.param2 = 0; break;
            case 3: p.param1 = 0, p.param2 = PlatformSpeed; break;
            case 4: p.param1 = -PlatformSpeed, p.param2 = 0; break;
            default: break;
        }
        return p.param1 != oldX || p.param2 != oldY;
    }
    return false;
}

bool PlatformFree(std::int32_t platform) {
    static std::vector<std::int32_t> candidates;
    const LevelObject& p = level.platformLayer[platform];
    FindCandidates(WallLayerNumber, p.x - 129, p.x + 129, p.y - 129, p.y + 129, candidates);
    for (std::int32_t position : candidates) {
        const LevelObject& wall = level.wallLayer[position];
        if (p.x + 127 >= wall.x && p.y + 127 >= wall.y && p.x <= wall.x + 127 && p.y <= wall.y + 127) return false;
    }
    return true;
}

void DropBomb() {
    if (level.bombCount < 1) {
        AddMessage(CentreOnScreen, level.ball.y, LanguageText[LineNoBombsLeft]);
        return;
    }
    --level.bombCount;
    PlayEffect(SoundExplode);
    PlayQuoteSometimes(47, 56);
    const double cx = BombCell(level.ball.x), cy = BombCell(level.ball.y);
    // The ball's own cell is spared.
    BlastCell(cx, cy - 128);
    BlastCell(cx - 128, cy);
    BlastCell(cx + 128, cy);
    BlastCell(cx, cy + 128);

    const double centreX = level.ball.x + 64, centreY = level.ball.y + 64;
    for (std::int32_t i = 1; i <= level.platformLayer.Count();) {
        LevelObject& p = level.platformLayer[i];
        const double dx = p.x + 64 - centreX, dy = p.y + 64 - centreY;
        if (std::sqrt(dx * dx + dy * dy) < BombReach) {
            p.param2 = FlyingFallSpeed;
            attempt.flyingObjects.Add(p);
            level.platformLayer.RemoveAt(i);
            SpatialIndexRemoved(PlatformLayerNumber, i);
        } else {
            ++i;
        }
    }
}

bool BlastCell(double cx, double cy) {
    // Elevators keep their speeds through the blast, whichever wall goes.
    std::vector<std::int32_t> elevators;
    std::vector<double> speeds;
    for (std::int32_t position : level.elevatorIndex) {
        if (position < 1 || position > level.wallLayer.Count()) continue;
        elevators.push_back(position);
        speeds.push_back(level.wallLayer[position].param2);
    }

    SpawnExplosion(cx - ExplosionOffset, cy - ExplosionOffset);
    bool cracked = false;
    std::int32_t removedWall = 0;
    if (RemoveObjectAt(cx, cy, CrackLayerNumber)) {
        cracked = true;
        for (std::int32_t position = 1; position <= level.wallLayer.Count() && removedWall == 0; ++position)
            if (level.wallLayer[position].x == cx && level.wallLayer[position].y == cy) removedWall = position;
        if (removedWall != 0) {
            level.wallLayer.RemoveAt(removedWall);
        } else {
            RemoveObjectAt(cx, cy, GroundLayerNumber);
            RemoveObjectAt(cx, cy, ArrowLayerNumber);
        }
    }

    BuildElevatorIndex();
    for (size_t k = 0; k < elevators.size(); ++k) {
        std::int32_t position = elevators[k];
        if (position == removedWall) continue;
        if (removedWall != 0 && position > removedWall) --position;
        level.wallLayer[position].param2 = speeds[k];
    }
    if (cracked && SpatialIndexBuilt()) BuildSpatialIndex();
    return cracked;
}

void SpawnExplosion(double x, double y) {
    LevelObject explosion;
    explosion.texture = DefaultExplosionTexture;
    explosion.x = x;
    explosion.y = y;
    explosion.frame = Entry(DefaultExplosionTexture).firstFrame;
    level.explosionLayer.Add(explosion);
}
