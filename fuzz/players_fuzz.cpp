// A player's pack file ("NAME.alp", shell/players.h): its first line names the pack chosen last. The loader reads
// only from the player's path, so every input is written there first; whatever it holds, the current pack is one
// of the list.
#include "fuzz/fuzz_support.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PlayerList.Clear();
    PlayerList.Add("fuzz");
    PlayerIndex = 1;
    PackList.Clear();
    for (const char* pack : {"lvlpckEpisode 2", "lvlpckEpisode 4 &", "lvlpckKolbrix"}) PackList.Add(pack);
    PackIndex = 2;
    FuzzWriteFile("fuzz.alp", FuzzBytes(data, size));
    LoadPlayerPack();
    FuzzCheck(PackIndex >= 1 && PackIndex <= PackList.Count(), "the player's pack is one of the list");
    return 0;
}
