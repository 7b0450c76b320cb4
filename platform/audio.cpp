// Hands every audio call to the back end that PlatformInit chose for the run.
#include "platform/audio.h"

#include "platform/audio_backend.h"

namespace {
const AudioBackendTable* backend = &HeadlessAudioBackend();
}  // namespace

void AudioUseBackend(const AudioBackendTable& table) { backend = &table; }

bool AudioOpenDevice(int frequency, int outputChannels, int chunkSamples) {
    return backend->OpenDevice(frequency, outputChannels, chunkSamples);
}
void AudioCloseDevice() { backend->CloseDevice(); }
int AudioAllocateChannels(int count) { return backend->AllocateChannels(count); }
void AudioReserveChannels(int count) { backend->ReserveChannels(count); }

AudioChunk AudioLoadChunk(const std::string& path) { return backend->LoadChunk(path); }
void AudioFreeChunk(AudioChunk chunk) { backend->FreeChunk(chunk); }
int AudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs) {
    return backend->PlayChunk(channel, chunk, timeLimitMs);
}
void AudioSetChannelVolume(int channel, int volume) { backend->SetChannelVolume(channel, volume); }

AudioMusic AudioLoadMusic(const std::string& path) { return backend->LoadMusic(path); }
bool AudioPlayMusic(AudioMusic music, int loops) { return backend->PlayMusic(music, loops); }
void AudioHaltMusic() { backend->HaltMusic(); }
void AudioFreeMusic(AudioMusic music) { backend->FreeMusic(music); }
void AudioSetMusicVolume(int volume) { backend->SetMusicVolume(volume); }
void AudioSetMusicFinished(void (*hook)()) { backend->SetMusicFinished(hook); }
