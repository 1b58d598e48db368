// The MIDAS sound library of the capture: no device and no dialog; the module is rendered offline
// by the shared player, one frame's worth at a time, when the virtual clock asks for it.
#include "capture_music.h"
#include "module_player.h"

#include <midasdll.h>

#include <algorithm>
#include <string>
#include <vector>

namespace capture {

struct SyncEvent {
    unsigned syncInfo;
    unsigned order;
    unsigned row;
};

struct MusicState {
    platform::ModulePlayer player;
    bool started = false;     // MIDASstartup .. MIDASclose
    bool initialised = false; // MIDASinit
    bool background = false;  // MIDASstartBackgroundPlay
    bool loaded = false;
    bool playing = false;
    bool suspended = false;
    MIDASsyncCallback callback = nullptr;
    std::vector<SyncEvent> pending;
    std::uint32_t delivered = 0; // sync callbacks made, never reset (as the show's count)
    int lastError = 0;
    std::string errorText = "No error";
};

static MusicState music;

// Error codes of our own; MIDASgetErrorMessage gives the text of the last one.
enum : int { kNoError = 0, kNotReady = 1, kBadHandle = 2, kLoadFailed = 3, kBusy = 4 };

static BOOL Failure(int code, std::string text) {
    music.lastError = code;
    music.errorText = std::move(text);
    return FALSE;
}

static void CountSync(void*, unsigned syncInfo, unsigned order, unsigned row) {
    if (music.callback != nullptr) {
        music.pending.push_back(SyncEvent{syncInfo, order, row});
    }
}

static MIDASmodule ModuleHandle() {
    return static_cast<MIDASmodule>(&music.player);
}

// One module plays at a time, under this handle.
constexpr MIDASmodulePlayHandle kPlayHandle = 1;

void RenderMusicSpan(std::int16_t* out, std::size_t frames, int sampleRate) {
    if (music.playing && !music.suspended && music.background) {
        music.player.Render(out, frames, sampleRate);
    } else {
        std::fill(out, out + frames * 2, static_cast<std::int16_t>(0));
    }
}

std::uint32_t SyncsDelivered() {
    return music.delivered;
}

void DeliverPendingSyncs() {
    // The callback may be removed while the list is walked only by the intro's shutdown, which
    // never runs inside a delivery; take the list first all the same.
    std::vector<SyncEvent> events;
    events.swap(music.pending);
    for (const SyncEvent& event : events) {
        if (music.callback != nullptr) {
            music.callback(event.syncInfo, event.order, event.row);
            ++music.delivered;
        }
    }
    events.clear();
    music.pending.swap(events); // keeps the capacity for the next frame
}

} // namespace capture

using capture::music;

BOOL MIDAS_CALL MIDASstartup(void) {
    music.started = true;
    music.lastError = capture::kNoError;
    return TRUE;
}

BOOL MIDAS_CALL MIDASconfig(void) {
    // The capture has one output, the WAV file: nothing to choose.
    if (!music.started) {
        return capture::Failure(capture::kNotReady, "MIDAS is not started");
    }
    return TRUE;
}

BOOL MIDAS_CALL MIDASinit(void) {
    if (!music.started) {
        return capture::Failure(capture::kNotReady, "MIDAS is not started");
    }
    music.initialised = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASstartBackgroundPlay(DWORD) {
    if (!music.initialised) {
        return capture::Failure(capture::kNotReady, "MIDAS is not initialised");
    }
    music.background = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASstopBackgroundPlay(void) {
    music.background = false;
    return TRUE;
}

BOOL MIDAS_CALL MIDASclose(void) {
    music.player.Unload();
    music.started = music.initialised = music.background = false;
    music.loaded = music.playing = music.suspended = false;
    music.callback = nullptr;
    music.pending.clear();
    return TRUE;
}

BOOL MIDAS_CALL MIDASsuspend(void) {
    music.suspended = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASresume(void) {
    music.suspended = false;
    return TRUE;
}

int MIDAS_CALL MIDASgetLastError(void) {
    return music.lastError;
}

char* MIDAS_CALL MIDASgetErrorMessage(int errorCode) {
    static std::string text;
    text = errorCode == music.lastError ? music.errorText : "Unknown error";
    return text.data();
}

MIDASmodule MIDAS_CALL MIDASloadModule(char* fileName) {
    if (!music.initialised) {
        capture::Failure(capture::kNotReady, "MIDAS is not initialised");
        return nullptr;
    }
    if (music.loaded) {
        capture::Failure(capture::kBusy, "a module is already loaded");
        return nullptr;
    }
    std::string error;
    if (!music.player.Load(fileName, error)) {
        capture::Failure(capture::kLoadFailed, error);
        return nullptr;
    }
    music.player.SetSyncSink(capture::CountSync, nullptr);
    music.loaded = true;
    return capture::ModuleHandle();
}

BOOL MIDAS_CALL MIDASfreeModule(MIDASmodule module) {
    if (!music.loaded || module != capture::ModuleHandle()) {
        return capture::Failure(capture::kBadHandle, "not a loaded module");
    }
    music.player.Unload();
    music.loaded = false;
    music.playing = false;
    return TRUE;
}

MIDASmodulePlayHandle MIDAS_CALL MIDASplayModule(MIDASmodule module, BOOL loopSong) {
    if (!music.loaded || module != capture::ModuleHandle()) {
        capture::Failure(capture::kBadHandle, "not a loaded module");
        return 0;
    }
    music.player.Start(loopSong != FALSE);
    music.playing = true;
    return capture::kPlayHandle;
}

BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    if (!music.playing || playHandle != capture::kPlayHandle) {
        return capture::Failure(capture::kBadHandle, "not a playing module");
    }
    music.player.Stop();
    music.playing = false;
    music.pending.clear();
    return TRUE;
}

BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback) {
    if (!music.playing || playHandle != capture::kPlayHandle) {
        return capture::Failure(capture::kBadHandle, "not a playing module");
    }
    music.callback = callback;
    if (callback == nullptr) {
        music.pending.clear();
    }
    return TRUE;
}
