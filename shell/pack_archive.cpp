#include "shell/pack_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "platform/platform.h"
#include "play/level_file.h"
#include "shell/packs.h"

namespace {

constexpr std::int32_t LineRefusedTitle = 277, LineInstalledTitle = 289;
constexpr std::uint64_t BombFloorBytes = 1ull << 20;
const char* const UnpackFolderName = ".kolbrix-unpack/";
const std::string PngSignature = "\x89PNG\r\n\x1A\n";
// The characters the editor lets a player type into a pack name.
const std::string PackNameCharacters =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789$%'-@{}~!#()&_^+,.=[]";

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool AllLetters(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::islower(c); });
}

bool LevelPack(const std::string& folder) { return folder.rfind(PackPrefix, 0) == 0; }

// "001" ... "999": a level number as its files are named.
bool LevelStem(const std::string& stem) { return stem.size() == 3 && AllDigits(stem) && stem != "000"; }

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A name with "..", a leading "/" or a drive letter, or a backslash (a separator elsewhere) leaves the pack.
bool LeavesThePack(const std::string& name) {
    if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos) return true;
    if (name.size() >= 2 && name[1] == ':') return true;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

bool IsLinkOrDevice(archive_entry* entry) {
    if (archive_entry_hardlink(entry) != nullptr || archive_entry_symlink(entry) != nullptr) return true;
    const unsigned type = archive_entry_filetype(entry);
    return type != AE_IFREG && type != AE_IFDIR;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Reads the entry's data, counting: over a limit or a bomb stops it with the reason.
ArchiveRefusal ReadData(archive* reader, std::uint64_t archiveBytes, std::uint64_t& total, std::string& data) {
    char buffer[64 * 1024];
    for (;;) {
        const la_ssize_t got = archive_read_data(reader, buffer, sizeof buffer);
        if (got < 0) return ArchiveRefusal::Damaged;
        if (got == 0) return ArchiveRefusal::None;
        total += static_cast<std::uint64_t>(got);
        if (data.size() + static_cast<std::size_t>(got) > MaxArchiveEntryBytes || total > MaxArchiveTotalBytes)
            return ArchiveRefusal::TooLarge;
        if (total > BombFloorBytes && total > MaxCompressionRatio * archiveBytes) return ArchiveRefusal::Bomb;
        data.append(buffer, static_cast<std::size_t>(got));
    }
}

// What a pack's file must start with: a level file's header, a PNG signature.
bool ContentFits(const std::string& name, const std::string& data) {
    if (EndsWith(name, ".kbx")) return IsLevelHeader(data);
    if (EndsWith(name, ".png")) return data.compare(0, PngSignature.size(), PngSignature) == 0;
    return true;
}

ArchiveRefusal ReadEntries(archive* reader, std::uint64_t archiveBytes, PackArchive& pack) {
    std::set<std::string> seen;
    std::uint64_t total = 0;
    std::int32_t entries = 0;
    archive_entry* entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader, &entry);
        if (status == ARCHIVE_EOF) break;
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN) return ArchiveRefusal::Damaged;
        if (++entries > MaxArchiveEntries) return ArchiveRefusal::TooManyEntries;
        const char* raw = archive_entry_pathname(entry);
        if (raw == nullptr) return ArchiveRefusal::BadName;
        std::string name = raw;
        if (LeavesThePack(name)) return ArchiveRefusal::PathLeaves;
        if (IsLinkOrDevice(entry)) return ArchiveRefusal::LinkOrDevice;
        const bool folder = archive_entry_filetype(entry) == AE_IFDIR;
        if (folder && EndsWith(name, "/")) name.pop_back();
        const std::size_t slash = name.find('/');
        const std::string top = name.substr(0, slash);
        if (!IsPackFolderName(top)) return ArchiveRefusal::NotAPack;
        if (pack.folder.empty()) pack.folder = top;
        else if (top != pack.folder) return ArchiveRefusal::NotAPack;
        if (!seen.insert(Lower(name)).second) return ArchiveRefusal::DuplicateName;
        if (folder) {
            if (slash != std::string::npos) return ArchiveRefusal::BadName;
            continue;
        }
        if (slash == std::string::npos || !IsPackFileName(top, name.substr(slash + 1))) return ArchiveRefusal::BadName;
        std::string data;
        if (const ArchiveRefusal refusal = ReadData(reader, archiveBytes, total, data); refusal != ArchiveRefusal::None)
            return refusal;
        if (!ContentFits(name, data)) return ArchiveRefusal::NotAPack;
        pack.files.emplace_back(name.substr(slash + 1), std::move(data));
    }
    const bool level = LevelPack(pack.folder);
    const bool holdsOne = std::any_of(pack.files.begin(), pack.files.end(), [&](const auto& file) {
        return EndsWith(file.first, level ? ".kbx" : ".png");
    });
    return holdsOne ? ArchiveRefusal::None : ArchiveRefusal::NotAPack;
}

