// Sound effects, spoken quotes and music on the platform's audio device.
#include "sound/sound.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "play/events.h"
#include "platform/platform.h"
#include "base/files.h"
#include "base/settings.h"

std::int32_t audioOpen = 0;
List<std::string> MusicList;
std::int32_t musicIndex = 1;
double bumpVelocityX = 0;
double bumpVelocityY = 0;
// Far in the past, so that the first bump of the run is heard whatever the clock reads.
double lastBumpTime = -1e9;

namespace {

// Output format: CD rate, 16-bit stereo, and a chunk of 1024 samples (23 ms) so effects start without delay.
constexpr int OutputRate = 44100;
constexpr int OutputChannels = 2;
constexpr int OutputChunkSamples = 1024;

// Channel 0 carries quotes and nothing else: it is kept out of the free-channel choice, so an effect never lands
// there to be cut off by the next quote (a lost ball plays two effects and a quote at once). The effects keep
// 32 channels of their own.
constexpr int QuoteChannel = 0;
constexpr int EffectChannels = 32;

constexpr int MusicVolume = 64;   // half of full: the music sits below effects and quotes
constexpr double BumpInterval = 0.1;
// Clock readings are sums of frame times; a bump exactly 0.1 s after the last must not fall short by rounding.
constexpr double ClockSlack = 1e-9;
constexpr double HorizontalBumpSpeed = 10;   // slower knocks against a side are silent
constexpr double VerticalBumpSpeed = 30;     // gravity alone brings a resting ball to the floor below this

// The loaded sound table and track; from InitAudio to CloseAudio.
struct AudioState {
    std::array<AudioChunk, SoundCount> sounds{};   // 0 where the file did not load (or a quote not loaded yet)
    std::array<bool, SoundCount> tried{};          // the file was asked for: a quote that did not load stays silent
    std::int32_t quotePlaying = -1;                 // the quote last started on the quote channel, or -1
    std::int32_t nextWaiting = 0;                   // DecodeWaitingSound looks from this sound on
    AudioMusic currentMusic = 0;
};
AudioState audio;

// The spoken quotes are most of the sounds' memory and of the time opening the audio takes: each is decoded when it
// is first played, and the quote channel keeps only the one it plays (the next quote there cuts it off anyway).
bool IsQuote(std::int32_t id) { return (id >= SoundFirstQuote && id <= SoundLastQuote) || id == SoundUnlock; }

AudioChunk SoundChunk(std::int32_t id) {
    const size_t at = static_cast<size_t>(id);
    if (!audio.tried[at]) {
        audio.tried[at] = true;
        audio.sounds[at] = AudioLoadChunk(ProgramFolder() + SoundFileName(id, NostalgicMode != 0));
    }
    return audio.sounds[at];
}

// Gives back a quote that the quote channel no longer plays.
void ForgetQuote(std::int32_t id) {
    if (id < 0 || !IsQuote(id)) return;
    const size_t at = static_cast<size_t>(id);
    AudioFreeChunk(audio.sounds[at]);
    audio.sounds[at] = 0;
    audio.tried[at] = false;
}

// Raised by the mixer's thread when a track stops; read and cleared by the program thread.
std::atomic<bool> musicFinished{false};

void OnMusicFinished() { musicFinished.store(true); }

std::string CurrentTrack() {
    if (musicIndex < 1 || musicIndex > MusicList.Count()) return "";
    return MusicList[musicIndex];
}

std::int32_t Toggled(std::int32_t flag) {
    // Any non-zero value counts as on, so a stray value from an old settings file still switches off.
    return flag != 0 ? 0 : -1;
}

}  // namespace

std::string SoundFileName(std::int32_t id, bool nostalgic) {
    static const char* const effects[] = {"bump", "flag", "bomb", "explode", "win", "lose", "orlo"};
    if (id == SoundBump || id == SoundJingle) return std::string(effects[id]) + ".ogg";
    if (id >= SoundFlag && id <= SoundLose) return (nostalgic ? "1994" : "") + std::string(effects[id]) + ".ogg";
    if (id >= SoundFirstQuote && id <= SoundLastQuote) return "quote" + ZeroPad(id - SoundFirstQuote + 1, 2) + ".ogg";
    if (id == SoundLock) return "lock.ogg";
    if (id == SoundCountdown) return "countdown.ogg";
    if (id == SoundUnlock) return "quote81.ogg";
    return "";
}

namespace {

// The tracks of the named "audio/" folders (a name in more than one is one track), sorted so that a level names the
// same track on every machine, whatever order the folders list in. No tracks give the single entry "audio/".
List<std::string> SortedTracks(std::initializer_list<std::string> folders) {
    std::vector<std::string> names;
    for (const std::string& folder : folders)
        for (const std::string& name : PlatformListFolder(folder + "audio/", "*.ogg", ListKind::Files))
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = LowerCase(a), lb = LowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    List<std::string> list;
    for (const std::string& name : names) list.Add("audio/" + name);
    if (list.Empty()) list.Add("audio/");
    return list;
}

}  // namespace

List<std::string> ListMusic(const std::string& folder) { return SortedTracks({folder}); }

List<std::string> ListGameMusic() {
    if (!DataFolderIsSeparate()) return SortedTracks({ProgramFolder()});
    return SortedTracks({ProgramFolder(), DataFolder()});
}

std::string MusicFilePath(const std::string& track) {
    if (DataFolderIsSeparate() && PlatformFileExists(DataFolder() + track)) return DataFolder() + track;
    return ProgramFolder() + track;
}

