// A throw-away data folder for the pack, player and statistics tests, with the shell's lists reset around it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/message.h"
#include "tests/test_support.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/settings.h"

class DataFolderTest : public ::testing::Test {
protected:
    std::optional<TempProgramFolder> data;
    std::filesystem::path root;

    void SetUp() override {
        UseHeadless();
        data.emplace();
        root = data->path;
        PackList.Clear();
        PlayerList.Clear();
        PackIndex = 0;
        PlayerIndex = 0;
        LevelNumber = 1;
        LevelCount = 1;
        BonusPackUnlocked = 0;
        MusicOn = 0;
        SoundOn = 0;
        MessageState = 0;
        DialogButton1 = DialogLine1 = DialogLine2 = DialogLine3 = "";
        LanguageText[53] = "OK";
        LanguageText[54] = "This pack already exists:";
        LanguageText[55] = "Please choose another name.";
        LevelWins.fill(0);
        LevelBest.fill(0);
        PackFinished = PackPerfect = 0;
    }

    void TearDown() override { data.reset(); }

    std::filesystem::path At(const std::string& relative) const { return root / relative; }
    void Folder(const std::string& relative) const { std::filesystem::create_directories(At(relative)); }
    void Write(const std::string& relative, const std::string& bytes) const {
        std::filesystem::create_directories(At(relative).parent_path());
        std::ofstream(At(relative), std::ios::binary) << bytes;
    }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(At(relative)); }
    std::string Read(const std::string& relative) const {
        std::ifstream in(At(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every name in a folder, sorted: shows stray temporary files as well as the expected ones.
    std::vector<std::string> FolderNames(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(At(relative)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

inline void SetList(List<std::string>& list, const std::vector<std::string>& names) {
    list.Clear();
    for (const std::string& name : names) list.Add(name);
}
inline std::vector<std::string> Entries(const List<std::string>& list) {
    return std::vector<std::string>(list.begin(), list.end());
}

// A statistics file written by hand, field by field, little-endian, so the tests do not trust the game's writer.
inline void PutLe32(std::string& out, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; i++) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}
inline std::int32_t GetLe32(const std::string& bytes, size_t offset) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; i++) u |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(offset + i))) << (8 * i);
    return static_cast<std::int32_t>(u);
}
struct HandStats {
    std::int32_t level = 1;
    std::vector<std::int32_t> wins = std::vector<std::int32_t>(1000, 0);   // [1..999]
    std::vector<std::int32_t> best = std::vector<std::int32_t>(1000, 0);
    std::int32_t finished = 0, perfect = 0;
};
inline std::string HandStatsBytes(const HandStats& s) {
    std::string out;
    PutLe32(out, s.level);
    for (int i = 1; i <= 999; i++) {
        PutLe32(out, s.wins[static_cast<size_t>(i)]);
        PutLe32(out, s.best[static_cast<size_t>(i)]);
    }
    PutLe32(out, s.finished);
    PutLe32(out, s.perfect);
    return out;
}
