#include "play/ball.h"

#include <cmath>
#include <vector>

#include "base/frame_clock.h"
#include "play/level.h"
#include "play/pickups.h"
#include "play/attempt.h"
#include "play/spatial_index.h"
#include "play/events.h"


namespace {

double Sign(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

bool CapAllows(double v, double dv) { return std::fabs(v + dv) <= BallSpeedCap || Sign(v) == -Sign(dv); }

void SlowDown(double& v, double by) {
    if (v > 0) v = std::max(0.0, v - by);
    else if (v < 0) v = std::min(0.0, v + by);
}

// One axis of the ball's move; the two axes differ only in the coordinate and in which bump is heard.
void MoveBallAlong(bool horizontal, double target) {
    double& position = horizontal ? level.ball.x : level.ball.y;
    for (std::int64_t steps = 0; steps < MaxUnitSteps; ++steps) {
        const double start = position;
        if (!attempt.carried) CheckCrush();
        CheckArrows();
        if (target == position) return;
        CheckPickups();
        CheckHazards();
        const double d = target - position;
        position += std::fabs(d) <= 1 ? d : Sign(d);
        // The speed across the wall is the one before the collision turned it.
        const double velocityX = level.ball.param1, velocityY = level.ball.param2;
        if (CollideWalls()) {
            position = start;
            EmitBump(horizontal ? -1 : 0, velocityX, velocityY);
            return;
        }
        if (!(std::fabs(d) > 1)) return;
    }
}

double Distance(double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    return std::sqrt(dx * dx + dy * dy);
}

// The corner pass for one wall: the first corner nearer than 64 to the ball's centre turns the velocity round it.
bool DeflectAtCorner(const LevelObject& wall, double cx, double cy) {
    double& vx = level.ball.param1;
    double& vy = level.ball.param2;
    const double oldX = vx, oldY = vy;
    if (Distance(cx, cy, wall.x, wall.y) < 64) {
        vx = -oldY / BounceDivisor;
        vy = -oldX / BounceDivisor;
        AccelerateY(BallDownAcceleration * frameStep);
        return true;
    }
    if (Distance(cx, cy, wall.x + 127, wall.y) < 64) {
        vx = oldY / BounceDivisor;
        vy = oldX / BounceDivisor;
        AccelerateY(BallDownAcceleration * frameStep);
        return true;
    }
    if (Distance(cx, cy, wall.x, wall.y + 127) < 64) {
        vx = oldY / BounceDivisor;
        vy = oldX / BounceDivisor;
        // Deep under the wall's left edge the ball is put beside the wall instead of being turned into it.
        if (wall.x - level.ball.x > 120) {
            level.ball.x = wall.x - 128;
            vx = 0;
        }
        return true;
    }
    if (Distance(cx, cy, wall.x + 127, wall.y + 127) < 64) {
        vx = -oldY / BounceDivisor;
        vy = -oldX / BounceDivisor;
        return true;
    }
    return false;
}

}  // namespace

void AccelerateX(double dv) {
    if (CapAllows(level.ball.param1, dv)) level.ball.param1 += dv;
}

void AccelerateY(double dv) {
    if (CapAllows(level.ball.param2, dv)) level.ball.param2 += dv;
}

void ApplyFriction() {
    SlowDown(level.ball.param1, BallFriction * frameStep);
    SlowDown(level.ball.param2, BallFriction * frameStep);
    if (std::fabs(level.ball.param1) < BallRestSpeed) level.ball.param1 = 0;
    if (std::fabs(level.ball.param2) < BallRestSpeed) level.ball.param2 = 0;
}

void MoveBall() {
    if (level.ball.param1 == 0 && level.ball.param2 == 0) {
        // A ball at rest still meets the platforms and arrows that come to it.
        if (!attempt.carried) CheckCrush();
        CheckArrows();
        attempt.ballRolling = 0;
    } else {
        MoveBallX(level.ball.x + frameStep * level.ball.param1);
        MoveBallY(level.ball.y + frameStep * level.ball.param2);
        attempt.ballRolling = level.ball.param1 != 0 ? -1 : 0;
    }

    double& vx = level.ball.param1;
    double& vy = level.ball.param2;
    switch (attempt.forceCode) {
        case 1: vy = -ArrowPushSpeed; break;
        case 2:
            vx = ArrowPushSpeed;
            vy += Gravity * frameStep;
            break;
        case 3: vy -= ArrowLift * frameStep; break;
        case 4:
            vx = -ArrowPushSpeed;
            vy += Gravity * frameStep;
            break;
        case 5:
            vy += Gravity * frameStep;
            // The latch makes one visit to the switch one toggle, however many frames the ball stays on it.
            if (!attempt.switchLatch) {
                attempt.switchLatch = -1;
                attempt.switchState = attempt.switchState != 0 ? 0 : -1;
                ApplySwitch();
            }
            break;
        default: vy += Gravity * frameStep; break;
    }
    if (attempt.forceCode != 5) attempt.switchLatch = 0;
    attempt.forceCode = 0;
}

void MoveBallX(double targetX) { MoveBallAlong(true, targetX); }

void MoveBallY(double targetY) { MoveBallAlong(false, targetY); }

void CheckArrows() {
    if (attempt.forceCode != 0) return;
    static std::vector<std::int32_t> candidates;
    const double cx = level.ball.x + 64, cy = level.ball.y + 64;
    FindCandidates(ArrowLayerNumber, cx - 130, cx + 2, cy - 130, cy + 2, candidates);
    for (std::int32_t position : candidates) {
        const LevelObject& arrow = level.arrowLayer[position];
        if (arrow.x <= cx && cx <= arrow.x + 128 && arrow.y <= cy && cy <= arrow.y + 128) {
            attempt.forceCode = WholeNumber(arrow.param1);
            return;
        }
    }
}

bool CollideWalls() {
    static std::vector<std::int32_t> candidates, touching;
    const double bx = level.ball.x, by = level.ball.y;
    // The test point is one unit up and left of the centre, so a ball exactly between two walls meets one of them.
    const double cx = bx + 63, cy = by + 63;
    double& vx = level.ball.param1;
    double& vy = level.ball.param2;

    FindCandidates(WallLayerNumber, bx - 129, bx + 129, by - 129, by + 129, candidates);
    touching.clear();
    std::int32_t visitedUpTo = level.wallLayer.Count();
    bool bounced = false;
    for (std::int32_t position : candidates) {
        const LevelObject& wall = level.wallLayer[position];
        if (!(bx + 127 >= wall.x && by + 127 >= wall.y && bx <= wall.x + 127 && by <= wall.y + 127)) continue;
        touching.push_back(position);
        // An elevator blocks only from above: the ball rides up through its underside and sides.
        const bool elevator = IsElevator(position);
        const bool acrossX = wall.x <= cx && cx <= wall.x + 128;
        if (acrossX && wall.y - 64 <= cy && cy <= wall.y) {
            vy = -vy / BounceDivisor;
            bounced = true;
        } else {
            const bool inBottom = acrossX && wall.y + 128 <= cy && cy <= wall.y + 192;
            const bool alongY = wall.y <= cy && cy <= wall.y + 128;
            const bool inLeft = !inBottom && alongY && wall.x - 64 <= cx && cx <= wall.x;
            const bool inRight = !inBottom && !inLeft && alongY && wall.x + 128 <= cx && cx <= wall.x + 192;
            if (!elevator && inBottom) {
                vy = -vy / BounceDivisor;
                bounced = true;
            } else if (!elevator && (inLeft || inRight)) {
                vx = -vx / BounceDivisor;
                bounced = true;
            }
        }
        if (bounced) {
            visitedUpTo = position;
            break;
        }
    }

    // Every wall up to the one that answered now carries whether it touches the ball; later walls keep their mark.
    ClearWallMarksUpTo(visitedUpTo);
    for (std::int32_t position : touching) MarkWall(position);
    if (bounced) return true;

    // The corner pass only looks at walls touched in this test, in layer order, because the first that acts wins.
    for (std::int32_t position : touching) {
        if (IsElevator(position) || level.wallLayer[position].param1 != 1) continue;
        UnmarkWall(position);
        if (DeflectAtCorner(level.wallLayer[position], cx, cy)) return true;
    }
    return false;
}

bool BallInsidePlatform(std::int32_t platform) {
    const LevelObject& p = level.platformLayer[platform];
    if (level.ball.x + 65 >= p.x && level.ball.x + 63 <= p.x + 128 && level.ball.y + 65 >= p.y && level.ball.y + 63 <= p.y + 128) {
        attempt.carried = -1;
        return true;
    }
    return false;
}

void CheckCrush() {
    static std::vector<std::int32_t> candidates;
    attempt.carried = 0;
    FindCandidates(PlatformLayerNumber, level.ball.x - 66, level.ball.x + 66, level.ball.y - 66, level.ball.y + 66, candidates);
    bool inside = false;
    for (std::int32_t position : candidates)
        if (BallInsidePlatform(position)) {
            inside = true;
            break;
        }
    if (inside && level.deathCounter == 0 && !playRun.godMode) LoseBall();
}
