// A shared pack's archive (shell/pack_archive.h): any bytes through the archive reader. Besides not crashing: a
// refusal leaves no pack; an accepted archive is one pack folder whose every file is a pack file of its kind, and
// written again it reads back to the same pack.
#include "fuzz/fuzz_support.h"
#include "shell/pack_archive.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PackArchive pack;
    const ArchiveRefusal refusal = ReadPackArchive(FuzzBytes(data, size), pack);
    if (refusal != ArchiveRefusal::None) {
        FuzzCheck(pack.folder.empty() && pack.files.empty(), "a refused archive gives no pack");
        FuzzCheck(RefusalLine(refusal) != 0, "a refusal has a reason to show");
        return 0;
    }
    FuzzCheck(IsPackFolderName(pack.folder), "an accepted pack folder is a pack's name", pack.folder);
    for (const auto& file : pack.files)
        FuzzCheck(IsPackFileName(pack.folder, file.first), "every accepted file is a pack file", file.first);
    std::string bytes;
    FuzzCheck(WritePackArchive(pack, bytes), "an accepted pack can be written");
    PackArchive again;
    FuzzCheck(ReadPackArchive(bytes, again) == ArchiveRefusal::None && again.folder == pack.folder &&
                  again.files == pack.files,
              "a written pack reads back the same");
    return 0;
}
