// kolbrix-tool stats FILE.sts: prints one player's statistics file as JSON.
//   {"level": n, "wins": [999 numbers], "best": [999 numbers], "finished": f, "perfect": p}
// Exit code 0 when printed, 1 when the file does not open, 2 on a wrong command line.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/players.h"

namespace {

void PrintSlots(const char* key, const std::array<std::int32_t, StatsSlots + 1>& slots) {
    std::printf("\"%s\": [", key);
    for (size_t i = 1; i <= StatsSlots; i++) std::printf(i > 1 ? ", %d" : "%d", static_cast<int>(slots[i]));
    std::printf("]");
}

}  // namespace

int ToolStats(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kolbrix-tool stats FILE.sts\n");
        return 2;
    }
    std::string bytes;
    if (!PlatformReadFile(argv[1], bytes)) {
        std::fprintf(stderr, "stats: cannot open %s\n", argv[1]);
        return 1;
    }
    // A short file shows what it holds; the fields it lacks show as 0.
    StatsRecord stats = DecodeStats(bytes);
    std::printf("{\"level\": %d, ", static_cast<int>(stats.levelNumber));
    PrintSlots("wins", stats.wins);
    std::printf(", ");
    PrintSlots("best", stats.best);
    std::printf(", \"finished\": %d, \"perfect\": %d}\n", static_cast<int>(stats.finished), static_cast<int>(stats.perfect));
    return 0;
}
