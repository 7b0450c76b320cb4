// The audio device without sound: every call is recorded, and channels and the music stream are modelled closely
// enough (busy channels, the finished notification from another thread) that the game's rules can be tested.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/audio_backend.h"
#include "platform/headless_audio.h"
#include "platform/platform.h"

namespace {

struct HeadlessChannel {
    AudioChunk chunk = 0;
    double until = 0;   // clock reading at which the chunk has finished
};

// The modelled device; from open to close.
struct HeadlessDevice {
    bool open = false;
    int reserved = 0;
    std::vector<HeadlessChannel> channels;
    std::vector<std::string> chunks;   // path of handle n at [n - 1]; "" once freed
    std::vector<std::string> tracks;
    AudioMusic playing = 0;
    int playingLoops = 0;
};

// Set by tests; kept across opens until HeadlessAudioReset.
struct HeadlessScript {
    bool deviceAvailable = true;
    double chunkSeconds = 1.0;
    void (*musicFinished)() = nullptr;
    std::vector<AudioEvent> events;
};

HeadlessDevice device;
HeadlessScript script;

void Record(AudioEventKind kind, const std::string& file = "", int channel = -1, int volume = -1) {
    script.events.push_back(AudioEvent{kind, file, channel, volume, PlatformClock(), std::this_thread::get_id()});
}

const std::string& ChunkPath(AudioChunk chunk) {
    static const std::string none;
    if (chunk < 1 || chunk > static_cast<AudioChunk>(device.chunks.size())) return none;
    return device.chunks[static_cast<size_t>(chunk - 1)];
}

const std::string& TrackPath(AudioMusic music) {
    static const std::string none;
    if (music < 1 || music > static_cast<AudioMusic>(device.tracks.size())) return none;
    return device.tracks[static_cast<size_t>(music - 1)];
}

bool ChannelBusy(const HeadlessChannel& channel) {
    return channel.chunk != 0 && PlatformClock() < channel.until;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool HeadlessAudioOpenDevice(int frequency, int outputChannels, int chunkSamples) {
    if (device.open) return true;
    if (!script.deviceAvailable) {
        Record(AudioEventKind::OpenFailed);
        return false;
    }
    device = HeadlessDevice{};
    device.open = true;
    device.channels.resize(8);   // the mixer's default until channels are allocated
    Record(AudioEventKind::Open);
    return true;
}

void HeadlessAudioCloseDevice() {
    if (!device.open) return;
    Record(AudioEventKind::Close);
    device = HeadlessDevice{};
}

int HeadlessAudioAllocateChannels(int count) {
    if (!device.open) return 0;
    device.channels.resize(static_cast<size_t>(std::max(count, 0)));
    Record(AudioEventKind::AllocateChannels, "", count);
    return static_cast<int>(device.channels.size());
}

void HeadlessAudioReserveChannels(int count) {
    if (!device.open) return;
    device.reserved = std::clamp(count, 0, static_cast<int>(device.channels.size()));
    Record(AudioEventKind::ReserveChannels, "", count);
}

AudioChunk HeadlessAudioLoadChunk(const std::string& path) {
    if (!device.open || !IsFile(path)) return 0;
    device.chunks.push_back(path);
    Record(AudioEventKind::LoadChunk, path);
    return static_cast<AudioChunk>(device.chunks.size());
}

void HeadlessAudioFreeChunk(AudioChunk chunk) {
    if (ChunkPath(chunk).empty()) return;
    for (HeadlessChannel& channel : device.channels)
        if (channel.chunk == chunk) channel = HeadlessChannel{};
    device.chunks[static_cast<size_t>(chunk - 1)].clear();
}

int HeadlessAudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs) {
    const std::string& path = ChunkPath(chunk);
    if (path.empty()) return -1;
    const int count = static_cast<int>(device.channels.size());
    if (channel == AudioAnyChannel) {
        for (int i = device.reserved; i < count && channel == AudioAnyChannel; ++i)
            if (!ChannelBusy(device.channels[static_cast<size_t>(i)])) channel = i;
        if (channel == AudioAnyChannel) return -1;
    }
    if (channel < 0 || channel >= count) return -1;
    HeadlessChannel& target = device.channels[static_cast<size_t>(channel)];
    if (ChannelBusy(target)) Record(AudioEventKind::CutChunk, ChunkPath(target.chunk), channel);
    double seconds = script.chunkSeconds;
    if (timeLimitMs >= 0) seconds = std::min(seconds, timeLimitMs / 1000.0);
    target = HeadlessChannel{chunk, PlatformClock() + seconds};
    Record(AudioEventKind::PlayChunk, path, channel);
    return channel;
}

void HeadlessAudioSetChannelVolume(int channel, int volume) {
    if (!device.open || channel < 0 || channel >= static_cast<int>(device.channels.size())) return;
    Record(AudioEventKind::ChannelVolume, ChunkPath(device.channels[static_cast<size_t>(channel)].chunk), channel,
           std::clamp(volume, 0, AudioMaxVolume));
}

AudioMusic HeadlessAudioLoadMusic(const std::string& path) {
    if (!device.open || !IsFile(path)) return 0;
    device.tracks.push_back(path);
    Record(AudioEventKind::LoadMusic, path);
    return static_cast<AudioMusic>(device.tracks.size());
}

bool HeadlessAudioPlayMusic(AudioMusic music, int loops) {
    const std::string& path = TrackPath(music);
    if (path.empty()) return false;
    // Starting a track over another replaces it without a finished notification, as the mixer does.
    device.playing = music;
    device.playingLoops = loops;
    Record(AudioEventKind::PlayMusic, path, loops);
    return true;
}

void HeadlessAudioHaltMusic() {
    if (!device.open || device.playing == 0) return;
    Record(AudioEventKind::HaltMusic, TrackPath(device.playing));
    device.playing = 0;
    // The mixer raises the notification for a halted track too, on the halting thread.
    if (script.musicFinished) script.musicFinished();
}

void HeadlessAudioFreeMusic(AudioMusic music) {
    const std::string& path = TrackPath(music);
    if (path.empty()) return;
    Record(AudioEventKind::FreeMusic, path);
    if (device.playing == music) device.playing = 0;
    device.tracks[static_cast<size_t>(music - 1)].clear();
}

void HeadlessAudioSetMusicVolume(int volume) {
    if (!device.open) return;
    Record(AudioEventKind::MusicVolume, "", -1, std::clamp(volume, 0, AudioMaxVolume));
}

void HeadlessAudioSetMusicFinished(void (*hook)()) {
    script.musicFinished = hook;
}

}  // namespace

