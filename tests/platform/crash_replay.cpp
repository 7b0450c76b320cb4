// The crash-point replay: the disk as a stop would leave it, in order and flushed only, and the checks on it.
#include "tests/platform/crash_replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// The path of an operation relative to the root; "" is the root itself.
std::string Relative(const std::string& path, const fs::path& root) {
    std::string normal;
    for (char c : path)
        if (!(c == '/' && !normal.empty() && normal.back() == '/')) normal += c;
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    const std::string base = root.generic_string();
    if (normal == base) return "";
    if (normal.rfind(base + "/", 0) != 0) {
        ADD_FAILURE() << "an operation outside the folder: " << path;
        return "?outside";
    }
    return normal.substr(base.size() + 1);
}

std::pair<std::string, std::string> SplitParent(const std::string& relative) {
    size_t slash = relative.find_last_of('/');
    if (slash == std::string::npos) return {"", relative};
    return {relative.substr(0, slash), relative.substr(slash + 1)};
}

void WriteAt(std::string& data, std::int64_t offset, const std::string& bytes) {
    size_t at = static_cast<size_t>(offset);
    if (data.size() < at + bytes.size()) data.resize(at + bytes.size());
    data.replace(at, bytes.size(), bytes);
}

void ApplyOne(DiskImage& disk, const FileOp& op, const fs::path& root, size_t cutWrite) {
    const std::string path = Relative(op.path, root);
    switch (op.kind) {
    case FileOpKind::CreateFile: disk.files[path].clear(); break;
    case FileOpKind::WriteFile:
        WriteAt(disk.files[path], op.offset, cutWrite > 0 ? op.bytes.substr(0, cutWrite) : op.bytes);
        break;
    case FileOpKind::Rename: {
        const std::string to = Relative(op.to, root);
        if (auto file = disk.files.find(path); file != disk.files.end()) {
            std::string bytes = std::move(file->second);
            disk.files.erase(file);
            disk.files[to] = std::move(bytes);
            break;
        }
        // A folder takes everything under it along.
        DiskImage moved;
        auto movedName = [&](const std::string& name) {
            return name == path || name.rfind(path + "/", 0) == 0 ? to + name.substr(path.size()) : name;
        };
        for (const auto& [name, bytes] : disk.files) moved.files[movedName(name)] = bytes;
        for (const std::string& name : disk.folders) moved.folders.insert(movedName(name));
        disk = std::move(moved);
        break;
    }
    case FileOpKind::DeleteFile: disk.files.erase(path); break;
    case FileOpKind::MakeFolder: disk.folders.insert(path); break;
    case FileOpKind::RemoveFolder: disk.folders.erase(path); break;
    case FileOpKind::FlushFile:
    case FileOpKind::FlushFolder: break;
    }
}

// ---- The flushed-only model: files and folders as nodes, each with what it holds now and what was last flushed.

struct DiskNode {
    bool folder = false;
    std::string data, flushedData;
    std::map<std::string, size_t> entries, flushedEntries;
};

DiskNode FolderNode() {
    DiskNode node;
    node.folder = true;
    return node;
}

struct DiskModel {
    std::vector<DiskNode> nodes{FolderNode()};      // node 0 is the root
};

std::optional<size_t> Find(const DiskModel& model, const std::string& relative) {
    size_t node = 0;
    if (relative.empty()) return node;
    size_t start = 0;
    for (;;) {
        size_t slash = relative.find('/', start);
        const std::string name = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        auto entry = model.nodes[node].entries.find(name);
        if (entry == model.nodes[node].entries.end()) return std::nullopt;
        node = entry->second;
        if (slash == std::string::npos) return node;
        start = slash + 1;
    }
}

// Adds a node under its parent's current entries; `flushed` also puts it among the flushed ones (it was there before).
size_t AddNode(DiskModel& model, const std::string& relative, DiskNode node, bool flushed) {
    auto [parent, name] = SplitParent(relative);
    std::optional<size_t> folder = Find(model, parent);
    if (!folder) {
        ADD_FAILURE() << "no folder for " << relative;
        return 0;
    }
    model.nodes.push_back(std::move(node));
    size_t id = model.nodes.size() - 1;
    model.nodes[*folder].entries[name] = id;
    if (flushed) model.nodes[*folder].flushedEntries[name] = id;
    return id;
}

DiskModel ModelOf(const DiskImage& disk) {
    DiskModel model;
    for (const std::string& folder : disk.folders) AddNode(model, folder, FolderNode(), true);   // parents first
    for (const auto& [path, bytes] : disk.files) {
        DiskNode file;
        file.data = file.flushedData = bytes;
        AddNode(model, path, std::move(file), true);
    }
    return model;
}

