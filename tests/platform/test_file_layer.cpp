// The file layer under a power cut and a failing disk: every change is flushed before it returns (files and the
// folders that hold them), the journal of changes is complete, and a read that fails part-way fails.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"
#include "tests/platform/crash_replay.h"

namespace {

struct FileLayer : ::testing::Test {
    TempProgramFolder folder;
    void SetUp() override {
        UseHeadless();
        Prepare();
    }
    // Two files, one in a pack folder, and two more folders, one of them empty.
    void Prepare() const {
        WriteDiskImage(folder.path, DiskImage{{{"a.dat", "old contents"}, {"pack/x.dat", "level x"}},
                                              {"empty", "other", "pack"}});
    }
    void TearDown() override {
        PlatformRecordFileOps(nullptr);
        PlatformFailReads("", 0);
    }
    std::string At(const std::string& relative) const { return folder.File(relative); }
};

// After each change returned, a power cut keeps it: the state where everything not flushed is lost equals the disk.
TEST_F(FileLayer, EveryChangeSurvivesAPowerCutOnceItReturned) {
    auto at = [this](const char* relative) { return At(relative); };
    struct Case { const char* what; std::function<bool()> change; };
    const Case cases[] = {
        {"save over an old file", [&] { return PlatformWriteFileAtomic(at("a.dat"), "new"); }},
        {"first save", [&] { return PlatformWriteFileAtomic(at("b.dat"), std::string(9000, 'b')); }},
        {"save in a sub-folder", [&] { return PlatformWriteFileAtomic(at("pack/x.dat"), "y"); }},
        {"rename in a folder", [&] { return PlatformRenameFile(at("pack/x.dat"), at("pack/y.dat")); }},
        {"rename over a file", [&] { return PlatformRenameFile(at("pack/x.dat"), at("a.dat")); }},
        {"rename across folders", [&] { return PlatformRenameFile(at("pack/x.dat"), at("other/x.dat")); }},
        {"rename a folder", [&] { return PlatformRenameFile(at("pack/"), at("renamed/")); }},
        {"make a folder", [&] { return PlatformMakeFolder(at("new/")); }},
        {"remove a folder", [&] { return PlatformRemoveFolder(at("empty")); }},
        {"delete a file", [&] { return PlatformDeleteFile(at("pack/x.dat")); }},
    };
    for (const Case& c : cases) {
        Prepare();
        const DiskImage before = ReadDiskImage(folder.path);
        bool done = false;
        const std::vector<FileOp> ops = RecordFileOps([&] { done = c.change(); });
        ASSERT_TRUE(done) << c.what;
        const DiskImage after = ReadDiskImage(folder.path);
        EXPECT_FALSE(after == before) << c.what;
        EXPECT_TRUE(ApplyInOrder(before, ops, folder.path, ops.size()) == after)
            << c.what << ": the journal misses a change";
        EXPECT_TRUE(ApplyFlushedOnly(before, ops, folder.path, ops.size()) == after)
            << c.what << ": a power cut right after it returned takes the change back";
    }
    // Switched off, the journal takes nothing more.
    std::vector<FileOp> journal;
    PlatformRecordFileOps(&journal);
    PlatformRecordFileOps(nullptr);
    ASSERT_TRUE(PlatformWriteFileAtomic(At("c.dat"), "c"));
    EXPECT_TRUE(journal.empty());
}

// The replay's model knows the two classic faults of a save: a rename whose folder was never flushed comes undone,
// and a file renamed before its contents were flushed comes back empty.
TEST_F(FileLayer, TheFlushedOnlyModelUndoesWhatWasNotFlushed) {
    const std::string root = folder.path.generic_string();
    auto op = [](FileOpKind kind, const std::string& path, const std::string& to = "", const std::string& bytes = "") {
        return FileOp{kind, path, to, 0, bytes};
    };
    const FileOp create = op(FileOpKind::CreateFile, root + "/a.dat.tmp");
    const FileOp write = op(FileOpKind::WriteFile, root + "/a.dat.tmp", "", "new");
    const FileOp flushFile = op(FileOpKind::FlushFile, root + "/a.dat.tmp");
    const FileOp rename = op(FileOpKind::Rename, root + "/a.dat.tmp", root + "/a.dat");
    const FileOp flushFolder = op(FileOpKind::FlushFolder, root);
    struct Case { const char* what; std::vector<FileOp> ops; std::string left; };
    const Case cases[] = {
        {"the whole save", {create, write, flushFile, rename, flushFolder}, "new"},
        {"no folder flush", {create, write, flushFile, rename}, "old contents"},
        {"no file flush", {create, write, rename, flushFolder}, ""},
        {"stopped before the rename", {create, write, flushFile, flushFolder}, "old contents"},
    };
    const DiskImage before = ReadDiskImage(folder.path);
    for (const Case& c : cases) {
        const DiskImage left = ApplyFlushedOnly(before, c.ops, folder.path, c.ops.size());
        ASSERT_TRUE(left.files.count("a.dat")) << c.what;
        EXPECT_EQ(left.files.at("a.dat"), c.left) << c.what;
        EXPECT_EQ(ApplyInOrder(before, c.ops, folder.path, c.ops.size()).files.at("a.dat"),
                  c.what == std::string("stopped before the rename") ? "old contents" : "new")
            << c.what;
    }
}

// A read that breaks off is a failed read, wherever it breaks; the whole file reads when nothing breaks.
TEST_F(FileLayer, AReadThatFailsPartWayFails) {
    std::string contents;
    for (int i = 0; i < 10000; i++) contents += static_cast<char>('a' + i % 26);
    folder.Write("big.dat", contents);
    const std::string path = At("big.dat");
    struct Case { std::int64_t failAfter; bool reads; };
    const Case cases[] = {{0, false}, {1, false}, {4096, false}, {9999, false}, {10000, true}, {20000, true}};
    for (const Case& c : cases) {
        PlatformFailReads(path, c.failAfter);
        std::string bytes = "stale";
        EXPECT_EQ(PlatformReadFile(path, bytes), c.reads) << "failing after " << c.failAfter;
        EXPECT_EQ(bytes, c.reads ? contents : "") << "failing after " << c.failAfter;
    }
    PlatformFailReads(path, 0);
    std::string other;
    EXPECT_TRUE(PlatformReadFile(At("a.dat"), other)) << "only the named file fails";
    PlatformFailReads("", 0);
    std::string bytes;
    EXPECT_TRUE(PlatformReadFile(path, bytes));
    EXPECT_EQ(bytes, contents);
}

}  // namespace
