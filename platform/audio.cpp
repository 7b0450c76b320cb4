// Hands every audio call to the back end that PlatformInit chose for the run.
#include "platform/audio.h"

#include "platform/audio_backend.h"
#include "platform/platform.h"

bool AudioOpenDevice(int frequency, int outputChannels, int chunkSamples) {
    return PlatformIsHeadless() ? HeadlessAudioOpenDevice(frequency, outputChannels, chunkSamples)
                                : SdlAudioOpenDevice(frequency, outputChannels, chunkSamples);
}

void AudioCloseDevice() {
    PlatformIsHeadless() ? HeadlessAudioCloseDevice() : SdlAudioCloseDevice();
}

int AudioAllocateChannels(int count) {
    return PlatformIsHeadless() ? HeadlessAudioAllocateChannels(count) : SdlAudioAllocateChannels(count);
}

void AudioReserveChannels(int count) {
    PlatformIsHeadless() ? HeadlessAudioReserveChannels(count) : SdlAudioReserveChannels(count);
}

AudioChunk AudioLoadChunk(const std::string& path) {
    return PlatformIsHeadless() ? HeadlessAudioLoadChunk(path) : SdlAudioLoadChunk(path);
}

void AudioFreeChunk(AudioChunk chunk) {
    PlatformIsHeadless() ? HeadlessAudioFreeChunk(chunk) : SdlAudioFreeChunk(chunk);
}

int AudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs) {
    return PlatformIsHeadless() ? HeadlessAudioPlayChunk(channel, chunk, timeLimitMs)
                                : SdlAudioPlayChunk(channel, chunk, timeLimitMs);
}

void AudioSetChannelVolume(int channel, int volume) {
    PlatformIsHeadless() ? HeadlessAudioSetChannelVolume(channel, volume) : SdlAudioSetChannelVolume(channel, volume);
}

AudioMusic AudioLoadMusic(const std::string& path) {
    return PlatformIsHeadless() ? HeadlessAudioLoadMusic(path) : SdlAudioLoadMusic(path);
}

bool AudioPlayMusic(AudioMusic music, int loops) {
    return PlatformIsHeadless() ? HeadlessAudioPlayMusic(music, loops) : SdlAudioPlayMusic(music, loops);
}

void AudioHaltMusic() {
    PlatformIsHeadless() ? HeadlessAudioHaltMusic() : SdlAudioHaltMusic();
}

void AudioFreeMusic(AudioMusic music) {
    PlatformIsHeadless() ? HeadlessAudioFreeMusic(music) : SdlAudioFreeMusic(music);
}

void AudioSetMusicVolume(int volume) {
    PlatformIsHeadless() ? HeadlessAudioSetMusicVolume(volume) : SdlAudioSetMusicVolume(volume);
}

void AudioSetMusicFinished(void (*hook)()) {
    PlatformIsHeadless() ? HeadlessAudioSetMusicFinished(hook) : SdlAudioSetMusicFinished(hook);
}
