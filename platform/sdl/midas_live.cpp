// The live backend's part of the sound library: the configuration question (from the command
// line, or the dialog) and the sound output (the SDL audio device or the silent timer).
#include "audio_output.h"
#include "live_options.h"
#include "live_window.h"
#include "midas_playback.h"
#include "sound_dialog.h"

#include <cstdio>

static_assert(live::kSampleRate == platform::kPlaybackRate, "the device plays what is rendered");

namespace platform {

SoundChoice ChooseSoundOutput() {
    // The display is made ready now, before the music starts: once it plays, its clock runs,
    // and the show's opening title lasts only its first moments.
    live::PrepareLiveDisplay();
    switch (live::LiveOptions().sound) {
    case live::SoundSetting::defaultOutput:
        return SoundChoice::DefaultOutput;
    case live::SoundSetting::none:
        return SoundChoice::NoSound;
    case live::SoundSetting::ask:
        break;
    }
    switch (live::AskSoundOutput()) {
    case live::SoundChoice::DefaultOutput:
        return SoundChoice::DefaultOutput;
    case live::SoundChoice::NoSound:
        return SoundChoice::NoSound;
    case live::SoundChoice::Cancel:
        break;
    }
    return SoundChoice::Cancel;
}

bool OpenSoundOutput(bool wantDevice, RenderFunction render, std::string& note) {
    return live::OpenAudioOutput(wantDevice, render, note);
}

void PauseSoundOutput(bool paused) {
    live::SetAudioPaused(paused);
}

void CloseSoundOutput() {
    live::CloseAudioOutput();
}

void ReportSilentPlayback(const std::string& note) {
    std::fprintf(stderr, "zarvo: %s; the music plays silently.\n", note.c_str());
}

} // namespace platform