void ApplyToModel(DiskModel& model, const FileOp& op, const fs::path& root) {
    const std::string path = Relative(op.path, root);
    auto [parent, name] = SplitParent(path);
    std::optional<size_t> folder = Find(model, parent);
    std::optional<size_t> node = Find(model, path);
    if (!folder) {
        ADD_FAILURE() << "no folder for " << op.path;
        return;
    }
    switch (op.kind) {
    case FileOpKind::CreateFile:
        if (node && !model.nodes[*node].folder) model.nodes[*node].data.clear();
        else AddNode(model, path, DiskNode{}, false);
        break;
    case FileOpKind::WriteFile:
        if (node) WriteAt(model.nodes[*node].data, op.offset, op.bytes);
        break;
    case FileOpKind::FlushFile:
        if (node) model.nodes[*node].flushedData = model.nodes[*node].data;
        break;
    case FileOpKind::Rename: {
        auto [toParent, toName] = SplitParent(Relative(op.to, root));
        std::optional<size_t> toFolder = Find(model, toParent);
        if (!node || !toFolder) break;
        model.nodes[*folder].entries.erase(name);
        model.nodes[*toFolder].entries[toName] = *node;
        break;
    }
    case FileOpKind::DeleteFile:
    case FileOpKind::RemoveFolder: model.nodes[*folder].entries.erase(name); break;
    case FileOpKind::MakeFolder: AddNode(model, path, FolderNode(), false); break;
    case FileOpKind::FlushFolder:
        if (node) model.nodes[*node].flushedEntries = model.nodes[*node].entries;
        break;
    }
}

void CollectFlushed(const DiskModel& model, size_t folder, const std::string& prefix, std::set<size_t>& seen,
                    DiskImage& out) {
    for (const auto& [name, id] : model.nodes[folder].flushedEntries) {
        if (!seen.insert(id).second) continue;      // an entry flushed in two folders shows once
        const std::string path = prefix.empty() ? name : prefix + "/" + name;
        if (model.nodes[id].folder) {
            out.folders.insert(path);
            CollectFlushed(model, id, path, seen, out);
        } else {
            out.files[path] = model.nodes[id].flushedData;
        }
    }
}

// Where a write of `size` bytes is cut: in the middle of each block of 4096 and at each block's end.
std::vector<size_t> WriteCuts(size_t size) {
    constexpr size_t Block = 4096;
    std::vector<size_t> cuts;
    for (size_t start = 0; start < size; start += Block) {
        size_t end = std::min(start + Block, size);
        size_t middle = start + (end - start) / 2;
        if (middle > start) cuts.push_back(middle);
        if (end < size) cuts.push_back(end);
    }
    return cuts;
}

std::optional<std::string> FileIn(const DiskImage& disk, const std::string& path) {
    auto file = disk.files.find(path);
    if (file == disk.files.end()) return std::nullopt;
    return file->second;
}

std::string Shown(const std::optional<std::string>& bytes) {
    return bytes ? std::to_string(bytes->size()) + " bytes" : "no file";
}

std::vector<std::string> LoadAll(const fs::path& root, const DiskImage& disk, const std::vector<WatchedFile>& watched) {
    WriteDiskImage(root, disk);
    std::vector<std::string> loaded;
    for (const WatchedFile& file : watched) loaded.push_back(file.load());
    return loaded;
}

}  // namespace

DiskImage ReadDiskImage(const fs::path& root) {
    DiskImage disk;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = fs::relative(entry.path(), root).generic_string();
        if (entry.is_directory()) {
            disk.folders.insert(path);
        } else {
            std::ifstream in(entry.path(), std::ios::binary);
            disk.files[path] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return disk;
}

void WriteDiskImage(const fs::path& root, const DiskImage& disk) {
    fs::create_directories(root);
    for (const auto& entry : fs::directory_iterator(root)) fs::remove_all(entry.path());
    for (const std::string& folder : disk.folders) fs::create_directories(root / folder);
    for (const auto& [path, bytes] : disk.files) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path, std::ios::binary) << bytes;
    }
}

std::vector<FileOp> RecordFileOps(const std::function<void()>& body) {
    std::vector<FileOp> ops;
    PlatformRecordFileOps(&ops);
    body();
    PlatformRecordFileOps(nullptr);
    return ops;
}

