#include "shell/best_runs.h"

#include <algorithm>
#include <cstdio>

#include "base/binio.h"
#include "base/files.h"
#include "base/frame_clock.h"
#include "base/language.h"
#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/demo.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/tool_jobs.h"
#include "base/settings.h"
#include "sound/sound.h"

GhostRace ghostRace;
BestRunOffer bestRunOffer;
bool ghostRaceOn = false;

namespace {

const char Magic[] = "KBRN";
constexpr std::size_t MagicSize = 4;
constexpr std::size_t MaxTextBytes = 255;
// Escape and M in a segment's key bits, after the held keys.
constexpr int EscapeBit = 15, MusicBit = 16;
constexpr std::uint8_t GhostAlpha = 110;
constexpr std::int64_t GhostNoteFrames = 150;       // the ahead/behind note stays 2.5 seconds

const std::string& Text(int line) { return LanguageText[static_cast<std::size_t>(line)]; }

std::uint32_t Check32(const std::string& bytes, std::size_t count) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 16777619u;
    }
    return hash;
}

void PutVarint(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// At most ten bytes; false (r.ok too) past the end, for a number that does not fit 64 bits, or for one written longer
// than it needs (so that a best run that reads is written again to the same bytes).
bool ReadVarint(ByteReader& r, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (BytesLeft(r) < 1) {
            r.ok = false;
            return false;
        }
        const std::uint8_t byte = ReadU8(r);
        if ((shift == 63 && byte > 1) || (shift > 0 && byte == 0)) break;
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    r.ok = false;
    return false;
}

void PutText(std::string& out, const std::string& text) {
    const std::string cut = text.substr(0, MaxTextBytes);
    PutU8(out, static_cast<std::uint8_t>(cut.size()));
    out += cut;
}

std::string ReadText(ByteReader& r) {
    const std::size_t count = ReadU8(r);
    if (!r.ok || BytesLeft(r) < count) {
        r.ok = false;
        return "";
    }
    return ReadBytes(r, count);
}

std::uint64_t SegmentKeys(const InputSegment& segment) {
    std::uint64_t keys = 0;
    const std::vector<int>& codes = ScriptScanCodes();
    for (std::size_t i = 0; i < codes.size(); ++i)
        if (std::find(segment.held.begin(), segment.held.end(), codes[i]) != segment.held.end()) keys |= 1ull << i;
    for (const std::string& key : segment.buffered) {
        if (key == "\x1B") keys |= 1ull << EscapeBit;
        if (key == "m") keys |= 1ull << MusicBit;
    }
    return keys;
}

std::int32_t CheatBits(const PlayRun& run) {
    return (run.cheatsOn ? CheatsOnBit : 0) | (run.showAll ? ShowAllBit : 0) | (run.autoZoom ? AutoZoomBit : 0) |
           (run.godMode ? GodModeBit : 0);
}

std::string CurrentPlayerName() {
    return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() ? PlayerList[PlayerIndex] : std::string();
}

bool HoldsKey(const InputSegment& segment, int code) {
    return std::find(segment.held.begin(), segment.held.end(), code) != segment.held.end();
}

}  // namespace

// ---- The file ----------------------------------------------------------------------------------------------

