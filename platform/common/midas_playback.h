// The sound library of every backend but the test double (midas_playback.cpp): the MIDAS
// functions over the shared module player, played by the backend's sound output (backend.h; the
// library's side of it in midas_output.h), and what a backend may read of the music.
#ifndef ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H
#define ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H

#include <cstdint>

namespace platform {

// For an output on the main thread, which no thread of the library watches: called by the
// backend regularly (a few times a second) while the music plays. Gives the output up when it
// has stalled, as the clock thread does for an output with a thread of its own.
void WatchSoundOutput();

// Sync callbacks made to the intro since the program started: the intro's clock. Read on the
// main thread, whose reads between two renderings all agree.
std::uint32_t MusicSyncsDelivered();

// The playing module as rendered so far: its song's length once through, and the frames of it
// rendered since it started (ramps included, the silence of a suspension not). Zeros and
// `playing` false when no module plays; a song that is over at once plays with 0 seconds.
struct MusicPlayed {
    bool playing = false;
    double songSeconds = 0.0;
    std::int64_t frames = 0;
};
MusicPlayed PlayingMusic();

// The row the playing module last began (order -1 when none plays), and a move of the playing
// module to the start of a row, counted as already reported (module_player.h's MoveTo). Main
// thread; a move is made while the output is paused (MIDASsuspend), so no rendering meets it.
struct MusicRow {
    int order = -1;
    int row = -1;
};
MusicRow PlayingRow();
void MoveMusicTo(int order, int row);

} // namespace platform

#endif
