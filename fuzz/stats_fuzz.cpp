// Statistics files ("NAME.sts", shell/players.h): 8004 bytes of level number, (wins, best) pairs and two flags.
// The file is read as the game reads it when a pack starts (LoadStats, from its path, so every input is written
// there first) and counted from, and the editor's rewrites are applied to it. The codec on its own keeps every whole
// number the file holds. (The pack and level records read the same files through the same DecodeStats.)
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    PlatformMakeFolder(FuzzFolder() + "lvlpckKolbrix");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = FuzzBytes(data, size);

    // The codec: every whole number of the first 8004 bytes is kept, the rest is zero.
    const StatsRecord stats = DecodeStats(bytes);
    const std::string encoded = EncodeStats(stats);
    std::string expected = bytes.substr(0, std::min(bytes.size(), StatsFileSize) / 4 * 4);
    expected.resize(StatsFileSize, '\0');
    FuzzCheck(encoded == expected, "a statistics file is re-encoded as it was read");
    for (int mode = 0; mode <= 2; ++mode) {
        StatsRecord shifted = stats;
        ShiftStatsRecord(shifted, mode, stats.levelNumber);
    }

    // The game's reading, and what it computes from the file.
    PlayerList.Clear();
    PlayerList.Add("fuzz");
    PlayerIndex = 1;
    PackList.Clear();
    PackList.Add("lvlpckKolbrix");
    PackIndex = 1;
    LevelCount = MaxLevelsPerPack;
    FuzzWriteFile("lvlpckKolbrix/fuzz.sts", bytes);
    LoadStats();
    FuzzCheck(LevelNumber >= 1 && LevelNumber <= StatsSlots, "the current level is a level of the pack");
    PlayerPackTotal();
    FuzzCheck(CountUncompleted() >= 0 && CountSkipped(0) >= 0 && CountSkipped(1) >= 0, "counts are not negative");
    return 0;
}
