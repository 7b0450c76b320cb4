// Every level of every pack shipped with the game (assets/packs/<Name>/NNN.txt, built into lvlpck<Name>/NNN.kbx, or
// an old text-screen level assets/packs/<Name>/NNN.kbx, copied there as it is with its hint files): the list is read
// from the source folders when the tests start, so a new pack or level is tested without a word changed here. Each built level plays to the end with the solution kept beside its source and not without input,
// well inside its time limit; it is the level its source describes (title, hints in every language of the program
// folder, as the game reads them) and shows no missing texture in either look of the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "play/level_source.h"
#include "shell/language.h"
#include "tests/play/built_level.h"

namespace {

namespace fs = std::filesystem;

struct ShippedLevel {
    std::string pack;       // the source folder's name: "Episode 1" is built into "lvlpckEpisode 1"
    std::string number;     // "001"
    bool oldFormat = false; // the source is an old text-screen level (NNN.kbx), shipped as it is
};

void PrintTo(const ShippedLevel& level, std::ostream* out) { *out << level.pack << "/" << level.number; }

fs::path PackSources() { return fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs"; }
fs::path Source(const ShippedLevel& shipped, const std::string& extension) {
    return PackSources() / shipped.pack / (shipped.number + extension);
}
std::string BuiltLevel(const ShippedLevel& shipped) {
    return (fs::path(KOLBRIX_GAME_DIR) / ("lvlpck" + shipped.pack) / (shipped.number + ".kbx")).string();
}

bool IsLevelNumber(const std::string& stem) {
    return stem.size() == 3 && std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A numbered level source: a level source text, or an old-format level shipped as it is.
bool IsLevelSource(const fs::path& file) {
    return (file.extension() == ".txt" || file.extension() == ".kbx") && IsLevelNumber(file.stem().string());
}

// Pack name -> the numbers of its level sources, sorted (a number that has both kinds of source counts twice).
std::map<std::string, std::vector<std::string>> PackLevelNumbers() {
    std::map<std::string, std::vector<std::string>> packs;
    std::error_code error;
    for (const fs::directory_entry& folder : fs::directory_iterator(PackSources(), error)) {
        if (!folder.is_directory()) continue;
        std::vector<std::string>& numbers = packs[folder.path().filename().string()];
        for (const fs::directory_entry& file : fs::directory_iterator(folder.path()))
            if (IsLevelSource(file.path())) numbers.push_back(file.path().stem().string());
        std::sort(numbers.begin(), numbers.end());
    }
    return packs;
}

std::vector<ShippedLevel> ShippedLevels() {
    std::vector<ShippedLevel> levels;
    for (const auto& [pack, numbers] : PackLevelNumbers())
        for (const std::string& number : numbers)
            levels.push_back({pack, number, fs::exists(PackSources() / pack / (number + ".kbx"))});
    return levels;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The hint-file codes of the program folder's languages (line 84 of each language file, without ".txt").
std::vector<std::string> ProgramLanguages() {
    const auto keptTexts = LanguageText;
    const auto keptList = LanguageList;
    SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
    ListLanguageFiles();
    std::vector<std::string> codes;
    for (const std::string& name : LanguageList) {
        LoadLanguage(name);
        const std::string& extension = LanguageText[LineHintFileExtension];
        EXPECT_TRUE(extension.size() > 4 && extension.ends_with(".txt")) << name << " names hint files " << extension;
        if (extension.ends_with(".txt")) codes.push_back(extension.substr(0, extension.size() - 4));
    }
    SetProgramFolder("");
    LanguageText = keptTexts;
    LanguageList = keptList;
    return codes;
}

// What the source says, read with the catalogue of the program folder: title, English hints and the others.
struct SourceFacts {
    std::string title;
    std::string hints[5];
    List<LevelHints> otherHints;
};

SourceFacts ReadSource(const ShippedLevel& shipped) {
    SourceFacts facts;
    LoadBuiltLevel(BuiltLevel(shipped));      // for the program folder's catalogue
    std::string music, error;
    EXPECT_TRUE(ReadLevelSource(ReadText(Source(shipped, ".txt")), music, facts.otherHints, error)) << error;
    SetProgramFolder("");
    facts.title = level.levelTitle;
    for (int n = 1; n <= 4; ++n) facts.hints[n] = level.hintLines[n];
    return facts;
}

// A hint file's bytes as the build writes them: the lines up to the last one that is not empty, each ended by CR LF.
std::string HintFileText(const std::string (&lines)[5]) {
    int last = 4;
    while (last >= 1 && lines[last].empty()) --last;
    std::string text;
    for (int n = 1; n <= last; ++n) text += lines[n] + "\r\n";
    return text;
}

class ShippedPacks : public ::testing::TestWithParam<ShippedLevel> {};

// Played at difficulty 0 (the level as it is), the solution reaches the exit in at most 80% of the time limit, so a
// player has room to spare; standing still never wins, not even in the whole time.
TEST_P(ShippedPacks, TheSolutionCompletesTheLevelWellInTimeAndStandingStillDoesNot) {
    const ShippedLevel& shipped = GetParam();
    const std::string script = ReadText(Source(shipped, ".keys"));
    ASSERT_FALSE(script.empty()) << "no solution " << Source(shipped, ".keys");

    ASSERT_TRUE(LoadBuiltLevel(BuiltLevel(shipped)));
    SetProgramFolder("");
    const double timeLimit = level.timeLimit;
    ASSERT_GT(timeLimit, 0) << "every shipped level has a time limit";
    const std::int64_t frames = static_cast<std::int64_t>(timeLimit * 60) + 600;

    const ReplayResult solved = PlayBuiltLevel(BuiltLevel(shipped), script, frames);
    const double par = attempt.elapsedTime;
    EXPECT_TRUE(solved.completed);
    EXPECT_LE(par, 0.8 * timeLimit) << "par " << par << " s against a limit of " << timeLimit << " s";

    EXPECT_FALSE(PlayBuiltLevel(BuiltLevel(shipped), "", frames).completed);
}

// An old-format level ships as it is: the same bytes, still without a current level header (so the game's
// loader imports it), its title (from the old file) not empty, and beside it the hint file of every language of the
// program folder, copied from the one beside its source, with at most the four lines the game shows.
void ExpectShippedAsItIs(const ShippedLevel& shipped) {
    const std::string source = ReadText(Source(shipped, ".kbx"));
    EXPECT_FALSE(source.starts_with("QZKBX")) << "not an old-format level";
    EXPECT_EQ(ReadText(BuiltLevel(shipped)), source);
    ASSERT_TRUE(LoadBuiltLevel(BuiltLevel(shipped)));
    SetProgramFolder("");
    EXPECT_FALSE(level.levelTitle.empty());

    const std::vector<std::string> languages = ProgramLanguages();
    ASSERT_FALSE(languages.empty()) << "the program folder has no language file";
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        const std::string hints = ReadText(Source(shipped, "." + language + ".txt"));
        EXPECT_NE(hints.find_first_not_of("\r\n"), std::string::npos) << "no hints beside the source";
        EXPECT_LE(std::count(hints.begin(), hints.end(), '\n'), 4);
        EXPECT_EQ(ReadText(HintFilePathFor(BuiltLevel(shipped), language)), hints);
    }
}

// The built file is the level of its source: the same title (never empty), and beside it, for every language of
// the program folder, a hint file holding that language's hints as the game's Windows-1252 bytes.
TEST_P(ShippedPacks, TheBuiltLevelHasItsTitleAndItsHintsInEveryLanguage) {
    const ShippedLevel& shipped = GetParam();
    if (shipped.oldFormat) return ExpectShippedAsItIs(shipped);
    const SourceFacts source = ReadSource(shipped);
    EXPECT_FALSE(source.title.empty());
    ASSERT_TRUE(LoadBuiltLevel(BuiltLevel(shipped)));
    SetProgramFolder("");
    EXPECT_EQ(level.levelTitle, source.title);
    if (!levelMusicTrack.empty()) {
        EXPECT_TRUE(fs::exists(fs::path(KOLBRIX_GAME_DIR) / levelMusicTrack)) << "no track " << levelMusicTrack;
    }

    const std::vector<std::string> languages = ProgramLanguages();
    ASSERT_FALSE(languages.empty()) << "the program folder has no language file";
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        const std::string (*lines)[5] = language == DefaultHintLanguage ? &source.hints : nullptr;
        for (const LevelHints& hints : source.otherHints)
            if (hints.language == language) lines = &hints.lines;
        ASSERT_NE(lines, nullptr) << "the source has no hints in this language";
        const std::string hints = ReadText(HintFilePathFor(BuiltLevel(shipped), language));
        EXPECT_NE(hints.find_first_not_of("\r\n"), std::string::npos) << "no hints beside the level";
        EXPECT_EQ(hints, HintFileText(*lines));
    }
}

// The catalogue entry of an object's texture (0, the placeholder, for none).
std::int32_t TextureIndex(const LevelObject& object) {
    return object.texture >= 0 && object.texture <= 2147483647.0 ? static_cast<std::int32_t>(object.texture) : 0;
}

// Every texture the level names is found in the texture packs of the normal look and in the 1994 packs of the
// nostalgic look, so neither shows the missing-texture message or the placeholder.
TEST_P(ShippedPacks, EveryTextureIsFoundInBothLooks) {
    for (const bool nostalgic : {false, true}) {
        SCOPED_TRACE(nostalgic ? "1994 packs" : "normal packs");
        EXPECT_TRUE(LoadBuiltLevel(BuiltLevel(GetParam()), nostalgic));
        SetProgramFolder("");
        EXPECT_NE(TextureIndex(level.background), 0);
        EXPECT_NE(TextureIndex(level.ball), 0);
        for (std::int32_t layer = 1; layer <= LevelLayerCount; ++layer)
            for (const LevelObject& object : LevelLayer(layer))
                EXPECT_NE(TextureIndex(object), 0) << LayerName(layer) << " object at " << object.x << ", " << object.y;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ShippedPacks, ::testing::ValuesIn(ShippedLevels()),
                         [](const ::testing::TestParamInfo<ShippedLevel>& info) {
                             std::string name;
                             for (char c : info.param.pack) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name + "_" + info.param.number;
                         });

// The game plays a pack's levels by number and counts its files, so each pack runs 001, 002, ... without a gap.
TEST(ShippedPackContents, EveryPackIsNumberedFromOneWithoutGaps) {
    const auto packs = PackLevelNumbers();
    EXPECT_TRUE(packs.count("Kolbrix")) << "the starter pack is missing";
    for (const auto& [pack, numbers] : packs) {
        SCOPED_TRACE(pack);
        EXPECT_FALSE(numbers.empty()) << "a pack without levels";
        for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], ZeroPad(static_cast<std::int32_t>(i + 1), 3));
    }
}

}  // namespace
