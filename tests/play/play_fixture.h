// A small world for the play tests: a temporary program folder with every sound file (the headless audio device
// records what plays), a hand-made catalogue with a texture of every kind of cell, the language lines play shows,
// and scenario levels built cell by cell and played through PlayLevel at a fixed frame time from a key script.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/play_frame.h"
#include "play/events.h"
#include "gfx/display.h"
#include "platform/headless.h"
#include "platform/headless_audio.h"
#include "play/ball.h"
#include "play/elevators.h"
#include "play/level.h"
#include "play/movers.h"
#include "play/pickups.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/replay.h"
#include "play/spatial_index.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "tests/test_support.h"
#include "tiles/catalogue.h"

namespace playtest {

// Catalogue indices of the fixture's textures.
enum Texture : std::int32_t {
    TexSky = 1,
    TexBall,
    TexShadow,
    TexWall,
    TexElevator,
    TexFlag,
    TexBomb,
    TexExit,
    TexTrap,
    TexArrowNorth,
    TexArrowEast,
    TexArrowSouth,
    TexArrowWest,
    TexSwitch,
    TexPathNorth,
    TexPathEast,
    TexPathSouth,
    TexPathWest,
    TexPlatform,
    TexCrack,
    TexGround,
    TexExplosion,
    TexBonusSky,
};

// ---- Building a level ----------------------------------------------------------------------------------------
inline LevelObject& Put(std::int32_t layer, std::int32_t texture, double x, double y, double param1 = 0,
                        double param2 = 0) {
    LevelObject object;
    object.texture = texture;
    object.x = x;
    object.y = y;
    object.param1 = param1;
    object.param2 = param2;
    object.frame = Entry(texture).firstFrame;
    Layer& objects = LevelLayer(layer);
    return objects[objects.Add(object)];
}
inline void Wall(double x, double y) { Put(WallLayerNumber, TexWall, x, y); }
// Walls every 128 units from x0 to x1 (inclusive) at height y.
inline void Floor(double x0, double x1, double y) {
    for (double x = x0; x <= x1; x += 128) Wall(x, y);
}
inline void Elevator(double x, double y) { Put(WallLayerNumber, TexElevator, x, y); }
inline void Pickup(std::int32_t texture, double x, double y) { Put(PickupLayerNumber, texture, x, y); }
inline void Hazard(std::int32_t texture, double x, double y) { Put(HazardLayerNumber, texture, x, y); }
inline void Arrow(std::int32_t code, double x, double y) {
    static const std::int32_t textures[] = {0, TexArrowNorth, TexArrowEast, TexArrowSouth, TexArrowWest, TexSwitch};
    Put(ArrowLayerNumber, textures[code], x, y, code);
}
inline void Marker(std::int32_t code, double x, double y) {
    static const std::int32_t textures[] = {0, TexPathNorth, TexPathEast, TexPathSouth, TexPathWest};
    Put(PathLayerNumber, textures[code], x, y, code);
}
inline LevelObject& Platform(double x, double y, double vx = 0, double vy = 0) {
    return Put(PlatformLayerNumber, TexPlatform, x, y, vx, vy);
}
inline void Ball(double x, double y, double vx = 0, double vy = 0) {
    PlaceBall(0, 0, TexBall);
    level.ball.x = x;
    level.ball.y = y;
    level.ball.param1 = vx;
    level.ball.param2 = vy;
}
// What reading the level from a file does after the layers: its extent and the elevator list.
inline void Finish() {
    ResetLevelBounds();
    for (int layer = 1; layer <= LevelLayerCount; ++layer)
        for (const LevelObject& object : LevelLayer(layer)) WidenLevelBounds(level.levelBounds, object.x, object.y);
    SettleLevelBounds();
    BuildElevatorIndex();
}


// A frame of play as the tests look at it afterwards.
struct Snapshot {
    std::int64_t frame = 0;
    double x = 0, y = 0, vx = 0, vy = 0;
    std::int32_t flags = 0, bombs = 0, score = 0, switchState = 0;
    double death = 0, win = 0, elapsed = 0, timeLimit = 0, targetZoom = 0, levelZoom = 0;
    std::int32_t hud = 0, cheats = 0, god = 0, show = 0, zoom = 0;
    std::int32_t pickups = 0, explosions = 0, texts = 0;
};

class PlayTest : public ::testing::Test {
protected:
    std::optional<TempProgramFolder> folder;
    std::vector<Snapshot> frames;       // one per iteration of the last Play
    // Every message of the last Play with the frame it appeared in. Messages are noted as they appear, because the
    // heads-up display ages them and takes them away.
    std::vector<std::pair<std::int64_t, std::string>> shown;
    ReplayResult result;
    double fps = 50;                    // frameStep 0.5: round numbers
    // Called after every iteration (before the snapshot is kept) when set.
    std::function<void(std::int64_t frame)> everyFrame;
    // When set, the clock stands at levelStartTime + this many seconds from the second frame on.
    std::optional<double> frozenElapsed;

