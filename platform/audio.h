// The audio device: short sounds ("chunks") played once on numbered mixing channels, and one music stream.
//
// Both back ends implement it: SDL2_mixer for the game, and a headless recorder for tests and tools
// (platform/headless_audio.h). Chunks and tracks are numbered handles; 0 means none, and every procedure accepts
// 0 and does nothing with it. Channels are numbered from 0.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

// Opens the output with signed 16-bit samples in the machine's byte order. Starts the audio library first when
// nothing else has. False when there is no usable device; nothing is open then.
bool AudioOpenDevice(int frequency, int outputChannels, int chunkSamples);
// Frees every chunk and track, closes the device and shuts the audio library down if AudioOpenDevice started it.
void AudioCloseDevice();

// Sets the number of mixing channels; returns the number now allocated.
int AudioAllocateChannels(int count);
// Keeps channels 0 .. count - 1 out of the choice of AudioAnyChannel: they play only when named.
void AudioReserveChannels(int count);

// Loads a whole sound file into memory; 0 when it is missing or unreadable or the device is not open.
AudioChunk AudioLoadChunk(const std::string& path);
void AudioFreeChunk(AudioChunk chunk);
// Plays `chunk` once on `channel` (replacing whatever plays there) or, with AudioAnyChannel, on the first free
// channel; stops it after timeLimitMs milliseconds unless that is AudioNoTimeLimit. Returns the channel, or -1
// when the chunk is none or no channel is free.
int AudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs);
// 0 .. AudioMaxVolume; larger values are taken as AudioMaxVolume.
void AudioSetChannelVolume(int channel, int volume);

// Opens a music file for streaming; 0 when it is missing or unreadable or the device is not open.
AudioMusic AudioLoadMusic(const std::string& path);
// Starts `music` from its beginning, replacing any playing track; loops = 0 plays it once, -1 endlessly.
bool AudioPlayMusic(AudioMusic music, int loops);
// Stops the music. Like a track that ends by itself, this raises the finished notification if a track played.
void AudioHaltMusic();
void AudioFreeMusic(AudioMusic music);
void AudioSetMusicVolume(int volume);
// `hook` is called whenever a track stops, on the mixer's own thread when the track ran out. It must not call
// back into any audio procedure; it should only leave a note for the program thread. nullptr removes it.
void AudioSetMusicFinished(void (*hook)());
