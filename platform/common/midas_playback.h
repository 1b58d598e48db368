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
//   ownThread   true: `render` runs on a thread of the output's own, so pausing and stopping wait
//               there (a few ms) until the ramp down into silence has been rendered. False:
//               `render` runs on the main thread only, between the intro's calls (the web page
//               while the intro waits, the capture at each presented frame), so nothing renders
//               while a MIDAS function runs and nothing is waited for: the ramp is in whatever is
//               rendered next. Such an output may leave `pause` null and go on rendering: a
//               suspended module gives silence and reports no W command.
// The intro's sync callback is called inside `render`, once for every W command the player
// reports, as the library's was on its playback thread. A null choose takes the default output;
// without an open, MIDASinit fails (no output was installed); other null entries do nothing.
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
    int sampleRate = kPlaybackRate;
    bool ownThread = true;
};

// Replaces the output at once (a default SoundOutput clears it). Not while the library is open.
void SetSoundOutput(const SoundOutput& output);

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

} // namespace platform

#endif
