// The capture's sound output: the shared sound library renders on the main thread, one frame's
// span at each presentation, and nothing plays aloud.
#include "capture_music.h"

#include "capture_backend.h"
#include "midas_playback.h"

#include <algorithm>
#include <string>

namespace capture {

struct SoundState {
    platform::RenderFunction render = nullptr; // while the library has the output open
    FrameRate fps;
    int sampleRate = platform::kPlaybackRate;
};

static SoundState sound;

static bool OpenOutput(bool /*wantDevice*/, const std::string& /*device*/,
                       platform::RenderFunction render, std::string& /*note*/) {
    sound.render = render;
    return true;
}

static void CloseOutput() {
    sound.render = nullptr;
}

platform::SoundOutput CaptureSound(const FrameRate& fps, int sampleRate) {
    sound.fps = fps;
    sound.sampleRate = sampleRate;
    platform::SoundOutput output;
    // The one output is the WAV file: MIDASconfig asks nothing (a null choose takes it).
    output.open = OpenOutput;
    output.close = CloseOutput;
    // The clock never stops: a suspended module is rendered on, as silence (no pause).
    output.sampleRate = sampleRate;
    output.ownThread = false;
    return output;
}

std::size_t RenderFrameSound(std::int64_t frame, std::vector<std::int16_t>& out) {
    const std::int64_t begin = FrameEndSample(frame - 1, sound.fps, sound.sampleRate);
    const std::int64_t end = FrameEndSample(frame, sound.fps, sound.sampleRate);
    const auto count = static_cast<std::size_t>(end - begin);
    out.resize(count * 2);
    if (sound.render != nullptr) {
        sound.render(out.data(), count);
    } else {
        std::fill(out.begin(), out.end(), static_cast<std::int16_t>(0));
    }
    return count;
}

double SongSeconds() {
    return platform::PlayingMusic().songSeconds;
}

bool SongPlayedThrough(std::int64_t showSamples) {
    const platform::MusicPlayed played = platform::PlayingMusic();
    // Written so that a length that is not a number ends the capture too.
    return played.playing &&
           !(static_cast<double>(showSamples) < played.songSeconds * sound.sampleRate);
}

} // namespace capture
