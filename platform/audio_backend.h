// The two implementations behind platform/audio.h, each as a table of procedures. PlatformInit chooses the table
// that goes with its back end and platform/audio.cpp calls through it; the tests of the sound files call the SDL
// procedures directly to load every file on a silent driver.
#pragma once

#include "platform/types.h"

struct AudioBackendTable {
    bool (*OpenDevice)(int frequency, int outputChannels, int chunkSamples);
    void (*CloseDevice)();
    int (*AllocateChannels)(int count);
    void (*ReserveChannels)(int count);
    AudioChunk (*LoadChunk)(const std::string& path);
    void (*FreeChunk)(AudioChunk chunk);
    int (*PlayChunk)(int channel, AudioChunk chunk, int timeLimitMs);
    void (*SetChannelVolume)(int channel, int volume);
    AudioMusic (*LoadMusic)(const std::string& path);
    bool (*PlayMusic)(AudioMusic music, int loops);
    void (*HaltMusic)();
    void (*FreeMusic)(AudioMusic music);
    void (*SetMusicVolume)(int volume);
    void (*SetMusicFinished)(void (*hook)());
};

// SDL2_mixer (platform/audio_sdl.cpp).
const AudioBackendTable& SdlAudioBackend();
// Recorder for tests and tools (platform/audio_headless.cpp; controls in platform/headless_audio.h).
const AudioBackendTable& HeadlessAudioBackend();

// Every later audio call goes to `backend`; called by PlatformInit. Until then the recorder answers, as the
// platform itself is headless until PlatformInit.
void AudioUseBackend(const AudioBackendTable& backend);

// The SDL2_mixer procedures behind SdlAudioBackend().
bool SdlAudioOpenDevice(int frequency, int outputChannels, int chunkSamples);
void SdlAudioCloseDevice();
int SdlAudioAllocateChannels(int count);
void SdlAudioReserveChannels(int count);
AudioChunk SdlAudioLoadChunk(const std::string& path);
void SdlAudioFreeChunk(AudioChunk chunk);
int SdlAudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs);
void SdlAudioSetChannelVolume(int channel, int volume);
AudioMusic SdlAudioLoadMusic(const std::string& path);
bool SdlAudioPlayMusic(AudioMusic music, int loops);
void SdlAudioHaltMusic();
void SdlAudioFreeMusic(AudioMusic music);
void SdlAudioSetMusicVolume(int volume);
void SdlAudioSetMusicFinished(void (*hook)());
// Chooses the audio driver by name before the device opens ("dummy" mixes into nothing: machines without sound
// hardware can still load and play every file).
void SdlAudioUseDriver(const std::string& name);
