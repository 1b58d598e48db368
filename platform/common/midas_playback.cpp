// The MIDAS functions of every real backend: libopenmpt through the shared module player, played
// by the backend's sound output (midas_playback.h).
//
// One module plays at a time. The player is touched under one lock, by whoever renders (the
// output's thread, or the main thread between the intro's calls) and by the main thread for
// loading, starting and stopping; the sync callback runs inside rendering, as the library's did.
// Errors keep the library's pattern: a number from MIDASgetLastError and its text from
// MIDASgetErrorMessage.
//
// Sound is never cut: before playback is suspended or stopped, or the module stopped or freed,
// the player ramps its level down; an output with a thread of its own is waited for (a few ms)
// until that ramp has been rendered and heard, so that its last sound before the pause is silence.
//
// With such an output the library runs a clock thread of its own (sound_clock.h): it makes each
// sync call when its row is heard, not when it is rendered a buffer earlier, and gives the output
// up when it stalls, so that the show's clock runs on without it. Nothing here ever waits for the
// output without a bound: a device may be stuck for good.
//
// Locks, always taken in this order: deliveryLock (held while sync calls are made, and while the
// callback changes), playerLock (the player and what is rendered), clockLock (the heard clock).
// outputLock keeps the calls into the output one at a time; it is taken with no other lock held.
#include "midas_playback.h"
#include "module_player.h"
#include "sound_clock.h"

#include <midasdll.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

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

// Constant-initialised, so that a backend may install its output before any dynamic
// initialisation has run.
SoundOutput output;

struct MidasState {
    bool started = false;
    bool configured = false;
    bool noSound = false;
    bool initialised = false;
    bool backgroundPlay = false;
    bool suspended = false;
    int lastError = kErrorNone;
    std::string lastErrorText;
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

MidasState midas;

using Clock = std::chrono::steady_clock;

// The heard clock and the thread that keeps it, for an output with a thread of its own.
struct ClockKeeper {
    std::mutex clockLock;
    std::condition_variable wake;
    SoundClock clock;
    bool quit = false;
    std::thread thread;
    bool running = false; // the thread runs: sync calls are queued for it (main thread only)
    std::atomic<bool> queueing{false}; // read by the rendering thread
    std::mutex outputLock;
    bool outputOpen = false;          // guarded by outputLock
    std::atomic<bool> givenUp{false}; // the output stalled and was given up
};

ClockKeeper keeper;

BOOL Fail(int code, const std::string& text = std::string()) {
    midas.lastError = code;
    midas.lastErrorText = text;
    return FALSE;
}

void Report(const std::string& line);

void Deliver(unsigned syncInfo, unsigned order, unsigned row) {
    if (midas.callback != nullptr) {
        midas.callback(syncInfo, order, row);
        midas.syncsDelivered.fetch_add(1, std::memory_order_relaxed);
    }
}

// Makes the calls of rows already heard; with `all`, of every row rendered so far (the output
// has paused, or nothing more will be heard). Taking and calling under deliveryLock means no
// call of these rows is made once this returns.
void DeliverHeard(bool all) {
    thread_local std::vector<SyncCall> calls;
    calls.clear();
    std::lock_guard<std::mutex> delivery(midas.deliveryLock);
    {
        std::lock_guard<std::mutex> guard(keeper.clockLock);
        if (all) {
            keeper.clock.TakeAll(calls);
        } else {
            keeper.clock.TakeDue(Clock::now(), calls);
        }
    }
    for (const SyncCall& call : calls) {
        Deliver(call.syncInfo, call.order, call.row);
    }
}

// Called by the player inside rendering (playerLock held).
void SyncToCallback(void* /*user*/, unsigned syncInfo, unsigned order, unsigned row) {
    if (midas.callback == nullptr) {
        return;
    }
    if (keeper.queueing.load(std::memory_order_relaxed) && midas.playing != nullptr) {
        const auto offset = static_cast<std::size_t>(std::max<std::int64_t>(
            0, midas.playing->player.FramesRendered() - midas.renderingBegan));
        bool queued = false;
        {
            std::lock_guard<std::mutex> guard(keeper.clockLock);
            queued = keeper.clock.Queue(offset, syncInfo, order, row);
        }
        if (queued) {
            keeper.wake.notify_one();
            return;
        }
    }
    Deliver(syncInfo, order, row);
}

// The output's work: the playing module, or silence.
void RenderMusic(std::int16_t* out, std::size_t frames) {
    const auto now = Clock::now();
    const std::size_t latency =
        output.ownThread && output.latency != nullptr ? output.latency() : 0;
    std::lock_guard<std::mutex> guard(midas.playerLock);
    {
        std::lock_guard<std::mutex> clockGuard(keeper.clockLock);
        keeper.clock.Rendered(now, frames, latency);
    }
    if (midas.playing != nullptr) {
        midas.renderingBegan = midas.playing->player.FramesRendered();
        midas.framesPlayed +=
            static_cast<std::int64_t>(midas.playing->player.Render(out, frames, output.sampleRate));
    } else {
        std::fill(out, out + frames * 2, static_cast<std::int16_t>(0));
    }
}

// Lets go of an output that has stalled (once), and says so.
void GiveUpOutput() {
    std::string reason;
    {
        std::lock_guard<std::mutex> guard(keeper.outputLock);
        if (keeper.givenUp.exchange(true) || !keeper.outputOpen || output.abandon == nullptr) {
            return;
        }
        reason = output.abandon();
    }
    if (reason.empty()) {
        reason = "the sound output takes no sound";
    }
    Report("zarvo: " + reason + "; the music plays silently.\n");
}

bool OutputStalled() {
    std::lock_guard<std::mutex> guard(keeper.clockLock);
    return !keeper.givenUp.load() && keeper.clock.Stalled(Clock::now());
}

// The clock thread: makes each sync call when its row is heard, and watches for a stall a few
// times a second.
void KeepClock() {
    constexpr auto kWatchEvery = std::chrono::milliseconds(100);
    std::unique_lock<std::mutex> guard(keeper.clockLock);
    while (!keeper.quit) {
        const auto now = Clock::now();
        if (keeper.clock.NextDue() <= now ||
            (!keeper.givenUp.load() && keeper.clock.Stalled(now))) {
            guard.unlock();
            DeliverHeard(false);
            if (OutputStalled()) {
                GiveUpOutput();
            }
            guard.lock();
            continue;
        }
        keeper.wake.wait_until(guard, std::min(keeper.clock.NextDue(), now + kWatchEvery));
    }
}

void StartClock() {
    {
        std::lock_guard<std::mutex> guard(keeper.clockLock);
        keeper.clock = SoundClock(output.sampleRate);
        keeper.quit = false;
    }
    keeper.givenUp = false;
    if (!output.ownThread) {
        return;
    }
    try {
        keeper.thread = std::thread(KeepClock);
        keeper.running = true;
        keeper.queueing = true;
    } catch (const std::system_error&) {
        // Without the thread each call is made as its row is rendered, and no stall is seen.
    }
}

// Makes the calls still waiting and ends the clock thread, which waits for nothing but its lock.
void StopClock() {
    keeper.queueing = false;
    DeliverHeard(true);
    if (!keeper.running) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(keeper.clockLock);
        keeper.quit = true;
    }
    keeper.wake.notify_all();
    keeper.thread.join();
    keeper.running = false;
}

