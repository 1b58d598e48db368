// The web backend's sound output for the shared sound library (web_backend.h): the page's
// first screen asks the question, and WebAudio (or a timer, when silence was chosen or there is
// no WebAudio) plays.
//
// There is one thread: the page renders sound between the intro's steps, while the intro waits
// for a frame or a message (web_bridge.h), by calling zarvo_web_render: an output on the main
// thread.
#include "web_backend.h"
#include "web_bridge.h"

#include "gdi_font.h"
#include "midas_playback.h"

#include <vector>

namespace web {

struct WebSoundState {
    platform::RenderFunction render = nullptr;
    std::vector<std::int16_t> buffer;
};

static WebSoundState sound;

} // namespace web

extern "C" std::int16_t* zarvo_web_render(int frames) {
    if (frames < 0) {
        frames = 0;
    }
    web::sound.buffer.assign(static_cast<std::size_t>(frames) * 2, 0);
    if (web::sound.render != nullptr && frames > 0) {
        web::sound.render(web::sound.buffer.data(), static_cast<std::size_t>(frames));
    }
    return web::sound.buffer.data();
}

// Called by the page a few times a second while WebAudio plays: the sound library's stall rule.
extern "C" void zarvo_web_watch_sound() {
    platform::WatchSoundOutput();
}

namespace web {

// The page's sound goes where the browser sends it: there is no output to pick.
static platform::SoundChoice ChooseOutput(std::string& /*device*/) {
    // The font is read on first use; reading it while the question is on the screen keeps that
    // off the show's first frame, which follows the answer.
    platform::AcquireSystemFont();
    switch (zarvo_web_ask_sound()) {
    case 0:
        return platform::SoundChoice::Play;
    case 1:
        return platform::SoundChoice::NoSound;
    default:
        return platform::SoundChoice::Cancel;
    }
}

static bool OpenOutput(bool wantDevice, const std::string& /*device*/,
                       platform::RenderFunction render, std::string& note) {
    sound.render = render;
    const int device = zarvo_web_open_audio(wantDevice ? 1 : 0, platform::kPlaybackRate);
    if (wantDevice && device == 0) {
        char reason[256] = {};
        zarvo_web_audio_note(reason, static_cast<int>(sizeof reason));
        note = reason;
    }
    return true;
}

static void PauseOutput(bool paused) {
    zarvo_web_pause_audio(paused ? 1 : 0);
}

// The browser's output has asked for no sound for two seconds: the page's timer plays on.
static std::string AbandonOutput() {
    zarvo_web_abandon_audio();
    char reason[256] = {};
    zarvo_web_audio_note(reason, static_cast<int>(sizeof reason));
    return reason;
}

static void CloseOutput() {
    zarvo_web_close_audio();
    sound.render = nullptr;
}

platform::SoundOutput WebSound() {
    platform::SoundOutput output;
    output.choose = ChooseOutput;
    output.open = OpenOutput;
    output.pause = PauseOutput;
    output.close = CloseOutput;
    output.abandon = AbandonOutput;
    output.sampleRate = platform::kPlaybackRate;
    output.ownThread = false;
    return output;
}

} // namespace web
