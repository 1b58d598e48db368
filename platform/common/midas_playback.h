// The sound library of every real backend, and what a backend supplies to it: one sound output.
//
// midas_playback.cpp holds the MIDAS functions themselves over the shared module player; the
// backend hands it a SoundOutput with SetSoundOutput before the intro runs:
//   choose      MIDASconfig's question (a dialog, the page's first screen, a setting made
//               before, or no question where there is one output only)
//   open        opens the output at `sampleRate`, 16-bit stereo, which from then on calls
//               `render` for its sound; without a device (not wanted, or none to be had: `note`
//               says why) a timer renders at the same pace and the sound is thrown away. False:
//               nothing can play at all (`note` says why)
//   pause       once it returns, `render` is not running and will not run until resumed
//   close       stops everything; safe when nothing is open
//   report      tells the user a line of text, ending in a line break: that the music plays
//               silently, and why (null: on standard error)
//   sampleRate  the rate `render` fills its buffers at
//   latency     the frames the output holds ahead of the buffer `render` is filling, which are
//               heard before that buffer's first frame; asked inside `render`. The sync calls of
//               an output with a thread of its own wait until their row is heard (null: 0, each
//               call made as its row is rendered)
//   abandon     the output has taken no sound for two seconds (kStallSeconds, sound_clock.h)
//               while the music played (a device stuck in a write, a hung sound server): let go
//               of the device at once, without waiting for it (it may never return), and render
//               on the timer from now on, so that the show's clock runs on; returns the reason,
//               for the one line that says the music plays silently. Null: never given up
//   ownThread   true: `render` runs on a thread of the output's own, so pausing and stopping wait
//               there (a few ms) until the ramp down into silence has been rendered and heard,
//               and the library's clock thread makes the sync calls and watches the output. False:
//               `render` runs on the main thread only, between the intro's calls (the web page
//               while the intro waits, the capture at each presented frame), so nothing renders
//               while a MIDAS function runs and nothing is waited for: the ramp is in whatever is
//               rendered next. Such an output may leave `pause` null and go on rendering: a
//               suspended module gives silence and reports no W command.
// The intro's sync callback is called once for every W command the player reports, as the
// library's was on its playback thread: by the library's clock thread when the row is heard
// (an output with a thread of its own), or inside `render`. A null choose takes the default
// output; without an open, MIDASinit fails (no output was installed); other null entries do
// nothing. The library makes one call into the output at a time.
#ifndef ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H
#define ZARVO_PLATFORM_COMMON_MIDAS_PLAYBACK_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

constexpr int kPlaybackRate = 48000;

enum class SoundChoice { DefaultOutput, NoSound, Cancel };

using RenderFunction = void (*)(std::int16_t* interleavedStereo, std::size_t frames);

struct SoundOutput {
    SoundChoice (*choose)() = nullptr;
    bool (*open)(bool wantDevice, RenderFunction render, std::string& note) = nullptr;
    void (*pause)(bool paused) = nullptr;
    void (*close)() = nullptr;
    void (*report)(const std::string& line) = nullptr;
    std::size_t (*latency)() = nullptr;
    std::string (*abandon)() = nullptr;
    int sampleRate = kPlaybackRate;
    bool ownThread = true;
};

// Replaces the output at once (a default SoundOutput clears it). Not while the library is open.
void SetSoundOutput(const SoundOutput& output);

// For an output on the main thread, which no thread of the library watches: called by the
// backend regularly (a few times a second) while the music plays. Gives the output up when it
// has stalled, as the clock thread does for an output with a thread of its own.
void WatchSoundOutput();

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
