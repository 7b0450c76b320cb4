#include "fuzz/fuzz_support.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/files.h"
#include "platform/platform.h"
#include "tiles/texture_packs.h"

namespace {

struct PackTexture {
    const char* pack;
    const char* base;           // kind, wrap letters and name: the frame files are base + "00.png", "01.png", ...
    int frames;
};

const PackTexture PackTextures[] = {
#include "fuzz/textures.inc"
};

std::string folder;

// A harness that crashes aborts without its exit handlers: folders of processes that are gone are removed by the
// next harness to start.
void RemoveLeftFolders(const std::filesystem::path& base) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
        const std::string name = entry.path().filename().string();
        int pid = 0;
        if (std::sscanf(name.c_str(), "kolbrix-fuzz-%d-", &pid) != 1 || pid <= 0) continue;
        if (::kill(pid, 0) != 0 && errno == ESRCH) std::filesystem::remove_all(entry.path(), error);
    }
}

void RemoveFolder() {
    if (folder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void MakeCatalogue() {
    for (const PackTexture& texture : PackTextures) {
        std::filesystem::create_directories(folder + texture.pack);
        for (int frame = 0; frame < texture.frames; ++frame)
            std::ofstream(folder + texture.pack + "/" + texture.base + ZeroPad(frame, 2) + ".png");
    }
    List<PackFrameFile> frames;
    List<std::int32_t> packEnds;
    ScanTexturePacks(frames, packEnds);
}

}  // namespace

void FuzzSetUp(bool catalogue) {
    static char name[] = "kolbrix-fuzz";
    static char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Headless, 1, argv);

    // Harnesses that can only hand a reader a path write a file per input: a memory-backed folder keeps that cheap.
    std::filesystem::path base = std::filesystem::temp_directory_path();
    std::error_code ignored;
    if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ignored)) base = "/dev/shm";
    RemoveLeftFolders(base);
    std::string pattern = (base / ("kolbrix-fuzz-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        std::perror("kolbrix-fuzz: no scratch folder");
        std::abort();
    }
    folder = pattern + "/";
    std::atexit(RemoveFolder);
    SetProgramFolder(folder);
    if (catalogue) MakeCatalogue();
}

const std::string& FuzzFolder() { return folder; }

void FuzzWriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder + name;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0;
    for (size_t done = 0; ok && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        ok = n > 0;
        if (ok) done += size_t(n);
    }
    if (fd >= 0) ::close(fd);
    FuzzCheck(ok, "the scratch file is written");
}

void FuzzCheck(bool condition, const char* what, const std::string& detail) {
    if (condition) return;
    std::fprintf(stderr, "kolbrix-fuzz: property broken: %s\n", what);
    if (!detail.empty()) std::fprintf(stderr, "%s\n", detail.c_str());
    std::abort();
}
