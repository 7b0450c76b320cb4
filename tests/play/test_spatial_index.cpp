// The cell index behind the per-step tests: it must find every candidate a plain scan finds, keep up with moves and
// removals, and leave play exactly as it is without it.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using SpatialIndex = PlayTest;

// The positions whose corner lies in the rectangle, by a plain scan.
std::vector<std::int32_t> Scan(std::int32_t layer, double x0, double x1, double y0, double y1) {
    std::vector<std::int32_t> found;
    const Layer& objects = LevelLayer(layer);
    for (std::int32_t i = 1; i <= objects.Count(); ++i)
        if (objects[i].x >= x0 && objects[i].x <= x1 && objects[i].y >= y0 && objects[i].y <= y1) found.push_back(i);
    return found;
}

// Every position of `expected` is among the candidates, and the candidates are ascending.
void ExpectCovers(const std::vector<std::int32_t>& candidates, const std::vector<std::int32_t>& expected) {
    for (size_t i = 1; i < candidates.size(); ++i) ASSERT_LT(candidates[i - 1], candidates[i]);
    for (std::int32_t position : expected)
        EXPECT_TRUE(std::binary_search(candidates.begin(), candidates.end(), position)) << position;
}

TEST_F(SpatialIndex, CandidatesCoverEveryObjectInTheRectangleAfterMovesAndRemovals) {
    std::mt19937 random(5);
    auto coordinate = [&](int cells) { return static_cast<double>(random() % static_cast<unsigned>(cells)) * 128; };
    for (int i = 0; i < 400; ++i) Put(PickupLayerNumber, TexFlag, coordinate(60), coordinate(40));
    for (int i = 0; i < 300; ++i) Platform(coordinate(60) + 0.25 * (random() % 400), coordinate(40));
    Put(PickupLayerNumber, TexFlag, 1e300, -1e300);     // far outside: clamped into an edge cell
    Finish();
    BuildSpatialIndex();
    ASSERT_TRUE(SpatialIndexBuilt());
    std::vector<std::int32_t> candidates;
    for (int round = 0; round < 200; ++round) {
        // Move a platform, remove a pickup, then look somewhere.
        const std::int32_t moved = 1 + static_cast<std::int32_t>(random() % 300);
        level.platformLayer[moved].x += static_cast<double>(random() % 700) - 350;
        level.platformLayer[moved].y += static_cast<double>(random() % 700) - 350;
        SpatialIndexMoved(PlatformLayerNumber, moved);
        const unsigned left = static_cast<unsigned>(level.pickupLayer.Count());
        const std::int32_t removed = 1 + static_cast<std::int32_t>(random() % left);
        level.pickupLayer.RemoveAt(removed);
        SpatialIndexRemoved(PickupLayerNumber, removed);
        const double x = coordinate(70) - 640, y = coordinate(50) - 640;
        const double w = static_cast<double>(random() % 600), h = static_cast<double>(random() % 600);
        FindCandidates(PickupLayerNumber, x, x + w, y, y + h, candidates);
        ExpectCovers(candidates, Scan(PickupLayerNumber, x, x + w, y, y + h));
        FindCandidates(PlatformLayerNumber, x, x + w, y, y + h, candidates);
        ExpectCovers(candidates, Scan(PlatformLayerNumber, x, x + w, y, y + h));
    }
    ASSERT_EQ(level.pickupLayer.Count(), 201);
    DropSpatialIndex();
    FindCandidates(PickupLayerNumber, 0, 1, 0, 1, candidates);
    EXPECT_EQ(candidates.size(), 201u);         // without the index: every object
}

TEST_F(SpatialIndex, ALayerChangedBehindItsBackIsSortedInAgain) {
    for (int i = 0; i < 10; ++i) Pickup(TexFlag, 128.0 * i, 0);
    Finish();
    BuildSpatialIndex();
    Pickup(TexBomb, 5000, 5000);                // appended without telling the index
    std::vector<std::int32_t> candidates;
    FindCandidates(PickupLayerNumber, 4999, 5001, 4999, 5001, candidates);
    EXPECT_EQ(candidates, std::vector<std::int32_t>{11});
    DropSpatialIndex();
}

// ---- The same play with and without the index -------------------------------------------------------------------