std::uint64_t LevelHash(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string EncodeBestRun(const BestRun& run) {
    std::string out(Magic, MagicSize);
    PutU8(out, BestRunFormat);
    PutText(out, run.gameVersion);
    PutText(out, run.player);
    PutText(out, run.date);
    PutI32(out, static_cast<std::int32_t>(run.levelHash & 0xFFFFFFFFu));
    PutI32(out, static_cast<std::int32_t>(run.levelHash >> 32));
    PutI32(out, static_cast<std::int32_t>(run.seed));
    PutI32(out, run.difficulty);
    PutU8(out, static_cast<std::uint8_t>(run.cheats));
    PutI32(out, run.score);
    PutVarint(out, static_cast<std::uint64_t>(std::max<std::int64_t>(run.frames, 0)));
    PutF64(out, run.elapsed);
    PutI32(out, run.flags);
    PutI32(out, run.bombs);
    PutVarint(out, static_cast<std::uint64_t>(run.inputs.Count()));
    for (const InputSegment& segment : run.inputs) {
        PutVarint(out, static_cast<std::uint64_t>(segment.frames));
        PutVarint(out, SegmentKeys(segment));
    }
    PutI32(out, static_cast<std::int32_t>(Check32(out, out.size())));
    return out;
}

bool DecodeBestRun(const std::string& bytes, BestRun& run, std::string& error) {
    run = BestRun{};
    auto fail = [&](const std::string& why) {
        error = why;
        return false;
    };
    if (bytes.size() > MaxBestRunBytes) return fail("the file is too long for a best run");
    if (bytes.size() < MagicSize + 1 + 4 || bytes.compare(0, MagicSize, Magic) != 0)
        return fail("not a best run of Kolbrix");
    const std::uint8_t format = static_cast<std::uint8_t>(bytes[MagicSize]);
    if (format != BestRunFormat)
        return fail("a best run of format " + std::to_string(format) + ", this game reads format " +
                    std::to_string(BestRunFormat));
    ByteReader check = MakeReader(bytes);
    check.pos = bytes.size() - 4;
    if (static_cast<std::uint32_t>(ReadI32(check)) != Check32(bytes, bytes.size() - 4))
        return fail("the file is damaged or cut short (its check does not match)");
    // Everything before the check, read with the check's bytes out of reach.
    const std::string body = bytes.substr(0, bytes.size() - 4);
    ByteReader r = MakeReader(body);
    r.pos = MagicSize + 1;
    run.gameVersion = ReadText(r);
    run.player = ReadText(r);
    run.date = ReadText(r);
    const std::uint32_t low = static_cast<std::uint32_t>(ReadI32(r));
    const std::uint32_t high = static_cast<std::uint32_t>(ReadI32(r));
    run.levelHash = static_cast<std::uint64_t>(high) << 32 | low;
    run.seed = static_cast<std::uint32_t>(ReadI32(r));
    run.difficulty = ReadI32(r);
    run.cheats = ReadU8(r);
    run.score = ReadI32(r);
    std::uint64_t frames = 0;
    ReadVarint(r, frames);
    run.elapsed = ReadF64(r);
    run.flags = ReadI32(r);
    run.bombs = ReadI32(r);
    std::uint64_t segments = 0;
    ReadVarint(r, segments);
    if (!r.ok) return fail("the file is cut short in its result");
    if (frames > static_cast<std::uint64_t>(MaxBestRunFrames)) return fail("the run is longer than a run can be");
    run.frames = static_cast<std::int64_t>(frames);
    if (run.cheats > 15) return fail("unknown cheats");
    // Every segment takes two bytes at least.
    if (segments > BytesLeft(r) / 2) return fail("more key segments than the file holds");
    std::int64_t total = 0;
    const std::vector<int>& codes = ScriptScanCodes();
    for (std::uint64_t n = 0; n < segments; ++n) {
        std::uint64_t count = 0, keys = 0;
        if (!ReadVarint(r, count) || !ReadVarint(r, keys)) return fail("the file is cut short in its keys");
        if (count < 1 || count > static_cast<std::uint64_t>(MaxBestRunFrames - total))
            return fail("key segment " + std::to_string(n + 1) + " has a wrong length");
        if (keys >> (MusicBit + 1) != 0) return fail("key segment " + std::to_string(n + 1) + " has unknown keys");
        InputSegment segment;
        segment.frames = static_cast<std::int64_t>(count);
        total += segment.frames;
        for (std::size_t i = 0; i < codes.size(); ++i)
            if (keys >> i & 1) segment.held.push_back(codes[i]);
        if (keys >> EscapeBit & 1) segment.buffered.push_back("\x1B");
        if (keys >> MusicBit & 1) segment.buffered.push_back("m");
        run.inputs.Add(segment);
    }
    if (BytesLeft(r) != 0) return fail("the file has bytes after its keys");
    return true;
}

bool BetterRun(const BestRun& a, const BestRun& b) {
    return a.score > b.score || (a.score == b.score && a.elapsed < b.elapsed);
}

// ---- Files -------------------------------------------------------------------------------------------------

std::string BestRunPathIn(const std::string& folder, const std::string& player, std::int32_t level) {
    return folder + player + "." + ZeroPad(level, 3) + BestRunExtension;
}

std::string BestRunPath(std::int32_t level) {
    const std::string player = CurrentPlayerName(), folder = CurrentStatsFolder();
    if (!SafeName(player) || folder.empty() || level < 1 || level > StatsSlots) return "";
    return BestRunPathIn(folder, player, level);
}

std::int32_t BestRunLevelOf(const std::string& fileName, const std::string& player) {
    const std::string ending = BestRunExtension;
    const std::size_t size = player.size() + 1 + 3 + ending.size();
    if (fileName.size() != size || fileName.compare(0, player.size(), player) != 0 || fileName[player.size()] != '.' ||
        fileName.compare(size - ending.size(), ending.size(), ending) != 0)
        return 0;
    std::int32_t level = 0;
    for (std::size_t i = player.size() + 1; i < player.size() + 4; ++i) {
        if (fileName[i] < '0' || fileName[i] > '9') return 0;
        level = level * 10 + (fileName[i] - '0');
    }
    return level;
}

std::vector<std::string> BestRunFiles(const std::string& folder, const std::string& player) {
    std::vector<std::string> files;
    if (!SafeName(player) || !PlatformFolderExists(folder)) return files;
    for (const std::string& name : SortedListing(folder, "*" + std::string(BestRunExtension), ListKind::Files))
        if (BestRunLevelOf(name, player) != 0) files.push_back(folder + name);
    return files;
}

LoadedBestRun LoadBestRun(const std::string& path, const std::string& levelPath) {
    LoadedBestRun loaded;
    std::string bytes;
    if (path.empty() || !PlatformFileExists(path)) return loaded;
    if (!PlatformReadFile(path, bytes)) {
        loaded.state = BestRunState::Unreadable;
        loaded.error = "the file does not read";
        return loaded;
    }
    if (!DecodeBestRun(bytes, loaded.run, loaded.error)) {
        loaded.state = BestRunState::Unreadable;
        return loaded;
    }
    std::string level;
    if (loaded.run.gameVersion != GameVersion) loaded.state = BestRunState::OtherVersion;
    else if (!PlatformReadFile(levelPath, level) || LevelHash(level) != loaded.run.levelHash)
        loaded.state = BestRunState::LevelChanged;
    else loaded.state = BestRunState::Playable;
    return loaded;
}

void BestRunMessage(const LoadedBestRun& loaded) {
    switch (loaded.state) {
        case BestRunState::Playable: break;
        case BestRunState::Missing: RaiseMessage(Text(LineBestRunMissing), "", ""); break;
        case BestRunState::Unreadable:
            RaiseMessage(Text(LineBestRunNotPlayed), Text(LineBestRunDamaged), FitWidth(loaded.error, 345));
            break;
        case BestRunState::OtherVersion:
            RaiseMessage(Text(LineBestRunNotPlayed), ReplaceAll(Text(LineBestRunOtherVersion), "%1",
                                                                 loaded.run.gameVersion), "");
            break;
        case BestRunState::LevelChanged:
            RaiseMessage(Text(LineBestRunNotPlayed), Text(LineBestRunLevelChanged), "");
            break;
    }
}

bool SaveBestRunIfBetter(const BestRun& run, std::int32_t level) {
    const std::string path = BestRunPath(level);
    if (path.empty()) return false;
    const LoadedBestRun old = LoadBestRun(path, CurrentPackFolder() + LevelFileName(level));
    if (old.state == BestRunState::Playable && !BetterRun(run, old.run)) return false;
    const std::string folder = CurrentStatsFolder();
    if (!PlatformFolderExists(folder)) PlatformMakeFolder(folder);
    PlatformTakeFileError();
    if (PlatformWriteFileAtomic(path, EncodeBestRun(run))) return true;
    RaiseFileFailure(LineBestRunNotSaved, PlatformTakeFileError(), LineCheckFolder);
    return false;
}

bool ShiftBestRuns(const std::string& folder, int mode, std::int32_t level) {
    if (folder.empty() || !PlatformFolderExists(folder) || level < 1 || level > StatsSlots) return true;
    if (mode != 0 && mode != 1 && mode != 2) return true;
    // Each player's runs, by level.
    std::vector<std::string> players;
    std::vector<std::vector<std::int32_t>> levels;
    for (const std::string& name : SortedListing(folder, "*" + std::string(BestRunExtension), ListKind::Files)) {
        // "<player>.NNN.kbr": the player is everything before the number.
        if (name.size() < 9) continue;
        const std::string player = name.substr(0, name.size() - 8);
        const std::int32_t n = BestRunLevelOf(name, player);
        if (n == 0) continue;
        const auto at = std::find(players.begin(), players.end(), player);
        if (at == players.end()) {
            players.push_back(player);
            levels.push_back({n});
        } else {
            levels[static_cast<std::size_t>(at - players.begin())].push_back(n);
        }
    }
    // Every file is replaced whole (PlatformWriteFileAtomic) or deleted, never renamed away first: a stop anywhere
    // leaves each name its old run or its new one, and at worst one run under two names.
    bool complete = true;
    // A step that fails ends the player's share: the steps after it would write over a run not yet copied.
    auto copy = [&](const std::string& from, const std::string& to) {
        std::string bytes;
        const bool done = PlatformReadFile(from, bytes) && PlatformWriteFileAtomic(to, bytes);
        complete = complete && done;
        return done;
    };
    auto remove = [&](const std::string& path) {
        const bool done = PlatformDeleteFile(path);
        complete = complete && done;
        return done;
    };
    for (std::size_t p = 0; p < players.size(); ++p) {
        const std::string& player = players[p];
        auto path = [&](std::int32_t n) { return BestRunPathIn(folder, player, n); };
        if (mode == 0) {
            // The deleted level's run is replaced by the next one's, and so on up, lowest first.
            const std::int32_t last = *std::max_element(levels[p].begin(), levels[p].end());
            for (std::int32_t n = level; n <= last; ++n) {
                const bool done = n < StatsSlots && PlatformFileExists(path(n + 1)) ? copy(path(n + 1), path(n))
                                  : PlatformFileExists(path(n))                   ? remove(path(n))
                                                                                  : true;
                if (!done) break;
            }
            continue;
        }
        const std::int32_t a = mode == 1 ? level - 1 : level, b = mode == 1 ? level : level + 1;
        if (a < 1 || b > StatsSlots) return true;
        const bool hasA = PlatformFileExists(path(a)), hasB = PlatformFileExists(path(b));
        if (hasA && hasB) {
            // The first run waits under a third name while the second takes its place.
            const std::string waiting = folder + player + ".swap" + BestRunExtension;
            if (copy(path(a), waiting) && copy(path(b), path(a)) && copy(waiting, path(b))) remove(waiting);
        } else if (hasA) {
            if (copy(path(a), path(b))) remove(path(a));
        } else if (hasB) {
            if (copy(path(b), path(a))) remove(path(b));
        }
    }
    return complete;
}

// ---- Playing -----------------------------------------------------------------------------------------------

bool StartBestRunPlay(const BestRun& run, const std::string& levelPath) {
    const std::int32_t hud = playRun.hudVisible;
    playRun = PlayRun{};
    playRun.hudVisible = hud;
    playRun.Difficulty = run.difficulty;
    playRun.cheatsOn = run.cheats & CheatsOnBit ? -1 : 0;
    playRun.showAll = run.cheats & ShowAllBit ? -1 : 0;
    playRun.autoZoom = run.cheats & AutoZoomBit ? -1 : 0;
    playRun.godMode = run.cheats & GodModeBit ? -1 : 0;
    score = 0;
    attempt.displayedScore = 0;
    SeedRandom(run.seed);
    return LoadLevel(levelPath);
}

bool TraceGhost(const BestRun& run, const std::string& levelPath, GhostTrack& ghost) {
    ghost = GhostTrack{};
    // The keys the player holds now are held again afterwards: the ghost's keys never reach the player's play.
    std::vector<bool> heldBefore;
    for (int code : ScriptScanCodes()) heldBefore.push_back(PlatformKeyHeld(code));
    auto giveKeysBack = [&] {
        for (std::size_t i = 0; i < ScriptScanCodes().size(); ++i) PlatformHoldKey(ScriptScanCodes()[i], heldBefore[i]);
    };
    if (!StartBestRunPlay(run, levelPath)) {
        giveKeysBack();
        return false;
    }
    const double seconds = 1.0 / DemoFramesPerSecond, step = std::min(25.0 / DemoFramesPerSecond, 0.5);
    PlatformSetGameClock(DemoStartClock);
    BeginPlay();
    const std::int32_t flagsAtStart = attempt.flagsLeft;
    std::int32_t segment = 1;
    std::int64_t segmentFrames = 0;
    ghost.x.reserve(static_cast<std::size_t>(run.frames));
    ghost.y.reserve(static_cast<std::size_t>(run.frames));
    for (std::int64_t frame = 1; frame <= run.frames; ++frame) {
        while (segment <= run.inputs.Count() && segmentFrames >= run.inputs[segment].frames) {
            ++segment;
            segmentFrames = 0;
        }
        ++segmentFrames;
        const bool inScript = segment <= run.inputs.Count();
        for (int code : ScriptScanCodes()) PlatformHoldKey(code, inScript && HoldsKey(run.inputs[segment], code));
        // As RunReplay sets them: the clock of the frame and a frame time of exactly 1/60 s.
        PlatformSetGameClock(DemoStartClock + static_cast<double>(frame - 1) / DemoFramesPerSecond);
        frameTime = seconds;
        frameStep = step;
        lastFrameTime = PlatformClock() - 1.0;
        const bool over = PlayUnseenFrame();
        ghost.x.push_back(level.ball.x);
        ghost.y.push_back(level.ball.y);
        while (flagsAtStart - attempt.flagsLeft > static_cast<std::int32_t>(ghost.flagTimes.size()))
            ghost.flagTimes.push_back(attempt.elapsedTime);
        if (over) break;
    }
    giveKeysBack();
    EndPlay();
    return true;
}

void DrawGhostRace() {
    if (!ghostRace.track || ghostRace.track->x.empty() || attempt.playing == 0) return;
    const GhostTrack& track = *ghostRace.track;
    const std::int64_t frame = attempt.playIteration;
    // The ghost stays where its run ended.
    const std::int64_t last = static_cast<std::int64_t>(track.x.size());
    const std::size_t at = static_cast<std::size_t>(std::clamp<std::int64_t>(frame, 1, last) - 1);
    DrawGhostBall(track.x[at], track.y[at], GhostAlpha);
    if (ghostRace.flagsSeen < 0) {
        ghostRace.flagsAtStart = attempt.flagsLeft;
        ghostRace.flagsSeen = attempt.flagsLeft;
    }
    const std::int32_t taken = ghostRace.flagsAtStart - attempt.flagsLeft;
    const std::int32_t takenBefore = ghostRace.flagsAtStart - ghostRace.flagsSeen;
    if (taken > takenBefore && taken >= 1 && taken <= static_cast<std::int32_t>(track.flagTimes.size())) {
        const double ahead = track.flagTimes[static_cast<std::size_t>(taken - 1)] - attempt.elapsedTime;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", ahead >= 0 ? ahead : -ahead);
        ghostRace.note = ReplaceAll(Text(ahead >= 0 ? LineGhostAhead : LineGhostBehind), "%1", seconds);
        ghostRace.noteUntil = frame + GhostNoteFrames;
    }
    if (taken > takenBefore || attempt.flagsLeft > ghostRace.flagsSeen) ghostRace.flagsSeen = attempt.flagsLeft;
    // In the caption's band at the top of the screen, where the heads-up display leaves room.
    if (!ghostRace.note.empty() && frame <= ghostRace.noteUntil) DrawCaption({ghostRace.note});
}

bool PlayRecordedLevel(const std::string& levelPath, const BestRun* ghostRun, BestRun& recorded,
                       const ReplayOptions& extra) {
    recorded = BestRun{};
    std::string levelBytes;
    PlatformReadFile(levelPath, levelBytes);
    recorded.levelHash = LevelHash(levelBytes);
    recorded.date = PlatformTodayDate();
    recorded.difficulty = playRun.Difficulty;
    recorded.cheats = CheatBits(playRun);
    recorded.seed = static_cast<std::uint32_t>(RandomInt(1, 2147483647));

    const double keptFrameTime = PlatformFixedFrameTime();
    const double clockBefore = PlatformClock();
    PlatformSetFixedFrameTime(1.0 / DemoFramesPerSecond);

    // The ghost's run is played unseen before the player's level is loaded: nothing of it is left in play.
    GhostTrack ghost;
    const bool withGhost = ghostRun && [&] {
        const PlayRun keptRun = playRun;
        const bool traced = TraceGhost(*ghostRun, levelPath, ghost);
        playRun = keptRun;
        return traced;
    }();

    // The level afresh from the run's seed; the camera stays where the level screen had it and a message up stays.
    const double cameraX = view.cameraX, cameraY = view.cameraY;
    const std::int32_t message = MessageState;
    score = 0;
    attempt.displayedScore = 0;
    SeedRandom(recorded.seed);
    const bool loaded = LoadLevel(levelPath);
    view.cameraX = cameraX;
    view.cameraY = cameraY;
    if (loaded) MessageState = message;
    PlatformSetGameClock(DemoStartClock);
    lastBumpTime = -1e9;

    ghostRace = GhostRace{};
    const std::function<void()> keptOverlay = frameOverlay;
    if (withGhost) {
        ghostRace.track = &ghost;
        frameOverlay = [keptOverlay] {
            if (keptOverlay) keptOverlay();
            DrawGhostRace();
        };
    }

    ReplayResult result;
    std::int32_t flagsAtStart = -1, flagsLeft = 0;
    if (loaded) {
        ReplayDevice device;
        device.hold = PlatformHoldKey;
        device.push = PlatformPushKey;
        device.setClock = PlatformSetGameClock;
        ReplayOptions options = extra;
        options.fps = DemoFramesPerSecond;
        options.gamePacing = false;
        options.record = &recorded.inputs;
        options.afterFrame = [&](std::int64_t frame) {
            if (flagsAtStart < 0) flagsAtStart = attempt.flagsLeft;
            flagsLeft = attempt.flagsLeft;
            recorded.bombs = level.bombCount;
            if (extra.afterFrame) extra.afterFrame(frame);
        };
        result = RunReplay(List<InputSegment>{}, options, device);
    }

    PlatformSetGameClock(std::max(clockBefore, DemoStartClock) +
                         static_cast<double>(result.frames) / DemoFramesPerSecond);
    PlatformSetFixedFrameTime(keptFrameTime);
    frameOverlay = keptOverlay;
    ghostRace = GhostRace{};

    // M only switches the music: a best run watched later leaves the music as it is.
    for (InputSegment& segment : recorded.inputs)
        segment.buffered.erase(std::remove(segment.buffered.begin(), segment.buffered.end(), "m"),
                               segment.buffered.end());
    recorded.score = score;
    recorded.frames = result.frames;
    recorded.elapsed = attempt.elapsedTime;
    recorded.flags = flagsAtStart < 0 ? 0 : flagsAtStart - flagsLeft;
    return result.completed;
}

// ---- The level screen --------------------------------------------------------------------------------------

void RefreshBestRunOffer() {
    bestRunOffer = BestRunOffer{};
    bestRunOffer.path = BestRunPath(LevelNumber);
    bestRunOffer.levelPath = CurrentLevelPath();
    bestRunOffer.loaded = LoadBestRun(bestRunOffer.path, bestRunOffer.levelPath);
}

std::string BestRunLine() {
    const LoadedBestRun& loaded = bestRunOffer.loaded;
    // An offer looked up for another player, pack or level says nothing.
    if (loaded.state == BestRunState::Missing || bestRunOffer.path != BestRunPath(LevelNumber)) return "";
    const bool readable = loaded.state != BestRunState::Unreadable;
    std::string line = ReplaceAll(Text(LineBestRunOnLevel), "%1", readable ? std::to_string(loaded.run.score) : "?");
    line = ReplaceAll(line, "%2", readable ? MinutesSeconds(loaded.run.elapsed) : "?");
    return ReplaceAll(line, "%3", Text(ghostRaceOn ? LineGhostOn : LineGhostOff));
}

namespace {

struct WatchControls {                  // one watching of a best run
    double speed = 1;
    bool paused = false;
    bool latchP = false, latch1 = false, latch2 = false, latch4 = false, latchStep = false;
};

constexpr int ScanKey1 = 0x02, ScanKey2 = 0x03, ScanKey4 = 0x05, ScanKeyP = 0x19, ScanFullStop = 0x34;

bool PressedKey(int code, bool& latch) {
    const bool held = PlatformKeyHeld(code);
    const bool pressed = held && !latch;
    latch = held;
    return pressed;
}

void ReadSpeedKeys(WatchControls& controls) {
    if (PressedKey(ScanKey1, controls.latch1)) controls.speed = 1;
    if (PressedKey(ScanKey2, controls.latch2)) controls.speed = 2;
    if (PressedKey(ScanKey4, controls.latch4)) controls.speed = 4;
    PlatformSetRealPace(controls.speed);
}

// After a frame of the watched run: the speed keys and P, read as held keys (play takes the key buffer, and a key is
// shown held until the frame that saw it pressed is presented). While paused no frame is presented: the keys come
// from the key buffer, P goes on, the full stop plays one frame, Esc or the close button leave. True leaves.
bool WatchKeys(WatchControls& controls) {
    ReadSpeedKeys(controls);
    if (PressedKey(ScanKeyP, controls.latchP)) controls.paused = true;
    PressedKey(ScanFullStop, controls.latchStep);
    while (controls.paused) {
        PlatformSleep0();
        PlatformIdle();
        const std::string key = PlatformReadKey();
        if (key == "\x1B" || key == "\xFF" "k") return true;
        if (key == "1" || key == "2" || key == "4") {
            controls.speed = key[0] - '0';
            PlatformSetRealPace(controls.speed);
        }
        if (key == "p" || key == "P") controls.paused = false;
        if (key == "p" || key == "P" || key == ".") break;
    }
    return false;
}

}  // namespace

bool PlayBestRunInWindow(const BestRun& run, const std::string& levelPath) {
    const PlayRun keptRun = playRun;
    if (!StartBestRunPlay(run, levelPath)) {
        playRun = keptRun;
        return false;
    }
    MessageState = 0;           // a texture the packs lack shows as the placeholder, as in the tool

    WatchControls controls;
    const std::function<void()> keptOverlay = frameOverlay;
    frameOverlay = [&controls, &run] {
        const std::string speed = std::to_string(static_cast<int>(controls.speed));
        DrawCaption({ReplaceAll(ReplaceAll(ReplaceAll(Text(LineBestRunCaption), "%1", run.player), "%2",
                                           std::to_string(run.score)), "%3", speed),
                     Text(LineBestRunKeys)});
    };
    const ReplayResult result = PlayInputsInWindow(run.inputs, run.frames + DemoFramesAfterScript,
                                                   [&controls](std::int64_t) { return WatchKeys(controls); });
    frameOverlay = keptOverlay;
    playRun = keptRun;
    return result.completed;
}

void WatchBestRun() {
    RefreshBestRunOffer();
    if (bestRunOffer.loaded.state != BestRunState::Playable) {
        BestRunMessage(bestRunOffer.loaded);
        return;
    }
    view.MenuActive = 0;
    const bool completed = PlayBestRunInWindow(bestRunOffer.loaded.run, bestRunOffer.levelPath);
    if (menuHooks.bestRunWatched) menuHooks.bestRunWatched(completed, attempt.playIteration);
    ReturnToLevelScreen();
}
