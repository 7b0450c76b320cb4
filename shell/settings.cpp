#include "shell/settings.h"

#include "platform/platform.h"
#include "base/binio.h"
#include "base/files.h"
#include "base/language.h"
#include "shell/packs.h"

std::string SettingsPath() { return DataFolder() + "settings.dat"; }

namespace {
struct SettingsFile {                   // for the run
    // The file is there but would not read (a failing disk, a network folder gone away): the run goes on with the
    // defaults, as for a missing file, but never writes them over the player's choices.
    bool unreadable = false;
} settingsFile;

// Reads one field when the file still has it; a damaged (short) file keeps the defaults of what is missing.
void ReadField(ByteReader& r, std::int32_t& field) {
    std::int32_t v = ReadI32(r);
    if (r.ok) field = v;
}
}  // namespace

void LoadSettings() {
    SetDefaultSettings();
    std::string bytes;
    settingsFile.unreadable = false;
    if (!PlatformReadFile(SettingsPath(), bytes)) {
        FirstRun = -1;
        settingsFile.unreadable = PlatformFileExists(SettingsPath());
    } else {
        FirstRun = 0;
        ByteReader r = MakeReader(bytes);
        ReadField(r, PlayerIndex);
        std::int32_t n = ReadI32(r);
        // A name length out of range means the rest cannot be trusted: keep the defaults from here on.
        if (r.ok && n >= 1 && n <= 255 && BytesLeft(r) >= static_cast<size_t>(n)) {
            // The name becomes a path: one that would reach out of the program folder keeps the default.
            const std::string name = ReadBytes(r, static_cast<size_t>(n));
            if (SafeName(name)) LanguageFile = name;
            ReadField(r, Fullscreen);
            ReadField(r, ScreenWidth);
            ReadField(r, ScreenHeight);
            ReadField(r, SoundOn);
            ReadField(r, MusicOn);
            ReadField(r, QuotesOn);
            ReadField(r, BonusPackUnlocked);
        }
    }
    ActiveWidth = ScreenWidth;
    ActiveHeight = ScreenHeight;
    ActiveFullscreen = Fullscreen;
}

bool SaveSettings() {
    if (settingsFile.unreadable) return false;
    std::string out;
    PutI32(out, PlayerIndex);
    PutString(out, LanguageFile);
    PutI32(out, Fullscreen);
    PutI32(out, ScreenWidth);
    PutI32(out, ScreenHeight);
    PutI32(out, SoundOn);
    PutI32(out, MusicOn);
    PutI32(out, QuotesOn);
    PutI32(out, BonusPackUnlocked);
    // Written beside the old file and renamed over it, so a crash never leaves a half-written file.
    PlatformTakeFileError();
    if (PlatformWriteFileAtomic(SettingsPath(), out)) return true;
    RaiseFileFailure(LineSettingsNotSaved, PlatformTakeFileError(), LineCheckFolder);
    return false;
}
