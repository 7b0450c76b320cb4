// kolbrix-gen-art: writes every picture and font of the game into the program folder given as argument.
//
//   kolbrix-gen-art <program folder> [--manifest]
//   kolbrix-gen-art --icons <icon theme folder> <icon name>
//
// The output depends on nothing but this program (fixed seeds, own random numbers, the DejaVu fonts), so
// running it twice gives the same files.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "packs.h"
#include "writers.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kolbrix-gen-art <program folder> [--manifest]\n"
                             "       kolbrix-gen-art --icons <icon theme folder> <icon name>\n");
        return 2;
    }
    if (std::strcmp(argv[1], "--icons") == 0) {
        if (argc < 4) return 2;
        return art::BuildIcons(argv[2], argv[3]) ? 0 : 1;
    }
    std::string gameDir = argv[1];
    bool manifest = argc > 2 && std::strcmp(argv[2], "--manifest") == 0;
    std::error_code ec;
    std::filesystem::create_directories(gameDir, ec);
    auto start = std::chrono::steady_clock::now();
    auto lap = [&](const char* what) {
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("kolbrix-gen-art: %-16s done at %6.2f s\n", what, s);
        std::fflush(stdout);
    };
    std::vector<std::string> mainList, vartoList;
    bool ok = true;
    ok = art::BuildUiFont(gameDir) && ok;
    lap("ui font");
    ok = art::BuildFixedImages(gameDir) && ok;
    lap("fixed images");
    ok = art::BuildEditorImages(gameDir) && ok;
    lap("editor images");
    ok = art::BuildMainPack(gameDir, mainList) && ok;
    lap("txtpckMain");
    ok = art::BuildVartoLumPack(gameDir, vartoList) && ok;
    lap("txtpckVarto-Lum");
    if (manifest) {
        for (auto& l : mainList) std::printf("txtpckMain %s\n", l.c_str());
        for (auto& l : vartoList) std::printf("txtpckVarto-Lum %s\n", l.c_str());
    }
    if (!ok) return 1;
    return art::WriteFileBytes(gameDir + "/.art-stamp", "kolbrix art\n") ? 0 : 1;
}
