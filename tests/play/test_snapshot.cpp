// Snapshots of play, on the solution of every shipped level: an unseen frame changes the rules' state as a frame of
// the play screen does, and a snapshot taken at any frame and put back, after play went on, plays on to the same
// frames as never having stopped.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gfx/board.h"
#include "play/snapshot.h"
#include "shell/solver.h"
#include "tests/play/built_level.h"

namespace {

namespace fs = std::filesystem;

struct Solution {
    std::string level;      // the built level
    std::string keys;       // the key script beside its source
};

void PrintTo(const Solution& solution, std::ostream* out) { *out << solution.level; }

std::vector<Solution> ShippedSolutions() {
    std::vector<Solution> solutions;
    const fs::path packs = fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs";
    std::error_code error;
    for (const fs::directory_entry& pack : fs::directory_iterator(packs, error))
        for (const fs::directory_entry& file : fs::directory_iterator(pack.path()))
            if (file.path().extension() == ".keys") {
                std::ifstream in(file.path(), std::ios::binary);
                const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                const std::string built = (fs::path(KOLBRIX_GAME_DIR) / ("lvlpck" + pack.path().filename().string()) /
                                           (file.path().stem().string() + ".kbx")).string();
                solutions.push_back({built, text});
            }
    std::sort(solutions.begin(), solutions.end(),
              [](const Solution& a, const Solution& b) { return a.level < b.level; });
    return solutions;
}

constexpr double Fps = 60;

// The held keys of every frame of a script, [0] unused; frames past its end hold nothing.
std::vector<std::vector<int>> HeldPerFrame(const std::string& text) {
    List<InputSegment> script;
    std::string error;
    EXPECT_TRUE(ParseInputScript(text, script, error)) << error;
    std::vector<std::vector<int>> frames(1);
    for (const InputSegment& segment : script)
        for (std::int64_t f = 0; f < segment.frames; ++f) frames.push_back(segment.held);
    return frames;
}

// What the state of play is after a frame, bit for bit where it counts: the trace's figures, every layer, the
// flying platforms, the latches and the random numbers.
std::string Digest() {
    std::string digest = TraceLine(attempt.playIteration);
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) {
        const Layer& layer = LevelLayer(n);
        digest.append(reinterpret_cast<const char*>(layer.begin()),
                      static_cast<size_t>(layer.Count()) * sizeof(LevelObject));
        digest += '|';
    }
    for (const LevelObject& flying : attempt.flyingObjects)
        digest.append(reinterpret_cast<const char*>(&flying), sizeof flying);
    digest.append(reinterpret_cast<const char*>(&level.ball), sizeof level.ball);
    digest += std::to_string(attempt.latches.space) + std::to_string(attempt.carried) +
              std::to_string(attempt.forceCode);
    digest += std::to_string(RandomState());
    return digest;
}

class Snapshots : public ::testing::TestWithParam<Solution> {
protected:
    void Load() {
        view = BoardView{};             // the board drawn as in play, whatever an earlier test left
        ASSERT_TRUE(LoadBuiltLevel(GetParam().level));
        SetProgramFolder("");
        PlatformSetFixedFrameTime(1.0 / Fps);
        startClock = PlatformClock();
        score = 0;
    }
    // One frame as a replay at 60 frames a second plays it, not shown.
    bool Frame(const std::vector<std::vector<int>>& keys) {
        const size_t next = static_cast<size_t>(attempt.playIteration + 1);
        for (int code : ScriptScanCodes()) Headless.held[code] = false;
        if (next < keys.size())
            for (int code : keys[next]) Headless.held[code] = true;
        return PlayReplayFrame(startClock, Fps, [](double seconds) { Headless.clock = seconds; });
    }
    double startClock = 0;
};

// The play screen's frames and unseen frames give the same run, frame by frame, to the end of the level.
TEST_P(Snapshots, UnseenFramesPlayAsThePlayScreenPlays) {
    const std::vector<std::vector<int>> keys = HeldPerFrame(GetParam().keys);
    ASSERT_NO_FATAL_FAILURE(Load());
    List<InputSegment> script;
    std::string error;
    ASSERT_TRUE(ParseInputScript(GetParam().keys, script, error));
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    std::vector<std::string> shown;
    ReplayOptions options;
    options.trace = [&](const std::string& line) { shown.push_back(line); };
    ASSERT_TRUE(RunReplay(script, options, device).completed);

    ASSERT_NO_FATAL_FAILURE(Load());
    Headless.held[ScanSpace] = false;
    for (int code : ScriptScanCodes()) Headless.held[code] = false;
    if (keys.size() > 1)
        for (int code : keys[1]) Headless.held[code] = true;
    BeginPlay();
    std::vector<std::string> unseen;
    for (bool over = false; !over && unseen.size() < shown.size() + 10;) {
        over = Frame(keys);
        unseen.push_back(TraceLine(attempt.playIteration));
    }
    EndPlay();
    ASSERT_EQ(unseen.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) ASSERT_EQ(unseen[i], shown[i]) << "frame " << i + 1;
}

