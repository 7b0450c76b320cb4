// The headless audio back end records every call instead of playing it. Tests read the record and script the
// device: a missing device, how long a sound lasts, a track that runs out.
#pragma once

#include <string>
#include <thread>
#include <vector>

enum class AudioEventKind {
    Open,              // the device opened
    OpenFailed,        // no device (see HeadlessAudioSetDeviceAvailable)
    Close,
    AllocateChannels,  // count in `channel`
    ReserveChannels,   // count in `channel`
    LoadChunk,         // `file` loaded (missing files are not recorded)
    PlayChunk,         // `file` starts on `channel`
    CutChunk,          // `file`, still playing on `channel`, was cut off by a new sound there
    ChannelVolume,     // `volume` (as the mixer takes it, at most 128) for `channel`
    LoadMusic,
    PlayMusic,         // `file` starts; `channel` holds the loop count
    HaltMusic,         // `file` was stopped
    MusicRanOut,       // `file` reached its end (HeadlessAudioFinishMusic)
    FreeMusic,
    MusicVolume,
};

struct AudioEvent {
    AudioEventKind kind;
    std::string file;              // path of the chunk or track as it was loaded; "" when none
    int channel = -1;
    int volume = -1;
    double time = 0;               // PlatformClock() at the call
    std::thread::id thread;        // the thread that made the call
};

const std::vector<AudioEvent>& HeadlessAudioEvents();
void HeadlessAudioClearEvents();
// Closes the device and forgets everything: no events, device available, every sound lasts one second.
void HeadlessAudioReset();
// With false, the next AudioOpenDevice fails as on a machine without a sound card.
void HeadlessAudioSetDeviceAvailable(bool available);
// How long every chunk plays, in seconds of the platform clock; a channel is busy until then.
void HeadlessAudioSetChunkSeconds(double seconds);
// The playing track (played once) runs out now: the finished notification is raised from a thread of its own,
// as the mixer raises it from its audio thread. Returns after that thread has ended.
void HeadlessAudioFinishMusic();
// What plays at this moment on `channel`, or "".
std::string HeadlessAudioChannelFile(int channel);
// The track playing at this moment, or "".
std::string HeadlessAudioMusicFile();