    void SetUp() override {
        UseHeadless();
        HeadlessAudioReset();
        folder.emplace();
        for (std::int32_t id = 0; id < SoundCount; ++id) folder->Write(SoundFileName(id, false), "ogg");
        NostalgicMode = 0;
        SoundOn = QuotesOn = -1;
        MusicOn = 0;
        InitAudio();
        HeadlessAudioClearEvents();

        ResetTextureTable();
        Add("sky", KindBackground, 2, 2);
        Add("ball", KindBall, 3, 6);
        Add("shadow", KindBallShadow, 7, 7);
        Add("brick", KindWall, 8, 8);
        Add("Lift_Elevator", KindWall, 9, 9);
        Add("flag", KindFlag, 10, 13);
        Add("bomb", KindBomb, 14, 14);
        Add("door", KindExit, 15, 15);
        Add("spikes", KindTrap, 16, 16);
        Add("up", KindArrowNorth, 17, 17);
        Add("right", KindArrowEast, 18, 18);
        Add("down", KindArrowSouth, 19, 19);
        Add("left", KindArrowWest, 20, 20);
        Add("switch", KindArrowSwitch, 21, 22);
        Add("pathup", KindPathNorth, 23, 23);
        Add("pathright", KindPathEast, 24, 24);
        Add("pathdown", KindPathSouth, 25, 25);
        Add("pathleft", KindPathWest, 26, 26);
        Add("mover", KindPlatform, 27, 27);
        Add("crack", KindCrack, 28, 28);
        Add("grass", KindGround, 29, 29);
        Add("boom", KindExplosion, 30, 33);
        Add("bonusbackground", KindBackground, 34, 34);

        for (std::string& text : LanguageText) text.clear();
        LanguageText[91] = "GO!";
        LanguageText[92] = "TIME UP!";
        LanguageText[93] = "NO BOMBS LEFT!";
        LanguageText[94] = "ALL FLAGS COLLECTED!";
        LanguageText[95] = "BALL LOST!";
        LanguageText[96] = "TIME PENALTY:";
        LanguageText[97] = "-";
        LanguageText[98] = "TIME BONUS:";
        LanguageText[99] = " FLAG LEFT!";
        LanguageText[100] = " FLAGS LEFT!";
        LanguageText[241] = "5 SECONDS LEFT!";

        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        level.elevatorIndex.Clear();
        attempt.flyingObjects.Clear();
        attempt.floatingTexts.Clear();
        playEvents.Clear();
        level.background = LevelObject{};
        level.ballShadow = LevelObject{};
        TakeCatalogueDefaults();
        level.timeLimit = 0;
        level.levelZoom = 0.5;
        score = 0;
        attempt = PlayAttempt{};
        playRun = PlayRun{};
        level.bombCount = 0;
        level.deathCounter = level.winCounter = 0;
        lastBumpTime = -1e9;
        ActiveWidth = 1024;
        ActiveHeight = 768;
        frameStep = 0.5;
        spatialIndexEnabled = true;
        SeedRandom(1);
    }

    void TearDown() override {
        playIterationHook = nullptr;
        CloseAudio();
        HeadlessAudioReset();
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        level.elevatorIndex.Clear();
        attempt.flyingObjects.Clear();
        attempt.floatingTexts.Clear();
        ResetTextureTable();
        folder.reset();
    }

    static void Add(const std::string& name, std::int32_t kind, double first, double last) {
        TextureEntry entry;
        entry.pack = "txtpckTest";
        entry.name = name;
        entry.kind = kind;
        entry.firstFrame = first;
        entry.lastFrame = last;
        AddTexture(entry);
    }