void SetPlaying(bool playing) {
    std::lock_guard<std::mutex> guard(keeper.clockLock);
    keeper.clock.SetPlaying(Clock::now(), playing);
}

// Waits until the playing module (if any) has rendered its ramp down, and until the output has
// played what it held up to there, so that pausing or closing it cuts nothing. The output's
// thread renders the ramp within a buffer or two; the limits only guard against an output that
// has stopped taking sound, where there is nothing left to click. An output on the main thread
// renders nothing while this runs: its ramp is in what it renders next.
void WaitUntilSilent() {
    if (!output.ownThread) {
        return;
    }
    constexpr auto kRenderLimit = std::chrono::milliseconds(200);
    constexpr auto kHeardLimit = std::chrono::milliseconds(200);
    const auto deadline = Clock::now() + kRenderLimit;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(midas.playerLock);
            if (midas.playing == nullptr || midas.playing->player.IsSilent()) {
                break;
            }
        }
        if (Clock::now() > deadline) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Clock::time_point heard;
    {
        std::lock_guard<std::mutex> guard(keeper.clockLock);
        heard = keeper.clock.RenderingHeard();
    }
    std::this_thread::sleep_until(std::min(heard, Clock::now() + kHeardLimit));
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
    return output.choose != nullptr ? output.choose() : SoundChoice::DefaultOutput;
}

void PauseOutput(bool paused) {
    std::lock_guard<std::mutex> guard(keeper.outputLock);
    if (output.pause != nullptr) {
        output.pause(paused);
    }
}

void CloseOutput() {
    std::lock_guard<std::mutex> guard(keeper.outputLock);
    keeper.outputOpen = false;
    if (output.close != nullptr) {
        output.close();
    }
}

// The callback, changed so that no call of the old one is made once this returns; the calls
// still waiting for the old one are not made.
void SetCallback(MIDASsyncCallback callback) {
    std::lock_guard<std::mutex> delivery(midas.deliveryLock);
    std::lock_guard<std::mutex> guard(midas.playerLock);
    if (callback != midas.callback) {
        std::lock_guard<std::mutex> clockGuard(keeper.clockLock);
        keeper.clock.Drop();
    }
    midas.callback = callback;
}

void Report(const std::string& line) {
    if (output.report != nullptr) {
        output.report(line);
    } else {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
}

} // namespace

void SetSoundOutput(const SoundOutput& installed) {
    output = installed;
}

void WatchSoundOutput() {
    if (OutputStalled()) {
        GiveUpOutput();
    }
}

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
    if (platform::output.open == nullptr) {
        return platform::Fail(platform::kErrorSoundOutput, "No sound output is installed");
    }
    std::string note;
    platform::StartClock();
    bool opened = false;
    {
        std::lock_guard<std::mutex> guard(platform::keeper.outputLock);
        opened = platform::output.open(!midas.noSound, platform::RenderMusic, note);
        platform::keeper.outputOpen = opened;
    }
    if (!opened) {
        platform::StopClock();
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
    platform::SetPlaying(false);
    platform::StopClock();
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
    platform::SetPlaying(true);
    platform::PauseOutput(false);
    return TRUE;
}

BOOL MIDAS_CALL MIDASstopBackgroundPlay(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::QuietenPlayback();
    platform::PauseOutput(true);
    platform::SetPlaying(false);
    platform::DeliverHeard(true);
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
    platform::PauseOutput(true);
    platform::SetPlaying(false);
    platform::DeliverHeard(true);
    midas.suspended = true;
    return TRUE;
}

BOOL MIDAS_CALL MIDASresume(void) {
    if (!midas.backgroundPlay) {
        return platform::Fail(platform::kErrorState);
    }
    platform::UnholdPlayback();
    platform::SetPlaying(true);
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
    }
    platform::SetCallback(nullptr);
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        if (midas.playing != nullptr) {
            midas.playing->player.Stop();
        }
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
    {
        std::lock_guard<std::mutex> guard(midas.playerLock);
        if (playHandle == 0 || playHandle != midas.handle) {
            return platform::Fail(platform::kErrorBadHandle);
        }
    }
    platform::SetCallback(callback);
    return TRUE;
}
