// The Windows backend's one table for the platform stand-in (backend.h): every Win32, GDI and
// DirectDraw call goes to the real system, so only the shared sound library needs an output.
//
//   WindowsSound  the sound output: MIDASconfig is the setup dialog (windows_midas_dialog.h); the
//                 music plays through waveOut, or on the silent timer when there is no device or
//                 no sound was chosen (windows_wave_output.h); a silent start is told to the
//                 debugger, as a windowed program has no standard error (windows_startup.cpp)
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_BACKEND_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_BACKEND_H

#include "backend.h"

namespace windows {

platform::SoundOutput WindowsSound();

} // namespace windows

#endif