    // ---- Playing -------------------------------------------------------------------------------------------------
    // Plays the level with a key script (docs/play.md); Escape after maxFrames frames at the latest, by default
    // once the script has run out.
    bool Play(const std::string& script, std::int64_t maxFrames = 0) {
        List<InputSegment> segments;
        std::string error;
        EXPECT_TRUE(ParseInputScript(script, segments, error)) << error;
        if (maxFrames == 0)
            for (const InputSegment& segment : segments) maxFrames += segment.frames;
        frames.clear();
        shown.clear();
        Headless.frameTime = 1.0 / fps;
        const double start = Headless.clock;
        ReplayDevice device;
        device.hold = [](int code, bool held) { Headless.held[code] = held; };
        device.push = [](const std::string& key) { HeadlessPushKey(key); };
        // A frozen clock stands still from the second frame on (the first setting is the start).
        device.setClock = [this, start](double seconds) {
            Headless.clock = frozenElapsed && seconds != start ? start + *frozenElapsed : seconds;
        };
        ReplayOptions options;
        options.fps = fps;
        options.maxFrames = maxFrames;
        options.afterFrame = [this](std::int64_t frame) {
            // Play's messages are white; one that is noted is tinted a shade, so it is noted once.
            for (FloatingText& text : attempt.floatingTexts) {
                if (text.blue != 255) continue;
                shown.emplace_back(frame, text.text);
                text.blue = 254;
            }
            if (everyFrame) everyFrame(frame);
            Snapshot s;
            s.frame = frame;
            s.x = level.ball.x;
            s.y = level.ball.y;
            s.vx = level.ball.param1;
            s.vy = level.ball.param2;
            s.flags = attempt.flagsLeft;
            s.bombs = level.bombCount;
            s.score = score;
            s.switchState = attempt.switchState;
            s.death = level.deathCounter;
            s.win = level.winCounter;
            s.elapsed = attempt.elapsedTime;
            s.timeLimit = level.timeLimit;
            s.targetZoom = attempt.targetZoom;
            s.levelZoom = level.levelZoom;
            s.hud = playRun.hudVisible;
            s.cheats = playRun.cheatsOn;
            s.god = playRun.godMode;
            s.show = playRun.showAll;
            s.zoom = playRun.autoZoom;
            s.pickups = level.pickupLayer.Count();
            s.explosions = level.explosionLayer.Count();
            s.texts = attempt.floatingTexts.Count();
            frames.push_back(s);
        };
        result = RunReplay(segments, options, device);
        return result.completed;
    }

    // The first frame (1..) whose snapshot passes `test`, or 0.
    std::int64_t FirstFrame(const std::function<bool(const Snapshot&)>& test) const {
        for (const Snapshot& s : frames)
            if (test(s)) return s.frame;
        return 0;
    }

    // ---- What was heard and shown -----------------------------------------------------------------------------
    // The ids of the sounds played so far, in order.
    std::vector<std::int32_t> SoundsPlayed() const {
        // Sounds raised by rules called directly are still waiting for the frame that plays them.
        ConsumePlayEvents();
        std::vector<std::int32_t> ids;
        for (const AudioEvent& event : HeadlessAudioEvents()) {
            if (event.kind != AudioEventKind::PlayChunk) continue;
            for (std::int32_t id = 0; id < SoundCount; ++id)
                if (event.file == folder->Folder() + SoundFileName(id, false)) ids.push_back(id);
        }
        return ids;
    }
    int TimesPlayed(std::int32_t first, std::int32_t last) const {
        int n = 0;
        for (std::int32_t id : SoundsPlayed())
            if (id >= first && id <= last) ++n;
        return n;
    }
    // How often the message was shown in the last Play, and in which frame first (0: never).
    int TimesShown(const std::string& text) const {
        int n = 0;
        for (const auto& [frame, message] : shown) n += message == text;
        return n;
    }
    std::int64_t FirstShown(const std::string& text) const {
        for (const auto& [frame, message] : shown)
            if (message == text) return frame;
        return 0;
    }
    // The messages that appeared in one frame, in order.
    std::vector<std::string> ShownIn(std::int64_t frame) const {
        std::vector<std::string> texts;
        for (const auto& [when, message] : shown)
            if (when == frame) texts.push_back(message);
        return texts;
    }
};

}  // namespace playtest
