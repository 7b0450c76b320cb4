// Sound effects, spoken quotes and music.
//
// The effects are loaded once at start-up into a fixed table of ids; each spoken quote when it is first played (the
// quote channel keeps only the quote it plays). Quotes play on a channel of their own, where a
// new quote cuts off the one before; effects share the other channels and overlap freely. Music plays one track of
// the "audio" folder at a time and repeats it until the player picks another.
//
// The switches SoundOn, MusicOn and QuotesOn live with the settings (shell/settings.h). Callers test them before
// PlaySound: effects and the jingle only when SoundOn, quotes and the countdown only when QuotesOn.
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"
#include "base/sound_ids.h"


// The run's audio state; set by InitAudio, kept until CloseAudio.
extern std::int32_t audioOpen;               // -1 when the device opened, else 0
extern List<std::string> MusicList;          // "audio/" + file name of every track, sorted by name
extern std::int32_t musicIndex;              // the current track in MusicList; starts at 1

// The ball's velocity before its last unit step, kept by the ball motion for PlayBump.
extern double bumpVelocityX, bumpVelocityY;
extern double lastBumpTime;                  // clock reading of the last bump that counted

// The file of a sound id in the program folder ("" for an id outside the table). The 1994 versions replace the
// effects 1 to 5 when `nostalgic` is set.
std::string SoundFileName(std::int32_t id, bool nostalgic);

// The music list the game would build for the program folder `folder`: "audio/" + name of every "*.ogg" file in
// "audio/", sorted by name. An empty folder gives the single entry "audio/", which plays nothing, so that
// musicIndex 1 always names an entry. Needs no device.
List<std::string> ListMusic(const std::string& folder);
// The game's tracks: those of the program folder and, while the player's files live elsewhere, those the player put
// in the data folder's "audio/", in one list sorted as ListMusic sorts (a name in both is one track).
List<std::string> ListGameMusic();
// The file of a track of the list: the data folder's when the player has one of that name, else the shipped one.
std::string MusicFilePath(const std::string& track);

// Opens the device; the sounds are decoded later (DecodeWaitingSound) or when first played. Without a device every
// switch goes off and the game runs silently.
void InitAudio();
// Decodes the next effect not yet decoded (the quotes wait until they are played); false when none is left. The
// frame calls it once the menu is up, so the start-up does not wait for the effects.
bool DecodeWaitingSound();
// Stops everything, frees every sound and closes the device (program exit).
void CloseAudio();

// Plays sound `id` once: on the quote channel when onQuoteChannel is non-zero, else on any free channel.
void PlaySound(std::int32_t id, std::int32_t onQuoteChannel);
// The ball hit a wall: the bump sound, loud in proportion to the remembered speed across that wall.
void PlayBump(std::int32_t horizontal);
// Plays the sounds that the rules raised in this frame (play/events.h), in order; the list is left as it is.
void PlayQueuedSounds();

// Stops the current track and plays `path` (relative to the program folder) once; "" only stops.
void PlayMusic(const std::string& path);
void StopMusic();
// Called once per frame on the program thread: restarts the current track when it has run out.
void UpdateMusic();

// The player's commands.
void PreviousTrack();
void NextTrack();
void ToggleMusic();
void ToggleSound();
void ToggleQuotes();