void InitAudio() {
    if (audioOpen) CloseAudio();
    audio = AudioState{};
    musicFinished.store(false);
    // The list is built even without a device: levels name their track by it, and a level edited in a silent
    // run must keep its music.
    MusicList = ListGameMusic();
    musicIndex = 1;
    lastBumpTime = -1e9;

    if (!AudioOpenDevice(OutputRate, OutputChannels, OutputChunkSamples)) {
        // Overrides the loaded settings, so a settings file saved in this run has them off as well.
        audioOpen = 0;
        MusicOn = 0;
        SoundOn = 0;
        QuotesOn = 0;
        return;
    }
    audioOpen = -1;
    AudioSetMusicVolume(MusicVolume);
    AudioSetMusicFinished(OnMusicFinished);

    // The effects are decoded once the menu is up, one a frame (DecodeWaitingSound), or when first played: the
    // jingle when the logo plays it.
    AudioAllocateChannels(1 + EffectChannels);
    AudioReserveChannels(QuoteChannel + 1);
}

bool DecodeWaitingSound() {
    if (!audioOpen) return false;
    for (; audio.nextWaiting < SoundCount; ++audio.nextWaiting) {
        const std::int32_t id = audio.nextWaiting;
        if (IsQuote(id) || audio.tried[static_cast<size_t>(id)]) continue;
        SoundChunk(id);
        return true;
    }
    return false;
}

void CloseAudio() {
    if (!audioOpen) return;
    StopMusic();
    AudioSetMusicFinished(nullptr);
    for (AudioChunk& chunk : audio.sounds) {
        AudioFreeChunk(chunk);
        chunk = 0;
    }
    AudioCloseDevice();
    audioOpen = 0;
    musicFinished.store(false);
}

void PlaySound(std::int32_t id, std::int32_t onQuoteChannel) {
    if (!audioOpen || id < 0 || id >= SoundCount) return;
    const AudioChunk chunk = SoundChunk(id);
    const int channel = AudioPlayChunk(onQuoteChannel ? QuoteChannel : AudioAnyChannel, chunk, AudioNoTimeLimit);
    if (channel >= 0) AudioSetChannelVolume(channel, AudioMaxVolume);
    if (channel != QuoteChannel || !chunk) return;
    // The quote cut off (or finished) there is not needed any more, unless it is the one just started.
    if (audio.quotePlaying != id) ForgetQuote(audio.quotePlaying);
    audio.quotePlaying = id;
}

void PlayBump(std::int32_t horizontal) {
    const double now = PlatformClock();
    if (now - lastBumpTime < BumpInterval - ClockSlack || !SoundOn || !audioOpen) return;
    const double speed = std::fabs(horizontal ? bumpVelocityX : bumpVelocityY);
    if (speed < (horizontal ? HorizontalBumpSpeed : VerticalBumpSpeed)) return;
    // From silent at the threshold of a side knock to full at five times that speed.
    const int volume = std::clamp(RoundEven(speed * 3.2 - 32), 0, AudioMaxVolume);
    lastBumpTime = now;
    const int channel = AudioPlayChunk(AudioAnyChannel, SoundChunk(SoundBump), AudioNoTimeLimit);
    if (channel >= 0) AudioSetChannelVolume(channel, volume);
}

void PlayQueuedSounds() {
    for (const PlayEvent& event : playEvents) {
        if (event.kind == PlayEventKind::Sound) {
            PlaySound(event.sound, event.quoteChannel);
        } else if (event.kind == PlayEventKind::Bump) {
            bumpVelocityX = event.x;
            bumpVelocityY = event.y;
            PlayBump(event.horizontal);
        }
    }
}

void PlayMusic(const std::string& path) {
    if (!audioOpen) return;
    if (audio.currentMusic) StopMusic();
    if (path.empty()) return;
    audio.currentMusic = AudioLoadMusic(MusicFilePath(path));
    if (!audio.currentMusic) return;
    AudioSetMusicVolume(MusicVolume);
    // Played once; UpdateMusic starts it again when it ends (the mixer forbids restarting from its own thread).
    AudioPlayMusic(audio.currentMusic, 0);
}

void StopMusic() {
    if (!audio.currentMusic) return;
    AudioHaltMusic();
    AudioFreeMusic(audio.currentMusic);
    audio.currentMusic = 0;
    // Halting raises the finished notification too; a track stopped on purpose must not come back next frame.
    musicFinished.store(false);
}

void UpdateMusic() {
    if (!musicFinished.exchange(false)) return;
    if (MusicOn) PlayMusic(CurrentTrack());
}

void PreviousTrack() {
    musicIndex = std::clamp(musicIndex, 1, std::max(MusicList.Count(), 1));
    if (musicIndex > 1) --musicIndex;
    if (MusicOn) PlayMusic(CurrentTrack());
}

void NextTrack() {
    musicIndex = std::clamp(musicIndex, 1, std::max(MusicList.Count(), 1));
    if (musicIndex < MusicList.Count()) ++musicIndex;
    if (MusicOn) PlayMusic(CurrentTrack());
}

void ToggleMusic() {
    MusicOn = Toggled(MusicOn);
    if (MusicOn)
        PlayMusic(CurrentTrack());
    else
        StopMusic();
}

void ToggleSound() { SoundOn = Toggled(SoundOn); }

void ToggleQuotes() { QuotesOn = Toggled(QuotesOn); }
