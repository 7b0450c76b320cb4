// Best runs: every play of a level from the level screen is recorded (its keys frame by frame, the seed the level
// was loaded with, the difficulty and the cheats in force), and a won run that beats the player's best run of the
// level is kept as a file beside the player's statistics in the pack: "<player>.NNN.kbr". The level screen shows
// it, plays it (pause, 1x, 2x, 4x, one frame at a time) and races it as a ghost ball.
//
// Play is deterministic: a played level runs at a fixed 60 frames a second of the game's clock from the demos'
// start clock (shell/demo.h), so the keys, the seed and the difficulty give the same run on every machine, and a
// best run is replayed by the game's own PlayLevel through RunReplay (shell/replay.h), as `kolbrix-tool play` replays
// a key script.
//
// The file (little-endian): "KBRN", the format version (1 byte), the game's version, the player and the date
// ("mm-dd-yyyy") as a byte count and bytes, a 64-bit hash of the level file played, the seed, the difficulty, the
// cheats (1 byte), the result (score, frames as a varint, elapsed seconds as a double, flags taken, bombs left), the
// count of key segments and each segment (frames, keys: both varints), then a 32-bit check of everything before it.
// A segment's keys are one bit per held key in the order of ScriptScanCodes(), then Escape and M in the key buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/list.h"
#include "shell/replay.h"

// The version a best run is recorded by; a best run of another version is not played (the rules may differ).
inline constexpr const char* GameVersion = "0.9.0";
inline constexpr std::uint8_t BestRunFormat = 1;
inline constexpr const char* BestRunExtension = ".kbr";
// A file this long is not a best run: the reader refuses it before reading.
inline constexpr std::size_t MaxBestRunBytes = 1 << 20;
// Frames of a best run at most (more than 4 days at 60 frames a second): counts above it are damage.
inline constexpr std::int64_t MaxBestRunFrames = 1LL << 25;

// Language lines of best runs.
inline constexpr int LineBestRunOnLevel = 290, LineGhostOn = 291, LineGhostOff = 292, LineBestRunCaption = 293,
                     LineBestRunNotPlayed = 294, LineBestRunOtherVersion = 295, LineBestRunLevelChanged = 296,
                     LineBestRunDamaged = 297, LineGhostAhead = 298, LineGhostBehind = 299,
                     LineBestRunNotSaved = 300, LineBestRunMissing = 301,
                     LineBestRunKeys = 302;

// Bits of BestRun::cheats: the run's cheat switches when the level started.
enum BestRunCheat : std::int32_t { CheatsOnBit = 1, ShowAllBit = 2, AutoZoomBit = 4, GodModeBit = 8 };

struct BestRun {
    std::string gameVersion = GameVersion;
    std::uint64_t levelHash = 0;        // LevelHash of the level file it was played on
    std::string player;
    std::string date;                   // "mm-dd-yyyy"
    std::uint32_t seed = 1;             // the random numbers' seed before the level was loaded
    std::int32_t difficulty = 0;        // playRun.Difficulty's values
    std::int32_t cheats = 0;            // BestRunCheat bits
    // The result.
    std::int32_t score = 0;
    std::int64_t frames = 0;
    double elapsed = 0;                 // the level clock when play ended (frozen at the exit)
    std::int32_t flags = 0;             // flags taken
    std::int32_t bombs = 0;             // bombs left
    List<InputSegment> inputs;
};

// 64-bit FNV-1a of the bytes: a level file's identity.
std::uint64_t LevelHash(const std::string& bytes);
std::string EncodeBestRun(const BestRun& run);
// False with `error` (a short English sentence) for anything that is not a whole best run of a known format.
bool DecodeBestRun(const std::string& bytes, BestRun& run, std::string& error);
// `a` beats `b`: a higher score, or the same score in less time.
bool BetterRun(const BestRun& a, const BestRun& b);

// ---- Files --------------------------------------------------------------------------------------------------
// "<folder><player>.NNN.kbr"
std::string BestRunPathIn(const std::string& folder, const std::string& player, std::int32_t level);
// The current player's best run of `level` in the current pack ("" without a current player or pack).
std::string BestRunPath(std::int32_t level);
// The level number of a best run's file name of `player` ("anna.007.kbr" -> 7), 0 when it is not one.
std::int32_t BestRunLevelOf(const std::string& fileName, const std::string& player);

