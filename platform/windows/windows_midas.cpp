// The Windows backend's sound output for the shared sound library (windows_backend.h): the setup
// dialog and the waveOut device picked there, or the silent timer.
#include "windows_backend.h"

#include "windows_midas_dialog.h"
#include "windows_wave_output.h"

#include <windows.h>

namespace windows {

// A windowed program has no standard error: the debugger hears it.
static void ReportToDebugger(const std::string& line) {
    OutputDebugStringA(line.c_str());
}

platform::SoundOutput WindowsSound() {
    platform::SoundOutput output;
    output.choose = AskSoundOutput;
    output.open = OpenSoundOutput;
    output.pause = SetSoundPaused;
    output.close = CloseSoundOutput;
    output.latency = SoundLatency;
    output.abandon = AbandonSoundDevice;
    output.report = ReportToDebugger;
    output.sampleRate = kSampleRate;
    return output;
}

} // namespace windows
