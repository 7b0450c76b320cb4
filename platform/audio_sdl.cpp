// The audio device on SDL2_mixer.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/audio_backend.h"

namespace {

// Open device and everything loaded on it; from SdlAudioOpenDevice to SdlAudioCloseDevice.
struct SdlAudioState {
    bool open = false;
    bool startedAudioLibrary = false;   // we started SDL's audio, so closing stops it again
    std::vector<Mix_Chunk*> chunks;     // handle n is chunks[n - 1]; freed slots hold nullptr
    std::vector<Mix_Music*> tracks;     // the same for music
};
SdlAudioState sdlAudio;

// Written by the program thread, read by the mixer thread when a track ends.
std::atomic<void (*)()> musicFinishedHook{nullptr};

void SDLCALL OnMixerMusicFinished() {
    if (void (*hook)() = musicFinishedHook.load()) hook();
}

Mix_Chunk* ChunkOf(AudioChunk chunk) {
    if (chunk < 1 || chunk > static_cast<AudioChunk>(sdlAudio.chunks.size())) return nullptr;
    return sdlAudio.chunks[static_cast<size_t>(chunk - 1)];
}

Mix_Music* MusicOf(AudioMusic music) {
    if (music < 1 || music > static_cast<AudioMusic>(sdlAudio.tracks.size())) return nullptr;
    return sdlAudio.tracks[static_cast<size_t>(music - 1)];
}

int ClampVolume(int volume) { return std::clamp(volume, 0, AudioMaxVolume); }

}  // namespace

bool SdlAudioOpenDevice(int frequency, int outputChannels, int chunkSamples) {
    if (sdlAudio.open) return true;
    sdlAudio.startedAudioLibrary = false;
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        sdlAudio.startedAudioLibrary = true;
    }
    // Ogg Vorbis is the only format the game ships; a decoder that fails to start shows up as files that do not load.
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(frequency, AUDIO_S16SYS, outputChannels, chunkSamples) != 0) {
        Mix_Quit();
        if (sdlAudio.startedAudioLibrary) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudio.startedAudioLibrary = false;
        return false;
    }
    Mix_HookMusicFinished(OnMixerMusicFinished);
    sdlAudio.open = true;
    return true;
}

void SdlAudioCloseDevice() {
    if (!sdlAudio.open) return;
    Mix_HookMusicFinished(nullptr);
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    for (Mix_Music* music : sdlAudio.tracks)
        if (music) Mix_FreeMusic(music);
    for (Mix_Chunk* chunk : sdlAudio.chunks)
        if (chunk) Mix_FreeChunk(chunk);
    sdlAudio.tracks.clear();
    sdlAudio.chunks.clear();
    Mix_CloseAudio();
    Mix_Quit();
    if (sdlAudio.startedAudioLibrary) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdlAudio = SdlAudioState{};
}

int SdlAudioAllocateChannels(int count) {
    if (!sdlAudio.open) return 0;
    return Mix_AllocateChannels(count);
}

void SdlAudioReserveChannels(int count) {
    if (sdlAudio.open) Mix_ReserveChannels(count);
}

AudioChunk SdlAudioLoadChunk(const std::string& path) {
    if (!sdlAudio.open) return 0;
    SDL_RWops* stream = SDL_RWFromFile(path.c_str(), "rb");
    if (!stream) return 0;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);   // closes the stream in every case
    if (!chunk) return 0;
    sdlAudio.chunks.push_back(chunk);
    return static_cast<AudioChunk>(sdlAudio.chunks.size());
}

void SdlAudioFreeChunk(AudioChunk chunk) {
    Mix_Chunk* loaded = ChunkOf(chunk);
    if (!loaded) return;
    Mix_FreeChunk(loaded);   // halts any channel still playing it
    sdlAudio.chunks[static_cast<size_t>(chunk - 1)] = nullptr;
}

int SdlAudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs) {
    Mix_Chunk* loaded = ChunkOf(chunk);
    if (!loaded) return -1;
    return Mix_PlayChannelTimed(channel, loaded, 0, timeLimitMs < 0 ? -1 : timeLimitMs);
}

void SdlAudioSetChannelVolume(int channel, int volume) {
    if (sdlAudio.open && channel >= 0) Mix_Volume(channel, ClampVolume(volume));
}

AudioMusic SdlAudioLoadMusic(const std::string& path) {
    if (!sdlAudio.open) return 0;
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (!music) return 0;
    sdlAudio.tracks.push_back(music);
    return static_cast<AudioMusic>(sdlAudio.tracks.size());
}

bool SdlAudioPlayMusic(AudioMusic music, int loops) {
    Mix_Music* loaded = MusicOf(music);
    if (!loaded) return false;
    return Mix_PlayMusic(loaded, loops) == 0;
}

void SdlAudioHaltMusic() {
    if (sdlAudio.open) Mix_HaltMusic();
}

void SdlAudioFreeMusic(AudioMusic music) {
    Mix_Music* loaded = MusicOf(music);
    if (!loaded) return;
    Mix_FreeMusic(loaded);
    sdlAudio.tracks[static_cast<size_t>(music - 1)] = nullptr;
}

void SdlAudioSetMusicVolume(int volume) {
    if (sdlAudio.open) Mix_VolumeMusic(ClampVolume(volume));
}

void SdlAudioSetMusicFinished(void (*hook)()) {
    musicFinishedHook.store(hook);
}

void SdlAudioUseDriver(const std::string& name) {
    SDL_setenv("SDL_AUDIODRIVER", name.c_str(), 1);
}

const AudioBackendTable& SdlAudioBackend() {
    static constexpr AudioBackendTable table{
        .OpenDevice = SdlAudioOpenDevice,
        .CloseDevice = SdlAudioCloseDevice,
        .AllocateChannels = SdlAudioAllocateChannels,
        .ReserveChannels = SdlAudioReserveChannels,
        .LoadChunk = SdlAudioLoadChunk,
        .FreeChunk = SdlAudioFreeChunk,
        .PlayChunk = SdlAudioPlayChunk,
        .SetChannelVolume = SdlAudioSetChannelVolume,
        .LoadMusic = SdlAudioLoadMusic,
        .PlayMusic = SdlAudioPlayMusic,
        .HaltMusic = SdlAudioHaltMusic,
        .FreeMusic = SdlAudioFreeMusic,
        .SetMusicVolume = SdlAudioSetMusicVolume,
        .SetMusicFinished = SdlAudioSetMusicFinished,
    };
    return table;
}
