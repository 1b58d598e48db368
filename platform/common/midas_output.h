// The sound library's side of its output (midas_output.cpp), for the MIDAS functions
// (midas_playback.cpp): what plays, how it is rendered, when it is heard, and the output's calls.
//
//   playback        the module that plays and its sync callback, shared with whoever renders
//   ChooseOutput    MIDASconfig's question, put by the installed output; `device` gets the
//                   output picked (empty: the default)
//   OpenOutput      opens the installed output on `device` (and the clock thread, for an output
//   with a
//                   thread of its own); false with `note` saying why nothing can play; `note`
//                   alone: it plays silently, and why
//   RunOutput       lets the output render (true), or pauses it (false): once paused nothing
//                   renders, and every sync call of what was rendered has been made
//   CloseOutput     ends the clock thread and closes the output
//   QuietenPlayback takes the playing module down to silence and holds it there; with an output
//                   of its own thread, returns when that has been heard (within bounds)
//   UnholdPlayback  lets it go on, ramping up, once the output runs again
//   WaitUntilSilent waits (bounded) until a stopping module's ramp has been rendered and heard
//   SetCallback     changes the sync callback; no call of the old one is made once it returns
//   SyncToCallback  the sync sink of every loaded module
//   Report          tells the user a line (the output's report, or standard error)
// All of them are called on the main thread, except SyncToCallback (inside rendering).
#ifndef ZARVO_PLATFORM_COMMON_MIDAS_OUTPUT_H
#define ZARVO_PLATFORM_COMMON_MIDAS_OUTPUT_H

#include "backend.h"
#include "midas_playback.h"
#include "module_player.h"

#include <midasdll.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace platform {

struct PlayerModule {
    ModulePlayer player;
};

// Locks, always taken in this order: deliveryLock (held while sync calls are made, and while the
// callback changes), playerLock (the player and what is rendered), then the heard clock's lock.
struct Playback {
    std::mutex deliveryLock;
    // Guarded by playerLock: what the output renders. The callback changes under deliveryLock
    // too, so the clock thread reads it under that lock alone.
    std::mutex playerLock;
    PlayerModule* playing = nullptr;
    MIDASsyncCallback callback = nullptr;
    MIDASmodulePlayHandle handle = 0;
    MIDASmodulePlayHandle nextHandle = 1;
    std::int64_t framesPlayed = 0;   // of the playing module, since it started
    std::int64_t renderingBegan = 0; // the player's frames when the rendering under way began
    // Written by whoever makes the sync calls, one at a time.
    std::atomic<std::uint32_t> syncsDelivered{0};
};

extern Playback playback;

SoundChoice ChooseOutput(std::string& device);
bool OpenOutput(bool wantDevice, const std::string& device, std::string& note);
void RunOutput(bool run);
void CloseOutput();
void QuietenPlayback();
void UnholdPlayback();
void WaitUntilSilent();
void SetCallback(MIDASsyncCallback callback);
void SyncToCallback(void* user, unsigned syncInfo, unsigned order, unsigned row);
void Report(const std::string& line);

} // namespace platform

#endif
