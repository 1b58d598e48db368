// InitMusic, ShutdownMusic, SuspendMusic, ResumeMusic and MusicSyncCallback.
#include "music/music.h"

#include <atomic>

#include "app/app_state.h"
#include "app/error_box.h"

namespace {

// What InitMusic has reached, and so what ShutdownMusic must undo.
constexpr DWORD kStageNone = 0;
constexpr DWORD kStageStarted = 1;
constexpr DWORD kStagePlaying = 2; // library initialised, background playback running
constexpr DWORD kStageLoaded = 3;
constexpr DWORD kStageModulePlaying = 4;
constexpr DWORD kStageSynced = 5;

// The library takes a writable name.
char moduleFileName[] = "Zarvo.xm";

const char* LastErrorText() {
    return MIDASgetErrorMessage(MIDASgetLastError());
}

int ReportFailure(const char* message) {
    ErrorBox(message, LastErrorText());
    return 0;
}

} // namespace

int InitMusic() {
    if (!MIDASstartup()) {
        return ReportFailure("Sceners: MIDASstartup() failed (%s).\r\n"
                             "Lamers: Something's wrong with your sound system.");
    }
    appState.musicStage = kStageStarted;

    if (!MIDASconfig()) {
        return ReportFailure("Sceners: MIDASconfig() failed (%s).\r\n"
                             "Lamers: You pressed something inappropriate...");
    }
    if (!MIDASinit()) {
        return ReportFailure("Sceners: MIDASinit() failed (%s).\r\n"
                             "Lamers: Something's wrong with your sound system.");
    }
    if (!MIDASstartBackgroundPlay(0)) {
        return ReportFailure("Sceners: MIDASstartBackgroundPlay() failed (%s).\r\n"
                             "Lamers: Something's wrong with your sound system.");
    }
    appState.musicStage = kStagePlaying;

    appState.module = MIDASloadModule(moduleFileName);
    if (appState.module == nullptr) {
        ErrorBox("Sceners: MIDASloadModule() failed (%s).\r\n"
                 "Lamers: The module '%s' is missing or corrupt.",
                 LastErrorText(), moduleFileName);
        return 0;
    }
    appState.musicStage = kStageLoaded;

    appState.playHandle = MIDASplayModule(appState.module, TRUE);
    if (appState.playHandle == 0) {
        return ReportFailure("Sceners: MIDASplayModule() failed (%s).\r\n"
                             "Lamers: Something's wrong with your sound system.");
    }
    appState.musicStage = kStageModulePlaying;

    if (!MIDASsetMusicSyncCallback(appState.playHandle, MusicSyncCallback)) {
        return ReportFailure("Sceners: MIDASsetMusicSyncCallback() failed (%s).\r\n"
                             "Lamers: Something's wrong with your computer.");
    }
    appState.musicStage = kStageSynced;
    return 1;
}

void ShutdownMusic() {
    // Each stage undoes its own step and then everything below it.
    const DWORD stage = appState.musicStage;
    if (stage >= kStageSynced) {
        MIDASsetMusicSyncCallback(appState.playHandle, nullptr);
    }
    if (stage >= kStageModulePlaying) {
        MIDASstopModule(appState.playHandle);
    }
    if (stage >= kStageLoaded) {
        MIDASfreeModule(appState.module);
    }
    if (stage >= kStagePlaying) {
        MIDASstopBackgroundPlay();
    }
    if (stage >= kStageStarted) {
        MIDASclose();
    }
    appState.musicStage = kStageNone;
}

void SuspendMusic() {
    if (appState.musicStage != kStageNone) {
        MIDASsuspend();
    }
}

void ResumeMusic() {
    if (appState.musicStage != kStageNone) {
        MIDASresume();
    }
}

void MIDAS_CALL MusicSyncCallback(unsigned, unsigned, unsigned) {
    // The only writer; the main thread reads the count whole, so relaxed ordering suffices.
    appState.syncCount.fetch_add(1, std::memory_order_relaxed);
}
