// The SDL backend's sound output for the shared sound library (sdl_backend.h): the question
// (from the command line, or the dialog) and the SDL audio device or the silent timer.
#include "sdl_backend.h"

#include "sdl_audio_output.h"
#include "start_options.h"
#include "sdl_sound_dialog.h"
#include "sdl_window.h"

namespace sdl {

static platform::SoundChoice ChooseOutput(std::string& device) {
    // The display is made ready now, before the music starts: once it plays, its clock runs,
    // and the show's opening title lasts only its first moments.
    PrepareSdlDisplay();
    switch (platform::CurrentStartOptions().sound) {
    case platform::SoundSetting::defaultOutput:
        return platform::SoundChoice::Play;
    case platform::SoundSetting::none:
        return platform::SoundChoice::NoSound;
    case platform::SoundSetting::ask:
        break;
    }
    return AskSoundOutput(device);
}

platform::SoundOutput SdlSound() {
    platform::SoundOutput output;
    output.choose = ChooseOutput;
    output.open = OpenAudioOutput;
    output.pause = SetAudioPaused;
    output.close = CloseAudioOutput;
    output.latency = AudioLatency;
    output.abandon = AbandonAudioDevice;
    output.sampleRate = kSampleRate;
    return output;
}

} // namespace sdl
