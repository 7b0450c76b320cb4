// The two implementations behind platform/audio.h. Only platform/audio.cpp picks between them; the tests of the
// sound files call the SDL one directly to load every file on a silent driver.
#pragma once

#include "platform/audio.h"

// SDL2_mixer (platform/audio_sdl.cpp).
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

// Recorder for tests and tools (platform/audio_headless.cpp; controls in platform/headless_audio.h).
bool HeadlessAudioOpenDevice(int frequency, int outputChannels, int chunkSamples);
void HeadlessAudioCloseDevice();
int HeadlessAudioAllocateChannels(int count);
void HeadlessAudioReserveChannels(int count);
AudioChunk HeadlessAudioLoadChunk(const std::string& path);
void HeadlessAudioFreeChunk(AudioChunk chunk);
int HeadlessAudioPlayChunk(int channel, AudioChunk chunk, int timeLimitMs);
void HeadlessAudioSetChannelVolume(int channel, int volume);
AudioMusic HeadlessAudioLoadMusic(const std::string& path);
bool HeadlessAudioPlayMusic(AudioMusic music, int loops);
void HeadlessAudioHaltMusic();
void HeadlessAudioFreeMusic(AudioMusic music);
void HeadlessAudioSetMusicVolume(int volume);
void HeadlessAudioSetMusicFinished(void (*hook)());
