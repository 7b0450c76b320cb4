// A pack folder's "pack.txt" (shell/packs.h), read through the pack folder as the pack list reads it. Whatever the
// file holds, the pack gets an order of 0 (none) or 1 to 999.
#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "shell/packs.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    PlatformMakeFolder(FuzzFolder() + "lvlpckFuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = FuzzBytes(data, size);
    FuzzWriteFile(std::string("lvlpckFuzz/") + PackInfoFile, text);
    const PackInfo info = ReadPackInfo("lvlpckFuzz");
    FuzzCheck(info.order >= 0 && info.order <= 999, "the order is none or 1 to 999", std::to_string(info.order));
    const PackInfo parsed = ParsePackInfo(text);
    FuzzCheck(parsed.order == info.order && parsed.beginners == info.beginners, "the file reads as its text parses");
    return 0;
}
