// Sharing a pack: a pack of 50 levels (each with a hint file) exported as one archive and installed again into an
// empty data folder, as the editor's export and a start with the archive dropped in do it. The goal: both together
// under a second on this machine. The reference, measured in the same run: saving the same 100 files one by one
// with the game's atomic save, as the editor saves levels.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "base/files.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/level_file.h"
#include "shell/pack_archive.h"
#include "shell/packs.h"
#include "tiles/catalogue.h"

namespace {

constexpr int Levels = 50;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A level of about 600 objects: the size of a large shipped level.
std::string LevelBytes(int number) {
    ResetTextureTable();
    TextureEntry wall;
    wall.pack = "txtpckMain";
    wall.name = "brick";
    wall.kind = KindWall;
    AddTexture(wall);
    TakeCatalogueDefaults();
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    for (int i = 0; i < 600; ++i) {
        LevelObject object;
        object.texture = 1;
        object.x = 128.0 * (i % 40);
        object.y = 128.0 * (i / 40 + number % 3);
        level.wallLayer.Add(object);
    }
    level.levelTitle = "Level " + std::to_string(number);
    LevelData data = TakeLevel();
    return EncodeLevel(data);
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Headless, argc, argv);
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("kolbrix-bench-share-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    const std::string source = (root / "source/lvlpckFifty").string() + "/";
    const std::string saved = (root / "saved").string() + "/";
    const std::string data = (root / "data").string() + "/";
    for (const std::string& folder : {source, saved, data}) std::filesystem::create_directories(folder);

    PackArchive pack;
    pack.folder = "lvlpckFifty";
    for (int n = 1; n <= Levels; ++n) {
        pack.files.emplace_back(LevelFileName(n), LevelBytes(n));
        pack.files.emplace_back(ZeroPad(n, 3) + ".en.txt", "A hint for level " + std::to_string(n) + "\n");
    }
    double start = Now();
    for (const auto& [name, bytes] : pack.files) PlatformWriteFileAtomic(saved + name, bytes);
    const double reference = Now() - start;
    for (const auto& [name, bytes] : pack.files) PlatformWriteFileAtomic(source + name, bytes);

    start = Now();
    const PackArchive collected = CollectPack(source, pack.folder);
    const bool exported = ExportPack(collected, (root / "Fifty.zip").string());
    const double exporting = Now() - start;
    SetProgramFolder(data);
    std::string installed;
    start = Now();
    const ArchiveRefusal refusal = InstallPackArchive((root / "Fifty.zip").string(), installed);
    const double installing = Now() - start;
    SetProgramFolder("");
    std::error_code ignored;
    const auto archiveBytes = std::filesystem::file_size(root / "Fifty.zip", ignored);
    std::filesystem::remove_all(root, ignored);
    if (!exported || refusal != ArchiveRefusal::None) {
        std::fprintf(stderr, "pack_share: export %s, install: %s\n", exported ? "done" : "failed", RefusalText(refusal));
        return 1;
    }

    std::printf("pack_share: %d levels and %d hint files (%zu bytes of archive), wall-clock time\n", Levels, Levels,
                static_cast<std::size_t>(archiveBytes));
    std::printf("  %-28s %9s %12s\n", "", "ms", "/ reference");
    std::printf("  %-28s %9.1f %12.2f\n", "reference: 100 atomic saves", reference * 1e3, 1.0);
    std::printf("  %-28s %9.1f %12.2f\n", "export", exporting * 1e3, exporting / reference);
    std::printf("  %-28s %9.1f %12.2f\n", "install", installing * 1e3, installing / reference);
    std::printf("  export + install: %.3f s (goal: under 1 s): %s\n", exporting + installing,
                exporting + installing < 1.0 ? "met" : "NOT met");
    return 0;
}