DiskImage ApplyInOrder(const DiskImage& before, const std::vector<FileOp>& ops, const fs::path& root, size_t count,
                       size_t cutWrite) {
    DiskImage disk = before;
    for (size_t i = 0; i < count && i < ops.size(); i++) ApplyOne(disk, ops[i], root, 0);
    if (cutWrite > 0 && count < ops.size()) ApplyOne(disk, ops[count], root, cutWrite);
    return disk;
}

DiskImage ApplyFlushedOnly(const DiskImage& before, const std::vector<FileOp>& ops, const fs::path& root,
                           size_t count) {
    DiskModel model = ModelOf(before);
    for (size_t i = 0; i < count && i < ops.size(); i++) ApplyToModel(model, ops[i], root);
    DiskImage disk;
    std::set<size_t> seen;
    CollectFlushed(model, 0, "", seen, disk);
    return disk;
}

std::vector<CrashState> CrashStates(const DiskImage& before, const std::vector<FileOp>& ops, const fs::path& root) {
    std::vector<CrashState> states;
    const size_t n = ops.size();
    for (size_t k = 0; k <= n; k++) {
        const std::string stop = "stop after " + std::to_string(k) + " of " + std::to_string(n);
        states.push_back({stop, ApplyInOrder(before, ops, root, k), k == n});
        states.push_back({stop + ", flushed only", ApplyFlushedOnly(before, ops, root, k), k == n});
        if (k < n && ops[k].kind == FileOpKind::WriteFile)
            for (size_t cut : WriteCuts(ops[k].bytes.size()))
                states.push_back({stop + ", inside write " + std::to_string(k + 1) + " at byte " + std::to_string(cut),
                                  ApplyInOrder(before, ops, root, k, cut), false});
    }
    return states;
}

CrashReplay ReplayCrashPoints(const std::string& name, const fs::path& root, const DiskImage& before,
                              const std::vector<FileOp>& ops, const std::vector<WatchedFile>& watched,
                              const std::function<bool(const CrashState&, const CrashVersions&)>& statement) {
    CrashReplay replay;
    replay.operations = ops.size();
    // The journal is complete: replayed in order, it makes exactly what the operation left on disk.
    const DiskImage after = ReadDiskImage(root);
    EXPECT_TRUE(ApplyInOrder(before, ops, root, ops.size()) == after) << name << ": the journal misses a change";

    const std::vector<std::string> loadedOld = LoadAll(root, before, watched);
    const std::vector<std::string> loadedNew = LoadAll(root, after, watched);
    for (size_t i = 0; i < watched.size(); i++) {
        // A case whose versions cannot be told apart would prove nothing.
        EXPECT_NE(FileIn(before, watched[i].path), FileIn(after, watched[i].path)) << name << ": " << watched[i].path;
    }

    const std::vector<CrashState> states = CrashStates(before, ops, root);
    std::set<std::string> stops;
    for (const CrashState& state : states) {
        stops.insert(state.what.substr(0, state.what.find(", flushed only")));
        const std::vector<std::string> loaded = LoadAll(root, state.disk, watched);
        CrashVersions versions;
        bool consistent = true;
        for (size_t i = 0; i < watched.size(); i++) {
            const std::string& path = watched[i].path;
            const std::optional<std::string> bytes = FileIn(state.disk, path);
            const bool isNew = bytes == FileIn(after, path);
            const bool isOld = bytes == FileIn(before, path);
            versions.push_back(isNew);
            if (state.saveReturned ? !isNew : !isNew && !isOld) {
                ADD_FAILURE() << name << ", " << state.what << ": " << path << " holds " << Shown(bytes)
                              << "; old " << Shown(FileIn(before, path)) << ", new " << Shown(FileIn(after, path));
                consistent = false;
            } else if (loaded[i] != (isNew ? loadedNew[i] : loadedOld[i])) {
                ADD_FAILURE() << name << ", " << state.what << ": the game read " << path << " differently from its "
                              << (isNew ? "new" : "old") << " version";
                consistent = false;
            }
        }
        if (consistent && statement && !statement(state, versions)) {
            ADD_FAILURE() << name << ", " << state.what << ": the statement does not hold";
            consistent = false;
        }
        replay.states++;
        if (!consistent) replay.inconsistent++;
    }
    replay.stops = stops.size();
    WriteDiskImage(root, after);
    std::printf("[ crash points ] %s: %zu operations, %zu crash points, %zu states, %s\n", name.c_str(),
                replay.operations, replay.stops, replay.states,
                replay.inconsistent ? (std::to_string(replay.inconsistent) + " inconsistent").c_str()
                                    : "all consistent");
    return replay;
}
