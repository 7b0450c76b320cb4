// Packs shared as one .zip archive: hostile archives, made here with libarchive's own writer, are refused whole
// with their reason while the data folder stays byte for byte as it was; a pack exported, deleted and installed
// again has the same files; an archive dropped into the data folder is installed at the next start.
#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/files.h"
#include "base/message.h"
#include "play/level_file.h"
#include "shell/pack_archive.h"
#include "shell/packs.h"
#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

namespace fs = std::filesystem;

la_ssize_t Append(archive*, void* out, const void* buffer, size_t length) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(buffer), length);
    return static_cast<la_ssize_t>(length);
}

struct Entry {
    std::string name;
    std::string data;
    unsigned type = AE_IFREG;
    const char* symlink = nullptr;
};

// A zip archive of the entries, written by libarchive; `store` keeps the data uncompressed.
std::string Zip(const std::vector<Entry>& entries, bool store = false) {
    std::string bytes;
    archive* writer = archive_write_new();
    archive_write_set_format_zip(writer);
    if (store) archive_write_set_format_option(writer, "zip", "compression", "store");
    archive_write_set_bytes_in_last_block(writer, 1);
    archive_write_open2(writer, &bytes, nullptr, Append, nullptr, nullptr);
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.c_str());
        archive_entry_set_filetype(entry, e.type);
        archive_entry_set_perm(entry, 0644);
        if (e.symlink) archive_entry_set_symlink(entry, e.symlink);
        archive_entry_set_size(entry, static_cast<la_int64_t>(e.data.size()));
        EXPECT_EQ(archive_write_header(writer, entry), ARCHIVE_OK) << e.name;
        if (!e.data.empty()) archive_write_data(writer, e.data.data(), e.data.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    return bytes;
}

// The same archive with the first entry's mode in the central directory made a character device.
std::string WithDevice(std::string bytes) {
    const std::size_t central = bytes.find(std::string("PK\x01\x02", 4));
    EXPECT_NE(central, std::string::npos);
    const std::uint32_t attributes = 0020644u << 16;
    std::memcpy(&bytes[central + 38], &attributes, 4);
    bytes[central + 5] = 3;     // made on Unix: the attributes are a mode
    return bytes;
}

class PackArchiveTest : public PlayTest {
protected:
    std::optional<TempProgramFolder> outside;    // where archives come from: not the data folder

    void SetUp() override {
        PlayTest::SetUp();
        outside.emplace();
        SetProgramFolder(folder->Folder());
        MessageState = 0;
    }
    void TearDown() override {
        outside.reset();
        PlayTest::TearDown();
    }

    // A small real level, as the game writes it.
    static std::string LevelBytes(const std::string& title) {
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        Floor(0, 512, 384);
        Ball(128, 256);
        Pickup(TexFlag, 256, 256);
        level.levelTitle = title;
        LevelData data = TakeLevel();
        return EncodeLevel(data);
    }

    // Every file under the data folder (hidden ones too) with its bytes, and every folder.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(folder->path)) {
            const std::string name = fs::relative(item.path(), folder->path).string();
            files[name] = item.is_regular_file() ? folder->Read(name) : std::string("<folder>");
        }
        return files;
    }

    ArchiveRefusal Install(const std::string& bytes, std::string& installed) {
        outside->Write("shared.zip", bytes);
        return InstallPackArchive(outside->File("shared.zip"), installed);
    }
};

