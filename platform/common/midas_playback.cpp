// The MIDAS functions of every real backend: libopenmpt through the shared module player, played
// by the backend's sound output (midas_playback.h; the library's side of it in midas_output.h).
//
// One module plays at a time. The player is touched under one lock, by whoever renders (the
// output's thread, or the main thread between the intro's calls) and by the main thread for
// loading, starting and stopping. Errors keep the library's pattern: a number from
// MIDASgetLastError and its text from MIDASgetErrorMessage.
//
// Sound is never cut: before playback is suspended or stopped, or the module stopped or freed,
// the player ramps its level down; an output with a thread of its own is waited for (a few ms)
// until that ramp has been rendered and heard, so that its last sound before the pause is silence.
#include "midas_output.h"
#include "midas_playback.h"

#include <midasdll.h>

#include <mutex>
#include <new>
#include <string>

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

// Where the library stands, on the main thread.
struct MidasState {
    bool started = false;
    bool configured = false;
    bool noSound = false;
    std::string device; // the output picked in MIDASconfig; empty: the default
    bool initialised = false;
    bool backgroundPlay = false;
    bool suspended = false;
    int lastError = kErrorNone;
    std::string lastErrorText;
};

MidasState midas;

BOOL Fail(int code, const std::string& text = std::string()) {
    midas.lastError = code;
    midas.lastErrorText = text;
    return FALSE;
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

} // namespace

} // namespace platform

using platform::midas;
using platform::playback;

BOOL MIDAS_CALL MIDASstartup(void) {
    midas.started = true;
    midas.configured = false;
    midas.noSound = false;
    midas.device.clear();
    midas.lastError = platform::kErrorNone;
    return TRUE;
}

BOOL MIDAS_CALL MIDASconfig(void) {
    if (!midas.started) {
        return platform::Fail(platform::kErrorNotStarted);
    }
    std::string device;
    switch (platform::ChooseOutput(device)) {
    case platform::SoundChoice::Play:
        midas.noSound = false;
        midas.device = device;
        break;
    case platform::SoundChoice::NoSound:
        midas.noSound = true;
        midas.device.clear();
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
    std::string note;
    if (!platform::OpenOutput(!midas.noSound, midas.device, note)) {
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
    platform::RunOutput(true);
    return TRUE;
}

BOOL MIDAS_CALL MIDASstopBackgroundPlay(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::QuietenPlayback();
    platform::RunOutput(false);
    midas.backgroundPlay = false;
    return TRUE;
}

BOOL MIDAS_CALL MIDASsuspend(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    // Playback and sync callbacks stop together: once paused, nothing renders, and the calls of
    // what was rendered are made now. The rows of the ramp down are played, so they are counted;
    // resuming goes on after them.
    platform::QuietenPlayback();
    platform::RunOutput(false);
    midas.suspended = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASresume(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::UnholdPlayback();
    platform::RunOutput(true);
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
        std::lock_guard<std::mutex> guard(playback.playerLock);
        playing = playback.playing == played;
        if (playing) {
            played->player.Stop();
        }
    }
    if (playing) {
        platform::WaitUntilSilent();
    }
    {
        std::lock_guard<std::mutex> guard(playback.playerLock);
        if (playback.playing == played) {
            playback.playing = nullptr;
            playback.handle = 0;
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
    std::lock_guard<std::mutex> guard(playback.playerLock);
    auto* played = static_cast<platform::PlayerModule*>(module);
    played->player.Start(loopSong != FALSE);
    playback.playing = played;
    playback.framesPlayed = 0;
    playback.handle = playback.nextHandle++;
    return playback.handle;
}

BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    {
        std::lock_guard<std::mutex> guard(playback.playerLock);
        if (playHandle == 0 || playHandle != playback.handle || playback.playing == nullptr) {
            return platform::Fail(platform::kErrorBadHandle);
        }
    }
    platform::SetCallback(nullptr);
    {
        std::lock_guard<std::mutex> guard(playback.playerLock);
        if (playback.playing != nullptr) {
            playback.playing->player.Stop();
        }
    }
    // The ramp down is heard before the module lets go of the output.
    platform::WaitUntilSilent();
    std::lock_guard<std::mutex> guard(playback.playerLock);
    playback.playing = nullptr;
    playback.handle = 0;
    return TRUE;
}

BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback) {
    {
        std::lock_guard<std::mutex> guard(playback.playerLock);
        if (playHandle == 0 || playHandle != playback.handle) {
            return platform::Fail(platform::kErrorBadHandle);
        }
    }
    platform::SetCallback(callback);
    return TRUE;
}
