// The Windows backend's part of the sound library: the configuration dialog and the sound output
// (waveOut, or the silent timer).
#include "midas_playback.h"
#include "midas_windows_dialog.h"
#include "wave_output.h"

#include <windows.h>

static_assert(winsound::kSampleRate == platform::kPlaybackRate, "the device plays what is rendered");

namespace platform {

SoundChoice ChooseSoundOutput() {
    switch (winsound::AskSoundOutput()) {
    case winsound::SoundChoice::DefaultOutput:
        return SoundChoice::DefaultOutput;
    case winsound::SoundChoice::NoSound:
        return SoundChoice::NoSound;
    case winsound::SoundChoice::Cancel:
        break;
    }
    return SoundChoice::Cancel;
}

bool OpenSoundOutput(bool wantDevice, RenderFunction render, std::string& note) {
    return winsound::OpenSoundOutput(wantDevice, render, note);
}

void PauseSoundOutput(bool paused) {
    winsound::SetSoundPaused(paused);
}

void CloseSoundOutput() {
    winsound::CloseSoundOutput();
}

void ReportSilentPlayback(const std::string& note) {
    // A windowed program has no standard error: the debugger hears it.
    OutputDebugStringA(("zarvo: " + note + "; the music plays silently.\n").c_str());
}

} // namespace platform