const AudioBackendTable& HeadlessAudioBackend() {
    static constexpr AudioBackendTable table{
        .OpenDevice = HeadlessAudioOpenDevice,
        .CloseDevice = HeadlessAudioCloseDevice,
        .AllocateChannels = HeadlessAudioAllocateChannels,
        .ReserveChannels = HeadlessAudioReserveChannels,
        .LoadChunk = HeadlessAudioLoadChunk,
        .FreeChunk = HeadlessAudioFreeChunk,
        .PlayChunk = HeadlessAudioPlayChunk,
        .SetChannelVolume = HeadlessAudioSetChannelVolume,
        .LoadMusic = HeadlessAudioLoadMusic,
        .PlayMusic = HeadlessAudioPlayMusic,
        .HaltMusic = HeadlessAudioHaltMusic,
        .FreeMusic = HeadlessAudioFreeMusic,
        .SetMusicVolume = HeadlessAudioSetMusicVolume,
        .SetMusicFinished = HeadlessAudioSetMusicFinished,
    };
    return table;
}

// ---- Controls for tests -----------------------------------------------------------------------------------

const std::vector<AudioEvent>& HeadlessAudioEvents() { return script.events; }

void HeadlessAudioClearEvents() { script.events.clear(); }

void HeadlessAudioReset() {
    device = HeadlessDevice{};
    script = HeadlessScript{};
}

void HeadlessAudioSetDeviceAvailable(bool available) { script.deviceAvailable = available; }

void HeadlessAudioSetChunkSeconds(double seconds) { script.chunkSeconds = seconds; }

void HeadlessAudioFinishMusic() {
    if (!device.open || device.playing == 0 || device.playingLoops != 0) return;
    Record(AudioEventKind::MusicRanOut, TrackPath(device.playing));
    device.playing = 0;
    if (void (*hook)() = script.musicFinished) {
        std::thread mixerThread(hook);
        mixerThread.join();
    }
}

std::string HeadlessAudioChannelFile(int channel) {
    if (channel < 0 || channel >= static_cast<int>(device.channels.size())) return "";
    const HeadlessChannel& state = device.channels[static_cast<size_t>(channel)];
    return ChannelBusy(state) ? ChunkPath(state.chunk) : "";
}

std::string HeadlessAudioMusicFile() { return TrackPath(device.playing); }
