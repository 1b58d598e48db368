// The web backend's part of the sound library: the page's first screen asks the question, and
// WebAudio (or a timer, when silence was chosen or there is no WebAudio) is the sound output.
//
// There is one thread: the page renders sound between the intro's steps, while the intro waits
// for a frame or a message (web_bridge.h), so "the playback thread" of midas_playback.h is the
// page's own event loop calling zarvo_web_render.
#include "web_bridge.h"

#include "gdi_font.h"
#include "midas_playback.h"

#include <cstdio>
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

namespace platform {

SoundChoice ChooseSoundOutput() {
    // The font is read on first use; reading it while the question is on the screen keeps that
    // off the show's first frame, which follows the answer.
    AcquireSystemFont();
    switch (zarvo_web_ask_sound()) {
    case 0:
        return SoundChoice::DefaultOutput;
    case 1:
        return SoundChoice::NoSound;
    default:
        return SoundChoice::Cancel;
    }
}

bool OpenSoundOutput(bool wantDevice, RenderFunction render, std::string& note) {
    web::sound.render = render;
    const int device = zarvo_web_open_audio(wantDevice ? 1 : 0, kPlaybackRate);
    if (wantDevice && device == 0) {
        char reason[256] = {};
        zarvo_web_audio_note(reason, static_cast<int>(sizeof reason));
        note = reason;
    }
    return true;
}

void PauseSoundOutput(bool paused) {
    zarvo_web_pause_audio(paused ? 1 : 0);
}

void CloseSoundOutput() {
    zarvo_web_close_audio();
    web::sound.render = nullptr;
}

void ReportSilentPlayback(const std::string& note) {
    std::fprintf(stderr, "zarvo: %s; the music plays silently.\n", note.c_str());
}

} // namespace platform
