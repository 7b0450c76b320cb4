// kolbrix-tool pack: packs shared as one .zip archive (shell/pack_archive.h).
//   pack export FOLDER [--out FILE.zip]   the pack folder (lvlpck* or txtpck*) as an archive; by default
//                                         NAME.zip in the current folder
//   pack install FILE.zip [--data DIR]    checks the archive and installs its pack into the data folder (the
//                                         program folder, or DIR)
// Exit code 0 when done, 1 when refused or not written (the reason on standard error), 2 on a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/files.h"
#include "platform/platform.h"
#include "shell/pack_archive.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kolbrix-tool pack export FOLDER [--out FILE.zip]\n"
                         "       kolbrix-tool pack install FILE.zip [--data DIR]\n");
    return 2;
}

std::string LastComponent(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Export(const std::string& folderPath, std::string out) {
    const std::string folder = LastComponent(folderPath);
    if (!IsPackFolderName(folder) || !PlatformFolderExists(folderPath)) {
        std::fprintf(stderr, "pack export: %s is not a pack folder (lvlpck* or txtpck*)\n", folderPath.c_str());
        return 1;
    }
    const PackArchive pack = CollectPack(folderPath.back() == '/' ? folderPath : folderPath + "/", folder);
    if (out.empty()) out = folder.substr(6) + ".zip";
    if (!ExportPack(pack, out)) {
        std::fprintf(stderr, "pack export: %s could not be written\n", out.c_str());
        return 1;
    }
    std::printf("exported %s (%zu files) to %s\n", folder.c_str(), pack.files.size(), out.c_str());
    return 0;
}

int Install(const std::string& archive) {
    std::string installed;
    const ArchiveRefusal refusal = InstallPackArchive(archive, installed);
    if (refusal != ArchiveRefusal::None) {
        std::fprintf(stderr, "pack install: %s refused: %s\n", archive.c_str(), RefusalText(refusal));
        return 1;
    }
    std::printf("installed %s into %s\n", installed.c_str(), DataFolder().c_str());
    return 0;
}

}  // namespace

int ToolPack(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string action = argv[1], target = argv[2];
    std::string out, data;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) out = argv[++i];
        else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) data = argv[++i];
        else return Usage();
    }
    if (action == "export" && data.empty()) return Export(target, out);
    if (action == "install" && out.empty()) {
        if (!data.empty()) SetProgramFolder(data.back() == '/' ? data : data + "/");
        return Install(target);
    }
    return Usage();
}
