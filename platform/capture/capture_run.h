// The capture run: the virtual clock that turns each presented frame into files and music time.
//
// Called by the backend's pieces, all on the main thread:
//   BeginRun             StartBackend, after the options: opens the files
//   PresentCapturedFrame the primary surface's BltFast with the 320x200 picture: writes the frame,
//                        its CSV row (with the phase the show recorded for it) and video frame,
//                        renders the music of exactly one frame (frame n ends at sample
//                        floor((n+1)*rate/fps)), delivers the W commands met, and shows progress
//   StopRequested        Ctrl+C, the --max-seconds limit, a failed output, or a song that has
//                        played through once while the show goes on: the pump turns it into a
//                        close of the main window, so the intro ends by its own road
//   RequestStop          a stop because the show cannot end (with the reason, printed once)
//   NoteIntroFailure     the intro reported an error (its message box)
//   EndRun               the backend's finish (or exit): completes every file, says how the
//                        capture ended and sums it up; the exit code (capture_ending.h)
// RequestStopFromSignal is the only function safe in a signal handler: the first call asks for
// a stop, the second also gives the video up (GiveUpRequested).
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_RUN_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_RUN_H

#include "capture_options.h"

#include <cstdint>
#include <string>

namespace capture {

bool BeginRun(const CaptureOptions& options, std::string& error);

void PresentCapturedFrame(const std::uint32_t* pixels);

bool StopRequested();
void RequestStop(const char* reason);
void RequestStopFromSignal();
bool GiveUpRequested();
void NoteIntroFailure();

// Completes the files once and returns the exit code; later calls return the same code.
int EndRun();

} // namespace capture

#endif