TEST_F(PackArchiveTest, HostileArchivesAreRefusedWholeAndTheDataFolderIsUntouched) {
    const std::string levelFile = LevelBytes("Shared");
    const std::string good = Zip({{"lvlpckShared/", "", AE_IFDIR}, {"lvlpckShared/001.kbx", levelFile}});
    std::vector<Entry> many = {{"lvlpckShared/001.kbx", levelFile}};
    for (int n = 0; n < MaxArchiveEntries; ++n)
        many.push_back({"lvlpckShared/" + ZeroPad(1 + n / 676, 3) + "." + char('a' + n / 26 % 26) +
                            char('a' + n % 26) + ".txt",
                        ""});
    struct Case {
        const char* name;
        std::string bytes;
        ArchiveRefusal expected;
    };
    const Case cases[] = {
        {"parent folder", Zip({{"../lvlpckShared/001.kbx", levelFile}}), ArchiveRefusal::PathLeaves},
        {"parent inside", Zip({{"lvlpckShared/../../evil/001.kbx", levelFile}}), ArchiveRefusal::PathLeaves},
        {"absolute path", Zip({{"/tmp/lvlpckShared/001.kbx", levelFile}}), ArchiveRefusal::PathLeaves},
        {"symbolic link", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/002.kbx", "", AE_IFLNK, "/etc/passwd"}}),
         ArchiveRefusal::LinkOrDevice},
        {"device", WithDevice(Zip({{"lvlpckShared/001.kbx", levelFile}})), ArchiveRefusal::LinkOrDevice},
        {"same name twice", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/001.kbx", levelFile}}),
         ArchiveRefusal::DuplicateName},
        {"same name in another case", Zip({{"lvlpckShared/001.kbx", levelFile}, {"LVLPCKShared/001.kbx", levelFile}}),
         ArchiveRefusal::NotAPack},
        {"script", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/run.sh", "#!/bin/sh"}}),
         ArchiveRefusal::BadName},
        {"sub-folder", Zip({{"lvlpckShared/sub/001.kbx", levelFile}}), ArchiveRefusal::BadName},
        {"picture in a level pack", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/wall.png", "x"}}),
         ArchiveRefusal::BadName},
        {"level number 000", Zip({{"lvlpckShared/000.kbx", levelFile}}), ArchiveRefusal::BadName},
        {"entry over the size limit",
         Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/001.en.txt", std::string(MaxArchiveEntryBytes + 1, 'h')}},
             true),
         ArchiveRefusal::TooLarge},
        {"compression bomb", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckShared/001.en.txt", std::string(32 << 20, 0)}}),
         ArchiveRefusal::Bomb},
        {"too many entries", Zip(many), ArchiveRefusal::TooManyEntries},
        {"loose file", Zip({{"readme.txt", "hello"}}), ArchiveRefusal::NotAPack},
        {"two packs", Zip({{"lvlpckShared/001.kbx", levelFile}, {"lvlpckOther/001.kbx", levelFile}}),
         ArchiveRefusal::NotAPack},
        {"no level", Zip({{"lvlpckShared/pack.txt", "order 1\n"}}), ArchiveRefusal::NotAPack},
        {"level that is no level", Zip({{"lvlpckShared/001.kbx", "MZ not a level"}}), ArchiveRefusal::NotAPack},
        {"picture that is no picture", Zip({{"txtpckShared/wallccbrick00.png", "GIF89a"}}), ArchiveRefusal::NotAPack},
        {"pack name with a slash", Zip({{"lvlpck..\\x/001.kbx", levelFile}}), ArchiveRefusal::PathLeaves},
        {"empty file", "", ArchiveRefusal::Damaged},
        {"not an archive", "PK\x03\x04 but nothing after it", ArchiveRefusal::Damaged},
        {"tar archive", std::string(1024, '\0'), ArchiveRefusal::Damaged},
    };
    std::vector<Case> table(std::begin(cases), std::end(cases));
    // Cut short at several places, and with bytes of the level's data changed (the checksum catches them).
    for (std::size_t cut : {good.size() / 4, good.size() / 2, good.size() - 30, good.size() - 1})
        table.push_back({"truncated", good.substr(0, cut), ArchiveRefusal::Damaged});
    // The level's data: after its local header, its name and its extra field.
    const std::size_t header = good.find(std::string("PK\x03\x04", 4), 4);
    const std::size_t data = header + 30 + static_cast<unsigned char>(good[header + 26]) +
                             static_cast<unsigned char>(good[header + 28]) +
                             256 * static_cast<unsigned char>(good[header + 29]);
    for (std::size_t at : {data + 2, data + 10, data + 40}) {
        std::string mutated = good;
        mutated[at] = static_cast<char>(mutated[at] ^ 0x5A);
        table.push_back({"mutated", mutated, ArchiveRefusal::Damaged});
    }

    // An existing pack of the same name as the good archive's is left as it is.
    folder->Write("lvlpckShared/001.kbx", "the player's own level");
    table.push_back({"pack of that name there", good, ArchiveRefusal::PackExists});

    const auto before = Snapshot();
    for (const Case& c : table) {
        std::string installed;
        EXPECT_EQ(Install(c.bytes, installed), c.expected) << c.name;
        EXPECT_EQ(installed, "") << c.name;
        EXPECT_EQ(Snapshot(), before) << c.name;
    }
}