la_ssize_t AppendBytes(archive*, void* out, const void* buffer, size_t length) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(buffer), length);
    return static_cast<la_ssize_t>(length);
}

bool WriteEntry(archive* writer, const std::string& name, const std::string* data) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, data ? AE_IFREG : AE_IFDIR);
    archive_entry_set_perm(entry, data ? 0644 : 0755);
    archive_entry_set_size(entry, data ? static_cast<la_int64_t>(data->size()) : 0);
    // A fixed date (2000-01-01), so that exporting the same pack twice gives the same bytes.
    archive_entry_set_mtime(entry, 946684800, 0);
    bool ok = archive_write_header(writer, entry) == ARCHIVE_OK;
    if (ok && data && !data->empty())
        ok = archive_write_data(writer, data->data(), data->size()) == static_cast<la_ssize_t>(data->size());
    archive_entry_free(entry);
    return ok;
}

// Removes the unpacking folder and what an earlier, interrupted install left in it (files two levels deep).
void RemoveUnpackFolder(const std::string& unpack) {
    if (!PlatformFolderExists(unpack)) return;
    for (const std::string& sub : PlatformListFolder(unpack, "*", ListKind::Folders)) {
        for (const std::string& file : PlatformListFolder(unpack + sub + "/", "*", ListKind::Files))
            PlatformDeleteFile(unpack + sub + "/" + file);
        PlatformRemoveFolder(unpack + sub + "/");
    }
    for (const std::string& file : PlatformListFolder(unpack, "*", ListKind::Files)) PlatformDeleteFile(unpack + file);
    PlatformRemoveFolder(unpack);
}

// A pack of this folder name is there already: in the data folder or shipped, letter case aside.
bool PackNameTaken(const std::string& folder) {
    const std::string key = NameKey(folder);
    for (const std::string& place : {DataFolder(), ProgramFolder()})
        for (const std::string& name : PlatformListFolder(place, "*", ListKind::Folders))
            if (NameKey(name) == key) return true;
    return false;
}

ArchiveRefusal Unpack(const PackArchive& pack) {
    const std::string unpack = DataFolder() + UnpackFolderName;
    const std::string staged = unpack + pack.folder + "/";
    bool ok = PlatformMakeFolder(unpack) && PlatformMakeFolder(staged) && PlatformWriteNewFiles(staged, pack.files);
    ok = ok && PlatformRenameFile(unpack + pack.folder, DataFolder() + pack.folder);
    RemoveUnpackFolder(unpack);
    return ok ? ArchiveRefusal::None : ArchiveRefusal::WriteFailed;
}

void MoveAside(const std::string& archive, const std::string& name, const char* folder) {
    const std::string aside = DataFolder() + folder;
    if (!PlatformFolderExists(aside)) PlatformMakeFolder(aside);
    std::string target = aside + name;
    for (int n = 2; PlatformFileExists(target) && n < 1000; ++n) target = aside + std::to_string(n) + "-" + name;
    PlatformRenameFile(archive, target);
}

}  // namespace

std::int32_t RefusalLine(ArchiveRefusal refusal) {
    switch (refusal) {
        case ArchiveRefusal::PathLeaves: return 278;
        case ArchiveRefusal::LinkOrDevice: return 279;
        case ArchiveRefusal::DuplicateName: return 280;
        case ArchiveRefusal::BadName: return 281;
        case ArchiveRefusal::TooLarge: return 282;
        case ArchiveRefusal::Bomb: return 283;
        case ArchiveRefusal::TooManyEntries: return 284;
        case ArchiveRefusal::NotAPack: return 285;
        case ArchiveRefusal::Damaged: return 286;
        case ArchiveRefusal::PackExists: return 287;
        case ArchiveRefusal::WriteFailed: return 288;
        case ArchiveRefusal::None: break;
    }
    return 0;
}

const char* RefusalText(ArchiveRefusal refusal) {
    switch (refusal) {
        case ArchiveRefusal::PathLeaves: return "a name leaves the pack (.. or an absolute path)";
        case ArchiveRefusal::LinkOrDevice: return "it holds a link or a device";
        case ArchiveRefusal::DuplicateName: return "two entries have the same name";
        case ArchiveRefusal::BadName: return "a name is not a file of a pack";
        case ArchiveRefusal::TooLarge: return "an entry or the whole is too large unpacked";
        case ArchiveRefusal::Bomb: return "it unpacks to far more than it holds (a compression bomb)";
        case ArchiveRefusal::TooManyEntries: return "it holds too many entries";
        case ArchiveRefusal::NotAPack: return "it is not one level pack or texture pack";
        case ArchiveRefusal::Damaged: return "it is damaged or not a .zip archive";
        case ArchiveRefusal::PackExists: return "a pack of that name is there already";
        case ArchiveRefusal::WriteFailed: return "its files could not be written";
        case ArchiveRefusal::None: break;
    }
    return "";
}