// At three frames of the solution, chosen at random, a snapshot is taken; play goes on for up to three seconds (or
// to the end of the level), the snapshot is put back and the same frames are played again: every frame is the same.
TEST_P(Snapshots, PlayingOnFromARestoredSnapshotGivesTheSameFrames) {
    const std::vector<std::vector<int>> keys = HeldPerFrame(GetParam().keys);
    ASSERT_NO_FATAL_FAILURE(Load());
    for (int code : ScriptScanCodes()) Headless.held[code] = false;
    if (keys.size() > 1)
        for (int code : keys[1]) Headless.held[code] = true;
    BeginPlay();
    std::mt19937 choose(static_cast<std::uint32_t>(std::hash<std::string>{}(GetParam().level)));
    const std::int64_t length = static_cast<std::int64_t>(keys.size()) - 1;
    std::vector<std::int64_t> at = {std::uniform_int_distribution<std::int64_t>(1, length / 3)(choose),
                                    std::uniform_int_distribution<std::int64_t>(length / 3, 2 * length / 3)(choose),
                                    std::uniform_int_distribution<std::int64_t>(2 * length / 3, length)(choose)};
    bool over = false;
    PlaySnapshot earlier;
    for (std::int64_t frame : at) {
        while (!over && attempt.playIteration < frame) over = Frame(keys);
        if (over) break;
        PlaySnapshot snapshot;
        TakeSnapshot(snapshot, earlier.taken ? &earlier : nullptr);
        const std::int64_t taken = attempt.playIteration;
        std::vector<std::string> first;
        bool firstOver = false;
        while (!firstOver && attempt.playIteration < taken + 180) {
            firstOver = Frame(keys);
            first.push_back(Digest());
        }
        RestoreSnapshot(snapshot);
        EXPECT_EQ(attempt.playIteration, taken);
        std::vector<std::string> again;
        bool againOver = false;
        while (!againOver && again.size() < first.size()) {
            againOver = Frame(keys);
            again.push_back(Digest());
        }
        EXPECT_EQ(againOver, firstOver);
        ASSERT_EQ(again.size(), first.size());
        for (size_t i = 0; i < first.size(); ++i)
            ASSERT_TRUE(again[i] == first[i])
                << "frame " << taken + 1 + static_cast<std::int64_t>(i) << " after the snapshot of frame " << taken;
        over = firstOver;
        earlier = snapshot;
    }
    EndPlay();
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, Snapshots, ::testing::ValuesIn(ShippedSolutions()));

// Snapshots of one run share the chunks of the layers that did not change, and only those.
TEST(SnapshotSharing, UnchangedChunksAreSharedAndChangedOnesCopied) {
    const std::vector<Solution> solutions = ShippedSolutions();
    ASSERT_FALSE(solutions.empty());
    ASSERT_TRUE(LoadBuiltLevel(solutions.front().level));
    SetProgramFolder("");
    BeginPlay();
    ASSERT_GE(level.wallLayer.Count(), 1);
    PlaySnapshot first, second;
    TakeSnapshot(first);
    level.ball.x += 1;
    level.wallLayer[1].y += 3;          // the first chunk of the walls changes; the others stay
    TakeSnapshot(second, &first);
    ASSERT_GE(level.wallLayer.Count(), 1);
    EXPECT_NE(second.layers[WallLayerNumber].chunks[0], first.layers[WallLayerNumber].chunks[0]);
    for (size_t c = 1; c < first.layers[WallLayerNumber].chunks.size(); ++c)
        EXPECT_EQ(second.layers[WallLayerNumber].chunks[c], first.layers[WallLayerNumber].chunks[c]);
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) {
        if (n == WallLayerNumber) continue;
        for (size_t c = 0; c < first.layers[n].chunks.size(); ++c)
            EXPECT_EQ(second.layers[n].chunks[c], first.layers[n].chunks[c]) << LayerName(n);
    }
    EXPECT_EQ(second.backup, first.backup);

    RestoreSnapshot(first);
    EXPECT_EQ(level.wallLayer[1].y + 3, second.layers[WallLayerNumber].chunks[0]->front().y);
    EndPlay();
}

}  // namespace
