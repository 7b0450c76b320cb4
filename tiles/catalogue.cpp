#include "tiles/catalogue.h"

#include <array>
#include <unordered_map>

#include "base/message.h"
#include "base/files.h"
#include "base/language.h"

List<TextureEntry> TextureTable;

std::int32_t DefaultBackgroundTexture = 0;
std::int32_t DefaultBallTexture = 0;
std::int32_t DefaultShadowTexture = 0;
std::int32_t DefaultBombTexture = 0;
std::int32_t DefaultExplosionTexture = 0;
std::int32_t DefaultFlagTexture = 0;
std::int32_t DefaultFontTexture = 0;

namespace {

struct KindInfo {
    const char* letters;
    std::int32_t layer;     // 1 ground, 2 hazard, 3 arrow, 4 path, 5 platform, 6 pickup, 7 wall, 8 crack
    std::int32_t param;     // direction value of arrows and path markers
};

// Indexed by TextureKind; row 0 is "no kind".
constexpr std::array<KindInfo, TextureKindCount + 1> Kinds = {{
    {"", KindLayerNone, 0},
    {"arre", 3, 2}, {"arrn", 3, 1}, {"arrs", 3, 3}, {"arrw", 3, 4}, {"arru", 3, 5},
    {"back", KindLayerNone, 0}, {"ball", KindLayerNone, 0}, {"blll", KindLayerNone, 0},
    {"blsh", KindLayerNone, 0}, {"bomb", 6, 0}, {"crck", 8, 0}, {"exit", 2, 0},
    {"expl", KindLayerNone, 0}, {"flag", 6, 0}, {"font", KindLayerNone, 0}, {"grnd", 1, 0},
    {"plat", 5, 0}, {"plae", 4, 2}, {"plan", 4, 1}, {"plas", 4, 3}, {"plaw", 4, 4},
    {"trap", 2, 0}, {"wall", 7, 0},
}};

// Look-ups come once per object of every level loaded, against catalogues of a thousand textures and more, so
// they go through hash maps instead of scanning the table. Each map keeps the lowest index for its key, which
// is exactly the first match of a scan from index 1. Entries 1..indexed are in the maps; entries appended to
// the table by other means are picked up at the next look-up.
struct CatalogueIndex {
    std::unordered_map<std::string, std::int32_t> byPackAndName;
    std::unordered_map<std::string, std::int32_t> byName;
    std::int32_t indexed = 0;
};
CatalogueIndex Index;

// The length prefix keeps ("ab", "c") and ("a", "bc") apart whatever characters the names hold.
std::string PackAndNameKey(const std::string& lowerPack, const std::string& lowerName) {
    return std::to_string(lowerPack.size()) + ':' + lowerPack + lowerName;
}

void IndexEntry(std::int32_t index) {
    const TextureEntry& entry = TextureTable[index];
    std::string lowerName = LowerCase(entry.name);
    Index.byPackAndName.emplace(PackAndNameKey(LowerCase(entry.pack), lowerName), index);
    Index.byName.emplace(std::move(lowerName), index);
}

void SyncIndex() {
    std::int32_t count = TextureTable.Count();
    if (count < Index.indexed) {
        Index = CatalogueIndex{};
    }
    for (std::int32_t i = Index.indexed + 1; i <= count; ++i) {
        IndexEntry(i);
    }
    Index.indexed = count;
}

void RememberDefault(std::int32_t index, std::int32_t kind) {
    switch (kind) {
        // The background keeps the first one: a pack listed later must not change the look of every level.
        case KindBackground: if (DefaultBackgroundTexture == 0) DefaultBackgroundTexture = index; break;
        case KindBall: DefaultBallTexture = index; break;
        case KindBallShadow: DefaultShadowTexture = index; break;
        case KindBomb: DefaultBombTexture = index; break;
        case KindExplosion: DefaultExplosionTexture = index; break;
        case KindFlag: DefaultFlagTexture = index; break;
        case KindFont: DefaultFontTexture = index; break;
        default: break;
    }
}

}  // namespace

void ResetTextureTable() {
    TextureTable.Clear();
    Index = CatalogueIndex{};
    DefaultBackgroundTexture = 0;
    DefaultBallTexture = 0;
    DefaultShadowTexture = 0;
    DefaultBombTexture = 0;
    DefaultExplosionTexture = 0;
    DefaultFlagTexture = 0;
    DefaultFontTexture = 0;
}

std::int32_t AddTexture(const TextureEntry& entry) {
    TextureEntry added = entry;
    added.frame = added.firstFrame;
    std::int32_t index = TextureTable.Add(added);
    RememberDefault(index, added.kind);
    return index;
}

std::int32_t FindTexture(const std::string& pack, const std::string& name) {
    std::int32_t index = LookUpTexture(pack, name);
    if (index == 0) RaiseMissingTexture(pack, name);
    return index;
}

void RaiseMissingTexture(const std::string& pack, const std::string& name) {
    RaiseMessage(LanguageText[LineLoadingProblem], LanguageText[LineTextureNotFound], name + LanguageText[LineInPack] + pack);
}

std::int32_t LookUpTexture(const std::string& pack, const std::string& name) {
    SyncIndex();
    std::string lowerPack = LowerCase(pack);
    std::string lowerName = LowerCase(name);

    auto exact = Index.byPackAndName.find(PackAndNameKey(lowerPack, lowerName));
    if (exact != Index.byPackAndName.end()) return exact->second;
    // A texture of the same name in another pack stands in: that is how a level plays with the nostalgic packs.
    auto anyPack = Index.byName.find(lowerName);
    if (anyPack != Index.byName.end()) return anyPack->second;
    return 0;
}

const TextureEntry& Entry(std::int32_t index) {
    if (index < 0 || index > TextureTable.Count()) return TextureTable[0];
    return TextureTable[index];
}

std::int32_t TextureCount() {
    return TextureTable.Count();
}

std::int32_t TextureKindFromName(const std::string& fileName) {
    if (fileName.size() < 4) return KindNone;
    std::string letters = LowerCase(fileName.substr(0, 4));
    for (std::int32_t kind = 1; kind <= TextureKindCount; ++kind) {
        if (letters == Kinds[static_cast<size_t>(kind)].letters) return kind;
    }
    return KindNone;
}

std::string TextureKindName(std::int32_t kind) {
    if (kind < 0 || kind > TextureKindCount) return "";
    return Kinds[static_cast<size_t>(kind)].letters;
}

std::string EntryKindName(std::int32_t index) {
    return TextureKindName(Entry(index).kind);
}

std::int32_t TextureKindLayer(std::int32_t kind) {
    if (kind < 0 || kind > TextureKindCount) return KindLayerNone;
    return Kinds[static_cast<size_t>(kind)].layer;
}

std::int32_t TextureKindParam(std::int32_t kind) {
    if (kind < 0 || kind > TextureKindCount) return 0;
    return Kinds[static_cast<size_t>(kind)].param;
}