bool IsPackFolderName(const std::string& folder) {
    if (folder.size() <= 6 || folder.size() > 70) return false;
    if (folder.rfind(PackPrefix, 0) != 0 && folder.rfind("txtpck", 0) != 0) return false;
    const std::string name = folder.substr(6);
    return SafeName(name) && name.find_first_not_of(PackNameCharacters) == std::string::npos &&
           name.find_first_not_of(' ') != std::string::npos && name.back() != ' ' && name.back() != '.';
}

bool IsPackFileName(const std::string& folder, const std::string& name) {
    if (!LevelPack(folder)) {
        if (!EndsWith(name, ".png") || name.size() <= 4 || name.size() > 100) return false;
        const std::string stem = name.substr(0, name.size() - 4);
        return std::all_of(stem.begin(), stem.end(),
                           [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
    }
    if (name == PackInfoFile) return true;
    const std::string stem = name.substr(0, 3);
    if (!LevelStem(stem) || name.size() < 4 || name[3] != '.') return false;
    const std::string rest = name.substr(4);
    if (rest == "kbx" || rest == "keys") return true;
    // A hint file: "NNN." + a language's letters + ".txt".
    return EndsWith(rest, ".txt") && rest.size() >= 6 && rest.size() <= 7 && AllLetters(rest.substr(0, rest.size() - 4));
}

ArchiveRefusal ReadPackArchive(const std::string& bytes, PackArchive& pack) {
    pack = PackArchive{};
    if (bytes.size() > MaxArchiveFileBytes) return ArchiveRefusal::TooLarge;
    archive* reader = archive_read_new();
    // Only the reader that goes by the central directory: an archive cut short, which has none, is refused rather
    // than read as far as its entries happen to reach.
    archive_read_support_format_zip_seekable(reader);
    ArchiveRefusal refusal = ArchiveRefusal::Damaged;
    if (archive_read_open_memory(reader, bytes.data(), bytes.size()) == ARCHIVE_OK)
        refusal = ReadEntries(reader, std::max<std::uint64_t>(bytes.size(), 1), pack);
    archive_read_free(reader);
    if (refusal != ArchiveRefusal::None) pack = PackArchive{};
    return refusal;
}

bool WritePackArchive(const PackArchive& pack, std::string& bytes) {
    bytes.clear();
    archive* writer = archive_write_new();
    bool ok = archive_write_set_format_zip(writer) == ARCHIVE_OK &&
              archive_write_set_bytes_in_last_block(writer, 1) == ARCHIVE_OK &&
              archive_write_open2(writer, &bytes, nullptr, AppendBytes, nullptr, nullptr) == ARCHIVE_OK;
    ok = ok && WriteEntry(writer, pack.folder + "/", nullptr);
    for (std::size_t i = 0; ok && i < pack.files.size(); ++i)
        ok = WriteEntry(writer, pack.folder + "/" + pack.files[i].first, &pack.files[i].second);
    ok = archive_write_close(writer) == ARCHIVE_OK && ok;
    archive_write_free(writer);
    return ok;
}

PackArchive CollectPack(const std::string& folderPath, const std::string& folder) {
    PackArchive pack;
    pack.folder = folder;
    for (const std::string& name : SortedListing(folderPath, "*", ListKind::Files)) {
        if (!IsPackFileName(folder, name)) continue;
        std::string data;
        if (PlatformReadFile(folderPath + name, data)) pack.files.emplace_back(name, std::move(data));
    }
    return pack;
}

bool ExportPack(const PackArchive& pack, const std::string& archivePath) {
    std::string bytes;
    return WritePackArchive(pack, bytes) && PlatformWriteFileAtomic(archivePath, bytes);
}

ArchiveRefusal InstallPackArchive(const std::string& archivePath, std::string& installed) {
    installed.clear();
    // What an install stopped by a power cut left is cleared whatever this one comes to.
    RemoveUnpackFolder(DataFolder() + UnpackFolderName);
    std::string bytes;
    if (!PlatformReadFile(archivePath, bytes)) return ArchiveRefusal::Damaged;
    PackArchive pack;
    if (const ArchiveRefusal refusal = ReadPackArchive(bytes, pack); refusal != ArchiveRefusal::None) return refusal;
    bytes.clear();
    if (PackNameTaken(pack.folder)) return ArchiveRefusal::PackExists;
    const ArchiveRefusal refusal = Unpack(pack);
    if (refusal == ArchiveRefusal::None) installed = pack.folder;
    return refusal;
}

std::string ExportFolder() { return DataFolder() + "exported/"; }

void InstallDroppedArchives() {
    for (const std::string& name : SortedListing(DataFolder(), "*.zip", ListKind::Files)) {
        const std::string path = DataFolder() + name;
        std::string installed;
        const ArchiveRefusal refusal = InstallPackArchive(path, installed);
        if (refusal == ArchiveRefusal::None) {
            MoveAside(path, name, "installed/");
            RaiseMessage(LanguageText[LineInstalledTitle], name, installed.substr(6));
        } else {
            MoveAside(path, name, "refused/");
            RaiseMessage(LanguageText[LineRefusedTitle], name, LanguageText[RefusalLine(refusal)]);
        }
    }
}