enum class BestRunState { Playable, Missing, Unreadable, OtherVersion, LevelChanged };
struct LoadedBestRun {
    BestRunState state = BestRunState::Missing;
    BestRun run;
    std::string error;                  // why it is unreadable
};
// The best run at `path`, checked against the game's version and the level file at `levelPath`.
LoadedBestRun LoadBestRun(const std::string& path, const std::string& levelPath);
// Why a best run is not played, three lines for the message (nothing for a playable one).
void BestRunMessage(const LoadedBestRun& loaded);
// Saves `run` as the current player's best run of `level` when it beats the one there (or there is none, or the one
// there is not playable any more). Written atomically; a failed write raises the message. True when saved.
bool SaveBestRunIfBetter(const BestRun& run, std::int32_t level);
// The editor's change at `level` followed by every best run in the statistics folder `folder`: 0 the level was
// deleted (its runs go, the later ones move down one), 1 swapped with the one before, 2 with the one after. Each file
// is replaced whole or deleted, so a stop leaves every name its old run or its new one; a run left under a level it
// was not played on stays readable and says so through its level hash. False when a file would not change.
bool ShiftBestRuns(const std::string& folder, int mode, std::int32_t level);
// Every best run of `player` in `folder` (their paths).
std::vector<std::string> BestRunFiles(const std::string& folder, const std::string& player);

// ---- Playing -------------------------------------------------------------------------------------------------
// The run's switches as the best run found them, the random numbers seeded, the level loaded: what comes before its
// first frame. False when the level does not load.
bool StartBestRunPlay(const BestRun& run, const std::string& levelPath);
// The ghost of a best run: where its ball was after every frame, and the level clock when it took each flag.
struct GhostTrack {
    std::vector<double> x, y;           // [frame - 1]
    std::vector<double> flagTimes;      // [flags taken - 1]
};
// Plays the best run unseen (PlayUnseenFrame) under the game's fixed frame time and records its ghost. The level in
// memory and the run's switches are the best run's afterwards: the caller loads what comes next.
bool TraceGhost(const BestRun& run, const std::string& levelPath, GhostTrack& ghost);

// The level screen's race: the ghost shown while the player plays, and what the heads-up display says of it.
struct GhostRace {                      // one play; reset as it starts
    const GhostTrack* track = nullptr;  // nothing shown when null
    std::int32_t flagsAtStart = 0;
    std::int32_t flagsSeen = -1;        // attempt.flagsLeft when last looked at
    std::string note;                   // "1.25 s ahead" at the last flag taken
    std::int64_t noteUntil = 0;         // the play iteration after which the note goes
};
extern GhostRace ghostRace;
// Draws the ghost ball and the note of the frame (an overlay of the play screen); reads the play, changes nothing
// of it.
void DrawGhostRace();

// Plays `levelPath` as the level screen does, recording the player's keys and the result into `recorded` (the level's
// hash, the date, the seed, the difficulty and the cheats too; the caller adds the player), racing the ghost of
// `ghost` when not null. The level is loaded afresh from a new seed drawn from the random numbers. `options` carries
// a test's or a tool's hooks (trace, afterFrame, leave). True when completed.
bool PlayRecordedLevel(const std::string& levelPath, const BestRun* ghost, BestRun& recorded,
                       const ReplayOptions& options = {});

// ---- The level screen ----------------------------------------------------------------------------------------
struct BestRunOffer {                   // what the level screen shows of the current level's best run
    std::string path, levelPath;
    LoadedBestRun loaded;
};
extern BestRunOffer bestRunOffer;
// Looked up again (after a level load, a play, a change of player or pack).
void RefreshBestRunOffer();
// The level screen's line about the best run ("" when there is none).
std::string BestRunLine();
// The run's switch of the ghost race (G on the level screen), never saved.
extern bool ghostRaceOn;
// W on the level screen: the best run played with the heads-up display; P pauses, 1, 2 and 4 set the speed, the full
// stop steps one frame while paused, Esc leaves. A best run that is not playable says why and is not played.
void WatchBestRun();
// The watching of one best run in the window: the loop of WatchBestRun without the level screen around it (the tool's
// --window). True when the exit was reached.
bool PlayBestRunInWindow(const BestRun& run, const std::string& levelPath);