// A busy level: walls with cracks, elevators, arrows and the switch, pickups, traps, platforms on marker paths.
void BuildBusyLevel(unsigned seed) {
    std::mt19937 random(seed);
    auto chance = [&](unsigned percent) { return random() % 100 < percent; };
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    const int columns = 40, rows = 24;
    for (int column = 0; column < columns; ++column) {
        Wall(128.0 * column, 128.0 * rows);
        Wall(128.0 * column, -128);
    }
    for (int row = 0; row < rows; ++row) {
        Wall(-128, 128.0 * row);
        Wall(128.0 * columns, 128.0 * row);
    }
    for (int row = 2; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const double x = 128.0 * column, y = 128.0 * row;
            if (column % 9 == 4) {
                if (row == rows - 1) Elevator(x, y);
                continue;                       // elevator shafts stay free
            }
            if (chance(22)) {
                Wall(x, y);
                if (chance(30)) Put(CrackLayerNumber, TexCrack, x, y);
                continue;
            }
            if (chance(6)) Pickup(chance(50) ? TexFlag : TexBomb, x, y);
            if (chance(5)) Arrow(1 + static_cast<std::int32_t>(random() % 5), x, y);
            if (chance(2)) Hazard(TexTrap, x, y);
            if (chance(3)) Marker(1 + static_cast<std::int32_t>(random() % 4), x, y);
            if (chance(3)) Platform(x, y, chance(50) ? 10 : 0, chance(50) ? -10 : 0);
        }
    }
    Hazard(TexExit, 128.0 * (columns - 1), 128.0 * (rows - 1));
    Ball(128 * 5, 0);
    Finish();
    level.timeLimit = 0;
}

std::string Script(unsigned seed) {
    std::mt19937 random(seed * 7 + 1);
    static const char* const keys[] = {"right", "left", "down", "right+space", "left+down", "", "right+down"};
    std::string script;
    for (int i = 0; i < 40; ++i) script += std::to_string(5 + random() % 30) + " " + keys[random() % 7] + "\n";
    return script;
}

std::string LevelState() {
    std::string state;
    char number[40];
    for (int layer = 1; layer <= LevelLayerCount; ++layer) {
        state += "layer " + std::to_string(layer) + "\n";
        for (const LevelObject& o : LevelLayer(layer)) {
            for (double v : {o.texture, o.param1, o.param2, o.x, o.y, o.frame, o.timer}) {
                std::snprintf(number, sizeof number, "%.17g ", v);
                state += number;
            }
            state += "\n";
        }
    }
    for (const LevelObject& o : attempt.flyingObjects) state += std::to_string(o.y) + " flying\n";
    return state;
}

class SameWithoutIndex : public PlayTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(SameWithoutIndex, PlayWithTheIndexIsPlayWithoutIt) {
    std::vector<std::string> traces[2];
    std::string states[2];
    std::int64_t frames = 0;
    for (int run = 0; run < 2; ++run) {
        spatialIndexEnabled = run == 0;
        UseHeadless();
        BuildBusyLevel(GetParam());
        score = 0;
        playRun.godMode = GetParam() > 2 ? -1 : 0;     // further through the level, past traps and platforms
        SeedRandom(GetParam());
        List<InputSegment> segments;
        std::string error;
        ASSERT_TRUE(ParseInputScript(Script(GetParam()), segments, error)) << error;
        Headless.frameTime = 1.0 / 60;
        ReplayDevice device;
        device.hold = [](int code, bool held) { Headless.held[code] = held; };
        device.push = [](const std::string& key) { HeadlessPushKey(key); };
        device.setClock = [](double seconds) { Headless.clock = seconds; };
        ReplayOptions options;
        options.maxFrames = 900;
        options.trace = [&](const std::string& line) { traces[run].push_back(line); };
        // Now and then the layers with the explosions and flying objects, which the end of play empties.
        options.afterFrame = [&](std::int64_t frame) {
            if (frame % 100 == 0) states[run] += LevelState();
        };
        frames = RunReplay(segments, options, device).frames;
        states[run] += LevelState();
    }
    spatialIndexEnabled = true;
    playRun.godMode = 0;
    ASSERT_GT(frames, 200);
    ASSERT_EQ(traces[0].size(), traces[1].size());
    for (size_t i = 0; i < traces[0].size(); ++i) ASSERT_EQ(traces[0][i], traces[1][i]) << "frame " << i + 1;
    EXPECT_EQ(states[0], states[1]);
}

INSTANTIATE_TEST_SUITE_P(Levels, SameWithoutIndex, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace playtest
