#include "tests/play/play_fixture.h"
#include <cstdio>
namespace playtest { namespace {
using Dbg = PlayTest;
TEST_F(Dbg, Wedge) {
    for (double x = -2560; x <= 2560; x += 128) Wall(x, 800);
    Elevator(0, 1024);
    Finish();
    Ball(0, 896);
    switchState = -1; ApplySwitch();
    frameStep = 0.5;
    std::printf("elev %d speed %g y %g bounds %g %g\n", elevatorIndex.Count(), wallLayer[elevatorIndex[1]].param2, wallLayer[elevatorIndex[1]].y, levelBounds.minY, levelBounds.maxY);
    UpdateElevators();
    std::printf("ball %g %g elev y %g\n", ball.x, ball.y, wallLayer[elevatorIndex[1]].y);
}
TEST_F(Dbg, Two) {
    Floor(2560, 2560, 512); Ball(2560, 384);
    Elevator(0, 0); Elevator(0, 1024); Wall(0, 1152);
    Finish();
    everyFrame = [&](std::int64_t f) { if (f > 45 && f < 60) std::printf("%lld: up %g %g  low %g %g\n", (long long)f, wallLayer[elevatorIndex[1]].y, wallLayer[elevatorIndex[1]].param2, wallLayer[elevatorIndex[2]].y, wallLayer[elevatorIndex[2]].param2); };
    Play("60");
}
}}
