// The module player: libopenmpt renders the music and every W sync command is reported as played.
//
// One player holds at most one module. Rendering goes in chunks of at most kChunkFrames, so
// that a row start is seen within a chunk of where it is heard at any tempo; every row start
// (also a row played again by a loop, a jump or the song's restart) reports each W cell of that
// row to the sync sink, in channel order, from the rendering thread. A row is taken as played
// again when the position has not moved for a whole row's length.
//   Load    reads the file (module_file.h: search order, override, limits) and parses it;
//           false with a text naming the file and the reason when it is missing, unreadable,
//           not a regular file, too large, or not a module libopenmpt can play
//   Start   plays from the first order at full level, looping the song or ending after it
//   Stop    ends playback without a click: the next Render calls take the level down to zero
//           over a ramp (sound_ramp.h) and then play nothing; rows met in the ramp are not
//           reported. At once when nothing has been rendered since Start.
//   Pause   the same ramp down, after which the position is held: Render gives silence and
//           reports nothing until Resume, which goes on from there with a ramp up
//   IsSilent  true when Render will give only silence until the next Start or Resume: nothing
//           plays, the song has ended, or a stop or pause has finished its ramp
//   MoveTo  goes on from the start of a row (order, row) as if it had just begun and been
//           reported: its W cells are not reported again, the next row's are
//   Position  the row last begun (order -1 before the first)
//   Render  fills exactly `frames` interleaved 16-bit stereo frames (silence when nothing plays
//           or the song has ended) and returns how many of them carried music, ramps included
// Not thread-safe: the caller makes sure one thread at a time touches a player.
#ifndef ZARVO_PLATFORM_COMMON_MODULE_PLAYER_H
#define ZARVO_PLATFORM_COMMON_MODULE_PLAYER_H

#include "sound_ramp.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace openmpt {
class module;
}

namespace platform {

using SyncSink = void (*)(void* user, unsigned syncInfo, unsigned order, unsigned row);

class ModulePlayer {
  public:
    static constexpr std::size_t kChunkFrames = 64;

    ModulePlayer();
    ~ModulePlayer();
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;

    bool Load(const char* fileName, std::string& error);
    void Unload();
    bool IsLoaded() const;

    void Start(bool loopSong);
    void Stop();
    // Started, not stopped, and the song has not ended (also while paused).
    bool IsPlaying() const;
    void Pause();
    void Resume();
    bool IsSilent() const;
    void SetSyncSink(SyncSink sink, void* user);

    std::size_t Render(std::int16_t* interleavedStereo, std::size_t frames, int sampleRate);

    void MoveTo(int order, int row, int sampleRate);
    struct Row {
        int order = -1;
        int row = -1;
    };
    Row Position() const {
        return {order_, row_};
    }

    // The song's length once through, from its first order to its end (0 when none is loaded).
    // Worked out on the first call after a load (a pass through the whole song, about half a
    // millisecond) and kept: callers ask once a frame.
    double SongSeconds() const;

    // Frames rendered since Start, ramps included: where a row reported to the sync sink was
    // met (the end of the chunk it began in).
    std::int64_t FramesRendered() const {
        return framesRendered_;
    }

  private:
    void BeginRow(int order, int pattern, int row, int sampleRate);
    void RenderChunks(std::int16_t* out, std::size_t frames, int sampleRate, std::size_t& done,
                      std::size_t& music);
    void RampDown();

    std::unique_ptr<openmpt::module> module_;
    mutable double songSeconds_ = -1.0; // -1: not worked out since the load
    bool playing_ = false;
    bool ended_ = false;
    bool stopping_ = false; // Stop's ramp is under way
    bool paused_ = false;   // Pause asked for, until Resume
    bool held_ = false;     // paused and silent: the position stands still
    GainRamp gain_;
    SyncSink sink_ = nullptr;
    void* sinkUser_ = nullptr;
    // Where the current row began, in frames rendered since Start (an estimate no earlier than
    // the truth), and how long the row lasts at the speed and tempo in force.
    bool haveRow_ = false;
    int order_ = -1;
    int pattern_ = -1;
    int row_ = -1;
    std::int64_t framesRendered_ = 0;
    std::int64_t rowStart_ = 0;
    double rowFrames_ = 0.0;
    double tickFrames_ = 0.0;
};

} // namespace platform

#endif
