// The MIDAS functions of every real backend: libopenmpt through the shared module player, played
// by the backend's sound output (backend.h).
//
// One module plays at a time. The player is touched under one lock, by whoever renders (the
// output's thread, or the main thread between the intro's calls) and by the main thread for
// loading, starting and stopping; the sync callback runs inside rendering, as the library's did.
// Errors keep the library's pattern: a number from MIDASgetLastError and its text from
// MIDASgetErrorMessage.
//
// Sound is never cut: before playback is suspended or stopped, or the module stopped or freed,
// the player ramps its level down; an output with a thread of its own is waited for (a few ms)
// until it has rendered that ramp, so that its last sound before the pause is silence.
#include "midas_playback.h"

#include "backend.h"
#include "module_player.h"

#include <midasdll.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace platform {

namespace {

enum MidasError {
    kErrorNone = 0,
    kErrorNotStarted = 1,
    kErrorCancelled = 2,
    kErrorSoundOutput = 3,
    kErrorModuleFile = 4,
    kErrorBadHandle = 5,
    kErrorOutOfMemory = 6,
    kErrorState = 7,
};

struct PlayerModule {
    platform::ModulePlayer player;
};

const SoundOutput& Output() {
    return InstalledBackend().midas;
}

struct MidasState {
    bool started = false;
    bool configured = false;
    bool noSound = false;
    bool initialised = false;
    bool backgroundPlay = false;
    bool suspended = false;
    int lastError = kErrorNone;
    std::string lastErrorText;
    // Guarded by playerLock: what the output renders.
    std::mutex playerLock;
    PlayerModule* playing = nullptr;
    MIDASsyncCallback callback = nullptr;
    MIDASmodulePlayHandle handle = 0;
    MIDASmodulePlayHandle nextHandle = 1;
    std::int64_t framesPlayed = 0; // of the playing module, since it started
    // Written by the rendering thread only.
    std::atomic<std::uint32_t> syncsDelivered{0};
};

MidasState midas;

BOOL Fail(int code, const std::string& text = std::string()) {
    midas.lastError = code;
    midas.lastErrorText = text;
    return FALSE;
}

void SyncToCallback(void* /*user*/, unsigned syncInfo, unsigned order, unsigned row) {
    if (midas.callback != nullptr) {
        midas.callback(syncInfo, order, row);
        midas.syncsDelivered.fetch_add(1, std::memory_order_relaxed);
    }
}

// The output's work: the playing module, or silence.
void RenderMusic(std::int16_t* out, std::size_t frames) {
    std::lock_guard<std::mutex> guard(midas.playerLock);
    if (midas.playing != nullptr) {
        midas.framesPlayed += static_cast<std::int64_t>(
            midas.playing->player.Render(out, frames, Output().sampleRate));
    } else {
        std::fill(out, out + frames * 2, static_cast<std::int16_t>(0));
    }
}

// Waits until the playing module (if any) has rendered its ramp down. The output's thread renders
// it within a buffer or two; the limit only guards against an output that has stopped taking
// sound, where there is nothing left to click. An output on the main thread renders nothing
// while this runs: its ramp is in what it renders next.
void WaitUntilSilent() {
    if (!Output().ownThread) {
        return;
    }
    constexpr auto kLimit = std::chrono::milliseconds(500);
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(midas.playerLock);
            if (midas.playing == nullptr || midas.playing->player.IsSilent()) {
                return;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Takes the playing module down to silence and holds it there, before the output pauses.
void QuietenPlayback() {
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        if (midas.playing == nullptr) {
            return;
        }
        midas.playing->player.Pause();
    }
    WaitUntilSilent();
}

// Lets a module held by QuietenPlayback go on, ramping up, once the output runs again.
void UnholdPlayback() {
    std::lock_guard<std::mutex> guard(midas.playerLock);
    if (midas.playing != nullptr) {
        midas.playing->player.Resume();
    }
}

const char* ErrorText(int code) {
    switch (code) {
    case kErrorNone:
        return "OK";
    case kErrorNotStarted:
        return "Sound system not started";
    case kErrorCancelled:
        return "Sound setup cancelled by the user";
    case kErrorSoundOutput:
        return "Sound output could not be opened";
    case kErrorModuleFile:
        return "Unable to load module file";
    case kErrorBadHandle:
        return "Invalid module or play handle";
    case kErrorOutOfMemory:
        return "Not enough memory";
    default:
        return "Function called at the wrong time";
    }
}

SoundChoice ChooseOutput() {
    return Output().choose != nullptr ? Output().choose() : SoundChoice::DefaultOutput;
}

void PauseOutput(bool paused) {
    if (Output().pause != nullptr) {
        Output().pause(paused);
    }
}

void CloseOutput() {
    if (Output().close != nullptr) {
        Output().close();
    }
}

void Report(const std::string& line) {
    if (Output().report != nullptr) {
        Output().report(line);
    } else {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
}

} // namespace

std::uint32_t MusicSyncsDelivered() {
    return midas.syncsDelivered.load(std::memory_order_relaxed);
}

MusicPlayed PlayingMusic() {
    std::lock_guard<std::mutex> guard(midas.playerLock);
    MusicPlayed played;
    if (midas.playing != nullptr) {
        played.songSeconds = midas.playing->player.SongSeconds();
        played.frames = midas.framesPlayed;
    }
    return played;
}

} // namespace platform

using platform::midas;

BOOL MIDAS_CALL MIDASstartup(void) {
    midas.started = true;
    midas.configured = false;
    midas.noSound = false;
    midas.lastError = platform::kErrorNone;
    return TRUE;
}

BOOL MIDAS_CALL MIDASconfig(void) {
    if (!midas.started) {
        return platform::Fail(platform::kErrorNotStarted);
    }
    switch (platform::ChooseOutput()) {
    case platform::SoundChoice::DefaultOutput:
        midas.noSound = false;
        break;
    case platform::SoundChoice::NoSound:
        midas.noSound = true;
        break;
    case platform::SoundChoice::Cancel:
        return platform::Fail(platform::kErrorCancelled);
    }
    midas.configured = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASinit(void) {
    if (!midas.started || midas.initialised) {
        return platform::Fail(platform::kErrorState);
    }
    if (platform::Output().open == nullptr) {
        return platform::Fail(platform::kErrorSoundOutput, "No sound output is installed");
    }
    std::string note;
    if (!platform::Output().open(!midas.noSound, platform::RenderMusic, note)) {
        return platform::Fail(platform::kErrorSoundOutput, note);
    }
    if (!note.empty()) {
        platform::Report("zarvo: " + note + "; the music plays silently.\n");
    }
    midas.initialised = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASclose(void) {
    if (midas.backgroundPlay && !midas.suspended) {
        platform::QuietenPlayback();
    }
    platform::CloseOutput();
    midas.initialised = false;
    midas.backgroundPlay = false;
    midas.started = false;
    return TRUE;
}

BOOL MIDAS_CALL MIDASstartBackgroundPlay(DWORD /*pollRate*/) {
    if (!midas.initialised) {
        return platform::Fail(platform::kErrorState);
    }
    midas.backgroundPlay = true;
    midas.suspended = false;
    platform::UnholdPlayback();
    platform::PauseOutput(false);
    return TRUE;
}

BOOL MIDAS_CALL MIDASstopBackgroundPlay(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::QuietenPlayback();
    platform::PauseOutput(true);
    midas.backgroundPlay = false;
    return TRUE;
}

BOOL MIDAS_CALL MIDASsuspend(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    // Playback and sync callbacks stop together: once paused, nothing renders. The rows of the
    // ramp down are played, so they are counted; resuming goes on after them.
    platform::QuietenPlayback();
    platform::PauseOutput(true);
    midas.suspended = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASresume(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::UnholdPlayback();
    platform::PauseOutput(false);
    midas.suspended = false;
    return TRUE;
}

int MIDAS_CALL MIDASgetLastError(void) {
    return midas.lastError;
}

char* MIDAS_CALL MIDASgetErrorMessage(int errorCode) {
    // The library hands out a writable pointer to its own text; so do we.
    static std::string text;
    if (errorCode == midas.lastError && !midas.lastErrorText.empty()) {
        text = midas.lastErrorText;
    } else {
        text = platform::ErrorText(errorCode);
    }
    return text.data();
}

MIDASmodule MIDAS_CALL MIDASloadModule(char* fileName) {
    if (!midas.started) {
        platform::Fail(platform::kErrorNotStarted);
        return nullptr;
    }
    auto* module = new (std::nothrow) platform::PlayerModule();
    if (module == nullptr) {
        platform::Fail(platform::kErrorOutOfMemory);
        return nullptr;
    }
    std::string error;
    if (!module->player.Load(fileName, error)) {
        delete module;
        platform::Fail(platform::kErrorModuleFile, error);
        return nullptr;
    }
    module->player.SetSyncSink(platform::SyncToCallback, nullptr);
    return module;
}

BOOL MIDAS_CALL MIDASfreeModule(MIDASmodule module) {
    if (module == nullptr) {
        return platform::Fail(platform::kErrorBadHandle);
    }
    auto* played = static_cast<platform::PlayerModule*>(module);
    bool playing = false;
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        playing = midas.playing == played;
        if (playing) {
            played->player.Stop();
        }
    }
    if (playing) {
        platform::WaitUntilSilent();
    }
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        if (midas.playing == played) {
            midas.playing = nullptr;
            midas.handle = 0;
        }
    }
    delete played;
    return TRUE;
}

MIDASmodulePlayHandle MIDAS_CALL MIDASplayModule(MIDASmodule module, BOOL loopSong) {
    if (module == nullptr) {
        platform::Fail(platform::kErrorBadHandle);
        return 0;
    }
    if (!midas.backgroundPlay) {
        platform::Fail(platform::kErrorState);
        return 0;
    }
    std::lock_guard<std::mutex> guard(midas.playerLock);
    auto* played = static_cast<platform::PlayerModule*>(module);
    played->player.Start(loopSong != FALSE);
    midas.playing = played;
    midas.framesPlayed = 0;
    midas.handle = midas.nextHandle++;
    return midas.handle;
}

BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        if (playHandle == 0 || playHandle != midas.handle || midas.playing == nullptr) {
            return platform::Fail(platform::kErrorBadHandle);
        }
        midas.callback = nullptr;
        midas.playing->player.Stop();
    }
    // The ramp down is heard before the module lets go of the output.
    platform::WaitUntilSilent();
    std::lock_guard<std::mutex> guard(midas.playerLock);
    midas.playing = nullptr;
    midas.handle = 0;
    return TRUE;
}

BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback) {
    std::lock_guard<std::mutex> guard(midas.playerLock);
    if (playHandle == 0 || playHandle != midas.handle) {
        return platform::Fail(platform::kErrorBadHandle);
    }
    midas.callback = callback;
    return TRUE;
}
