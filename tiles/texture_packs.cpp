#include "tiles/texture_packs.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
#include "base/files.h"
#include "base/language.h"
#include "base/settings.h"
#include "tiles/catalogue.h"

List<std::string> TexturePackList;

namespace {

// Kind (4 letters) and the two wrap letters come before the name; the frame number "00" and ".png" after it.
constexpr size_t PrefixLength = 6;
constexpr size_t FrameZeroSuffixLength = 6;     // "00.png"
const std::string FrameZeroSuffix = "00.png";
const std::string PngSuffix = ".png";

char LowerLetter(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FrameFileName(const std::string& base, std::int32_t frame) {
    return base + ZeroPad(frame, 2) + PngSuffix;
}

struct PackFolder {
    std::string folder;                             // ends with "/"
    std::unordered_set<std::string> files;          // every "*.png" name, exact case
    std::unordered_map<std::string, std::int32_t> runs;   // frame run length by base, computed on demand
};

// How many consecutive frames 00, 01, ... of `base` the folder holds.
std::int32_t FrameRun(PackFolder& pack, const std::string& base) {
    auto known = pack.runs.find(base);
    if (known != pack.runs.end()) return known->second;
    std::int32_t count = 0;
    while (pack.files.count(FrameFileName(base, count)) != 0) ++count;
    pack.runs.emplace(base, count);
    return count;
}

// Frame numbers from 100 up are written with three or more digits, so "wallrrbrick100.png" also looks like frame
// 00 of a texture "brick1". When it really is frame 100 (or 200, ...) of "brick" (frames 00 to 99 are all there),
// it belongs to that texture and is no texture of its own.
bool IsLongFrameOfAnother(PackFolder& pack, const std::string& fileName) {
    std::string stem = fileName.substr(0, fileName.size() - PngSuffix.size());
    size_t digitsStart = stem.size();
    while (digitsStart > 0 && stem[digitsStart - 1] >= '0' && stem[digitsStart - 1] <= '9') --digitsStart;
    // Each split of the trailing digits into base + frame number of three digits or more, no leading zero.
    for (size_t split = digitsStart; split + 3 <= stem.size(); ++split) {
        if (stem[split] == '0') continue;
        if (stem.size() - split > 9) continue;      // no pack holds a billion frames
        std::string base = stem.substr(0, split);
        if (base.size() < PrefixLength) continue;
        std::int32_t frame = 0;
        for (size_t i = split; i < stem.size(); ++i) frame = frame * 10 + (stem[i] - '0');
        if (FrameRun(pack, base) > frame) return true;
    }
    return false;
}

// The bases ("wallrcbrick") of the textures in one pack, in the order of their frame-0 file names.
std::vector<std::string> TextureBases(PackFolder& pack) {
    std::vector<std::string> names = PlatformListFolder(pack.folder, "*" + PngSuffix, ListKind::Files);
    std::sort(names.begin(), names.end());
    pack.files.insert(names.begin(), names.end());

    std::vector<std::string> bases;
    for (const std::string& name : names) {
        // The listing ignores case, but frames are looked for as "NN.png", so only those names can start a run.
        if (name.size() < PrefixLength + FrameZeroSuffixLength) continue;
        if (name.compare(name.size() - FrameZeroSuffixLength, FrameZeroSuffixLength, FrameZeroSuffix) != 0) continue;
        if (IsLongFrameOfAnother(pack, name)) continue;
        bases.push_back(name.substr(0, name.size() - FrameZeroSuffixLength));
    }
    return bases;
}

void ScanPackTexture(PackFolder& pack, const std::string& packName, const std::string& base,
                     List<PackFrameFile>& frames) {
    std::int32_t count = FrameRun(pack, base);
    if (count == 0) return;

    char wrapLetterS = LowerLetter(base[4]);
    char wrapLetterT = LowerLetter(base[5]);
    // Only "r" and "c" occur; anything else is taken as clamped, the safe choice for a single tile.
    std::int32_t first = 0;
    for (std::int32_t k = 0; k < count; ++k) {
        PackFrameFile frame;
        frame.path = pack.folder + FrameFileName(base, k);
        frame.repeatS = wrapLetterS == 'r';
        frame.repeatT = wrapLetterT == 'r';
        std::int32_t image = frames.Add(frame);
        if (k == 0) first = image;
    }

    TextureEntry entry;
    entry.pack = packName;
    entry.name = base.substr(PrefixLength);
    entry.firstFrame = first;
    entry.lastFrame = first + count - 1;
    entry.repeat = (wrapLetterS == 'r' || wrapLetterT == 'r') ? -1 : 0;
    entry.kind = TextureKindFromName(base);
    AddTexture(entry);
}

// Packs load in name order, except that the game's own main pack comes last. The ball, its shadow, the bomb, the
// flag, the explosion and the big font are each the last one loaded, so they stay the main pack's (the heads-up
// display's flag and bomb, the menu's letters) whatever packs lie beside it.
bool IsMainPack(const std::string& name) {
    return name == "txtpckMain" || name == "1994txtpckMain";
}

bool LoadsBefore(const std::string& a, const std::string& b) {
    if (IsMainPack(a) != IsMainPack(b)) return IsMainPack(b);
    return a < b;
}

}  // namespace

void ScanTexturePacks(List<PackFrameFile>& frames, List<std::int32_t>& packEnds) {
    const std::string program = ProgramFolder();

    frames.Clear();
    packEnds.Clear();
    ResetTextureTable();
    TexturePackList.Clear();

    frames[0].path = program + "notex.png";
    TextureTable[0].firstFrame = 0;
    TextureTable[0].lastFrame = 0;
    TextureTable[0].frame = 0;
    TextureTable[0].name = LanguageText[LineNoTexture];

    // The shipped packs and those the player dropped into the data folder; one there with a shipped pack's name is
    // the one loaded.
    const char* pattern = NostalgicMode != 0 ? "1994txtpck*" : "txtpck*";
    std::vector<std::string> folders = PlatformListFolder(program, pattern, ListKind::Folders);
    std::vector<std::string> own;
    if (DataFolderIsSeparate()) own = PlatformListFolder(DataFolder(), pattern, ListKind::Folders);
    for (const std::string& name : own)
        if (std::find(folders.begin(), folders.end(), name) == folders.end()) folders.push_back(name);
    std::sort(folders.begin(), folders.end(), LoadsBefore);
    for (const std::string& folder : folders) TexturePackList.Add(folder);

    for (const std::string& packName : folders) {
        PackFolder pack;
        const bool isOwn = std::find(own.begin(), own.end(), packName) != own.end();
        pack.folder = (isOwn ? DataFolder() : program) + packName + "/";
        for (const std::string& base : TextureBases(pack)) ScanPackTexture(pack, packName, base, frames);
        packEnds.Add(frames.Count());
    }
}

std::string TexturePackShownName(const std::string& pack) {
    return pack.size() > PrefixLength ? pack.substr(PrefixLength) : std::string();
}
