// The double's sound library: start-up stages, the module, the sync callback, suspend and resume.
#include <string>
#include <thread>

#include "platform/fake/fake_state.h"

namespace fake {

namespace {

constexpr MIDASmodulePlayHandle kPlayHandle = 1;
int moduleToken; // the address handed out as the loaded module

// Every call but MIDASstartup needs a started library that has not been closed.
void CheckOpen(const char* call) {
    State& state = S();
    if (!state.soundStarted || state.soundClosed) {
        Violation(std::string(call) + " while the sound library is not started");
    }
}

BOOL Truth(const char* name, const std::string& args) {
    CheckOpen(name);
    return static_cast<BOOL>(Enter("", name, args, TRUE) != 0 ? TRUE : FALSE);
}

} // namespace

void SetMidasError(int code, const std::string& text) {
    S().lastErrorCode = code;
    S().lastErrorText = text;
}

int DeliverSync(int count) {
    State& state = S();
    int delivered = 0;
    for (int i = 0; i < count; ++i) {
        if (state.syncCallback == nullptr || state.suspended || state.soundClosed ||
            !state.backgroundPlay) {
            break;
        }
        state.syncCallback(0, 0, static_cast<unsigned>(i & 63));
        ++delivered;
    }
    return delivered;
}

int DeliverSyncFromThread(int count) {
    int delivered = 0;
    std::thread playback([&delivered, count] { delivered = DeliverSync(count); });
    playback.join();
    return delivered;
}

bool MusicSuspended() {
    return S().suspended;
}

bool SoundOpen() {
    return S().soundStarted && !S().soundClosed;
}

bool SyncCallbackInstalled() {
    return S().syncCallback != nullptr;
}

} // namespace fake

using namespace fake;

BOOL MIDAS_CALL MIDASstartup(void) {
    const BOOL ok = static_cast<BOOL>(Enter("", "MIDASstartup", "", TRUE) != 0);
    if (ok) {
        S().soundStarted = true;
        S().soundClosed = false;
    }
    return ok;
}

BOOL MIDAS_CALL MIDASconfig(void) {
    return Truth("MIDASconfig", "");
}

BOOL MIDAS_CALL MIDASinit(void) {
    return Truth("MIDASinit", "");
}

BOOL MIDAS_CALL MIDASclose(void) {
    const BOOL ok = Truth("MIDASclose", "");
    S().soundClosed = true;
    S().backgroundPlay = false;
    S().syncCallback = nullptr;
    return ok;
}

BOOL MIDAS_CALL MIDASstartBackgroundPlay(DWORD pollRate) {
    const BOOL ok = Truth("MIDASstartBackgroundPlay", std::to_string(pollRate));
    if (ok) {
        S().backgroundPlay = true;
    }
    return ok;
}

BOOL MIDAS_CALL MIDASstopBackgroundPlay(void) {
    const BOOL ok = Truth("MIDASstopBackgroundPlay", "");
    S().backgroundPlay = false;
    return ok;
}

BOOL MIDAS_CALL MIDASsuspend(void) {
    const BOOL ok = Truth("MIDASsuspend", "");
    if (ok) {
        S().suspended = true;
    }
    return ok;
}

BOOL MIDAS_CALL MIDASresume(void) {
    const BOOL ok = Truth("MIDASresume", "");
    if (ok) {
        S().suspended = false;
    }
    return ok;
}

int MIDAS_CALL MIDASgetLastError(void) {
    return static_cast<int>(Enter("", "MIDASgetLastError", "", S().lastErrorCode));
}

char* MIDAS_CALL MIDASgetErrorMessage(int errorCode) {
    Enter("", "MIDASgetErrorMessage", std::to_string(errorCode), 0);
    State& state = S();
    state.errorTextBuffer.assign(state.lastErrorText.begin(), state.lastErrorText.end());
    state.errorTextBuffer.push_back('\0');
    return state.errorTextBuffer.data();
}

MIDASmodule MIDAS_CALL MIDASloadModule(char* fileName) {
    CheckOpen("MIDASloadModule");
    const long long ok =
        Enter("", "MIDASloadModule", fileName ? "\"" + std::string(fileName) + "\"" : "NULL", 1);
    return ok ? &moduleToken : nullptr;
}

BOOL MIDAS_CALL MIDASfreeModule(MIDASmodule module) {
    return Truth("MIDASfreeModule", module == &moduleToken ? "module" : "module?");
}

MIDASmodulePlayHandle MIDAS_CALL MIDASplayModule(MIDASmodule module, BOOL loopSong) {
    CheckOpen("MIDASplayModule");
    const long long ok = Enter("", "MIDASplayModule",
                               std::string(module == &moduleToken ? "module" : "module?") + ", " +
                                   std::to_string(loopSong),
                               1);
    return ok ? kPlayHandle : 0;
}

BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    return Truth("MIDASstopModule", std::to_string(playHandle));
}

BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback) {
    const BOOL ok = Truth("MIDASsetMusicSyncCallback",
                          std::to_string(playHandle) + ", " + (callback ? "callback" : "NULL"));
    if (ok) {
        S().syncCallback = callback;
    }
    return ok;
}
