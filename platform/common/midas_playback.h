// The sound library of every backend but the test double (midas_playback.cpp): the MIDAS
// functions over the shared module player, played by the backend's sound output (backend.h),
// and what a backend may read of the music.
#ifndef ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H
#define ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H

#include <cstdint>

namespace platform {

// Sync callbacks made to the intro since the program started: the intro's clock. Read on the
// main thread, whose reads between two renderings all agree.
std::uint32_t MusicSyncsDelivered();

// The playing module as rendered so far: its song's length once through, and the frames of it
// rendered since it started (ramps included, the silence of a suspension not). Zeros when no
// module plays.
struct MusicPlayed {
    double songSeconds = 0.0;
    std::int64_t frames = 0;
};
MusicPlayed PlayingMusic();

} // namespace platform

#endif
