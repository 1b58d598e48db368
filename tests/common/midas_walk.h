// The sound library's calls walked as the intro makes them, for the tests of each backend's sound
// output: one walk, with the output's own way of letting time pass.
//
//   WriteFastSong      a looping module of one row with a W command, at speed 1 and 255 BPM:
//                      about a hundred sync callbacks a second
//   CountSync          the walk's sync callback: counts the callbacks
//   SyncsCounted       the callbacks counted since the last ResetSyncsCounted (or walk's start)
//   WalkPlayAndSuspend start-up, init, background play, the module loaded and played with the
//                      callback installed; the clock runs; suspended, no callback arrives while
//                      time passes; resumed, the clock runs on; the callback removed, the module
//                      stopped and freed, background play stopped, the library closed, and no
//                      callback after. Every step is asserted.
//   WalkRefusals       a missing module is refused with a text, which is returned; a null
//                      module, an unknown play handle and a suspension without background play
//                      are refused
#ifndef ZARVO_TESTS_COMMON_MIDAS_WALK_H
#define ZARVO_TESTS_COMMON_MIDAS_WALK_H

#include <midasdll.h>

#include <functional>
#include <string>

namespace soundtest {

std::string WriteFastSong(const std::string& name);

void MIDAS_CALL CountSync(unsigned syncInfo, unsigned order, unsigned row);
unsigned SyncsCounted();
void ResetSyncsCounted();

// How time passes for the output under test.
struct WalkClock {
    // Lets the music play until `count` callbacks have been counted; false when they do not
    // come (within 10 s of real time, or its worth of frames).
    std::function<bool(unsigned count)> playUntil;
    // Lets some time pass: the suspension, and after the close.
    std::function<void()> pass;
    // For an output on the main thread: renders the ramp down that follows MIDASsuspend.
    std::function<void()> renderRamp;
    // Optional checks of the output: after MIDASinit, and after MIDASclose.
    std::function<void()> afterInit;
    std::function<void()> afterClose;
};

void WalkPlayAndSuspend(const std::string& modulePath, const WalkClock& clock);

std::string WalkRefusals(const char* missingModule);

// A real-time output's clock: waits for the output's thread, and passes `passMs` of real time.
WalkClock RealTimeClock(int passMs);

} // namespace soundtest

#endif