TEST_F(PackArchiveTest, APackExportedDeletedAndInstalledAgainHasTheSameFiles) {
    const std::string pack = "lvlpckRound Trip";
    std::map<std::string, std::string> files;
    for (int n = 1; n <= 3; ++n) {
        files[LevelFileName(n)] = LevelBytes("Level " + std::to_string(n));
        files[ZeroPad(n, 3) + ".en.txt"] = "Hint " + std::to_string(n) + "\n";
    }
    files["001.keys"] = "R 10\n";
    files["pack.txt"] = "order 7\n";
    for (const auto& [name, bytes] : files) folder->Write(pack + "/" + name, bytes);
    folder->Write(pack + "/Ann.sts", "statistics stay home");
    folder->Write(pack + "/tempinc.kbx", "an interrupted move");

    const PackArchive collected = CollectPack(folder->File(pack) + "/", pack);
    ASSERT_TRUE(ExportPack(collected, outside->File("round.zip")));
    std::string first, second;
    ASSERT_TRUE(PlatformReadFile(outside->File("round.zip"), first));
    ASSERT_TRUE(ExportPack(CollectPack(folder->File(pack) + "/", pack), outside->File("again.zip")));
    ASSERT_TRUE(PlatformReadFile(outside->File("again.zip"), second));
    EXPECT_EQ(first, second);                   // the same pack gives the same archive

    fs::remove_all(folder->File(pack));
    std::string installed;
    ASSERT_EQ(InstallPackArchive(outside->File("round.zip"), installed), ArchiveRefusal::None);
    EXPECT_EQ(installed, pack);
    std::map<std::string, std::string> after;
    for (const auto& item : fs::directory_iterator(folder->File(pack)))
        after[item.path().filename().string()] = folder->Read(pack + "/" + item.path().filename().string());
    EXPECT_EQ(after, files);
    // Nothing of the unpacking is left, and installing it a second time changes nothing.
    EXPECT_FALSE(fs::exists(folder->File(".kolbrix-unpack")));
    const auto before = Snapshot();
    EXPECT_EQ(InstallPackArchive(outside->File("round.zip"), installed), ArchiveRefusal::PackExists);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(PackArchiveTest, ArchivesDroppedIntoTheDataFolderAreInstalledOrRefusedOnce) {
    const std::string levelFile = LevelBytes("Dropped");
    folder->Write("Castle.zip", Zip({{"lvlpckCastle/001.kbx", levelFile}}));
    folder->Write("Evil.zip", Zip({{"../lvlpckEvil/001.kbx", levelFile}}));
    folder->Write("Bricks.zip", Zip({{"txtpckBricks/wallccbrick00.png", "\x89PNG\r\n\x1A\n rest"}}));
    InstallDroppedArchives();
    EXPECT_EQ(folder->Read("lvlpckCastle/001.kbx"), levelFile);
    EXPECT_TRUE(fs::exists(folder->File("txtpckBricks/wallccbrick00.png")));
    EXPECT_FALSE(fs::exists(folder->File("lvlpckEvil")));
    EXPECT_FALSE(fs::exists(folder->path.parent_path() / "lvlpckEvil"));
    EXPECT_TRUE(fs::exists(folder->File("installed/Castle.zip")));
    EXPECT_TRUE(fs::exists(folder->File("refused/Evil.zip")));
    for (const char* name : {"Castle.zip", "Evil.zip", "Bricks.zip"}) EXPECT_FALSE(fs::exists(folder->File(name)));
    EXPECT_EQ(MessageState, 1);
    // The next start finds nothing to do.
    MessageState = 0;
    const auto before = Snapshot();
    InstallDroppedArchives();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(MessageState, 0);
}

TEST(PackFileNames, OnlyTheFilesOfAPackOfItsKind) {
    struct Case {
        const char* folder;
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"lvlpckA", "001.kbx", true},       {"lvlpckA", "999.keys", true},     {"lvlpckA", "012.de.txt", true},
        {"lvlpckA", "pack.txt", true},      {"lvlpckA", "000.kbx", false},     {"lvlpckA", "1000.kbx", false},
        {"lvlpckA", "01.kbx", false},       {"lvlpckA", "001.sts", false},     {"lvlpckA", "Ann.sts", false},
        {"lvlpckA", "001.DE.txt", false},   {"lvlpckA", "tempinc.kbx", false}, {"lvlpckA", "wall.png", false},
        {"txtpckA", "wallccbrick00.png", true}, {"txtpckA", "001.kbx", false}, {"txtpckA", ".png", false},
        {"txtpckA", "a b.png", false},      {"txtpckA", "../x.png", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPackFileName(c.folder, c.name), c.valid) << c.folder << "/" << c.name;
    for (const char* name : {"lvlpckA", "txtpckMain", "lvlpckEpisode 4", "lvlpck(x)"}) EXPECT_TRUE(IsPackFolderName(name));
    for (const char* name : {"lvlpck", "lvlpck..", "lvlpck a/b", "packA", "lvlpck ", "lvlpckA\\b", "lvlpck*"})
        EXPECT_FALSE(IsPackFolderName(name)) << name;
}

}  // namespace
}  // namespace playtest
