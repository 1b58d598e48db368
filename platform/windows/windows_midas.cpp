// The Windows backend's sound output for the shared sound library (midas_playback.h): the setup
// dialog and waveOut, or the silent timer.
//
// The program has no start-up of its own (mingw's start-up code calls the intro's WinMain), so
// the output is installed while the program is initialised, before WinMain runs.
#include "midas_playback.h"
#include "windows_midas_dialog.h"
#include "windows_wave_output.h"

#include <windows.h>

namespace windows {

// A windowed program has no standard error: the debugger hears it.
static void ReportToDebugger(const std::string& line) {
    OutputDebugStringA(line.c_str());
}

static bool InstallWindowsSound() {
    platform::SoundOutput output;
    output.choose = AskSoundOutput;
    output.open = OpenSoundOutput;
    output.pause = SetSoundPaused;
    output.close = CloseSoundOutput;
    output.latency = SoundLatency;
    output.abandon = AbandonSoundDevice;
    output.report = ReportToDebugger;
    output.sampleRate = kSampleRate;
    platform::SetSoundOutput(output);
    return true;
}

[[maybe_unused]] static const bool soundInstalled = InstallWindowsSound();

} // namespace windows
