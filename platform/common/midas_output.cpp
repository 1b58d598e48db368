// The sound library's side of its output: rendering the playing module, the sync calls made when
// their row is heard, the waits for the ramp down, and the output given up when it stalls.
//
// With an output that renders on a thread of its own the library runs a clock thread
// (sound_clock.h): it makes each sync call when its row is heard, not when it is rendered a
// buffer earlier, and gives the output up when it stalls, so that the show's clock runs on
// without it. Nothing here waits for the output without a bound: a device may be stuck for good.
// An output on the main thread has each call made as its row is rendered, and is watched by its
// backend through WatchSoundOutput.
//
// outputLock keeps the calls into the output one at a time (main thread and clock thread); it
// is taken with no other lock held.
#include "midas_output.h"

#include "sound_clock.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

Playback playback;

namespace {

using Clock = std::chrono::steady_clock;

// The installed backend's sound output (backend.h).
const SoundOutput& Output() {
    return InstalledBackend().midas;
}

// The heard clock and the thread that keeps it.
struct ClockKeeper {
    std::mutex clockLock; // guards clock and quit
    std::condition_variable wake;
    SoundClock clock;
    bool quit = false;
    std::thread thread;
    bool running = false;              // the thread runs (main thread only)
    std::atomic<bool> queueing{false}; // sync calls wait for the thread; read inside rendering
    std::mutex outputLock;
    bool outputOpen = false;          // guarded by outputLock
    std::atomic<bool> givenUp{false}; // the output stalled and was given up
};

ClockKeeper keeper;

void Deliver(unsigned syncInfo, unsigned order, unsigned row) {
    if (playback.callback != nullptr) {
        playback.callback(syncInfo, order, row);
        playback.syncsDelivered.fetch_add(1, std::memory_order_relaxed);
    }
}

// Makes the calls of rows already heard; with `all`, of every row rendered so far (the output
// has paused, or nothing more will be heard). Taking and calling under deliveryLock means no
// call of these rows is made once this returns.
void DeliverHeard(bool all) {
    thread_local std::vector<SyncCall> calls;
    calls.clear();
    std::lock_guard<std::mutex> delivery(playback.deliveryLock);
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

// The output's work: the playing module, or silence.
void RenderMusic(std::int16_t* out, std::size_t frames) {
    const auto now = Clock::now();
    const std::size_t latency =
        Output().ownThread && Output().latency != nullptr ? Output().latency() : 0;
    std::lock_guard<std::mutex> guard(playback.playerLock);
    {
        std::lock_guard<std::mutex> clockGuard(keeper.clockLock);
        keeper.clock.Rendered(now, frames, latency);
    }
    if (playback.playing != nullptr) {
        PlayerModule* module = playback.playing;
        playback.renderingBegan = module->player.FramesRendered();
        playback.framesPlayed +=
            static_cast<std::int64_t>(module->player.Render(out, frames, Output().sampleRate));
    } else {
        std::fill(out, out + frames * 2, static_cast<std::int16_t>(0));
    }
}

bool OutputStalled() {
    std::lock_guard<std::mutex> guard(keeper.clockLock);
    return !keeper.givenUp.load() && keeper.clock.Stalled(Clock::now());
}

// Lets go of an output that has stalled (once), and says so.
void GiveUpOutput() {
    std::string reason;
    {
        std::lock_guard<std::mutex> guard(keeper.outputLock);
        if (keeper.givenUp.exchange(true) || !keeper.outputOpen || Output().abandon == nullptr) {
            return;
        }
        reason = Output().abandon();
    }
    if (reason.empty()) {
        reason = "the sound output takes no sound";
    }
    Report("zarvo: " + reason + "; the music plays silently.\n");
}

// The clock thread: makes each sync call when its row is heard, and looks for a stall a few
// times a second.
void KeepClock() {
    constexpr auto kWatchEvery = std::chrono::milliseconds(100);
    std::unique_lock<std::mutex> guard(keeper.clockLock);
    while (!keeper.quit) {
        const auto now = Clock::now();
        const bool stalled = !keeper.givenUp.load() && keeper.clock.Stalled(now);
        if (keeper.clock.NextDue() <= now || stalled) {
            guard.unlock();
            DeliverHeard(false);
            if (stalled) {
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
        keeper.clock = SoundClock(Output().sampleRate);
        keeper.quit = false;
    }
    keeper.givenUp = false;
    if (!Output().ownThread) {
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

void PauseOutput(bool paused) {
    std::lock_guard<std::mutex> guard(keeper.outputLock);
    if (Output().pause != nullptr) {
        Output().pause(paused);
    }
}

} // namespace

SoundChoice ChooseOutput(std::string& device) {
    device.clear();
    return Output().choose != nullptr ? Output().choose(device) : SoundChoice::Play;
}

bool OpenOutput(bool wantDevice, const std::string& device, std::string& note) {
    if (Output().open == nullptr) {
        note = "No sound output is installed";
        return false;
    }
    StartClock();
    bool opened = false;
    {
        std::lock_guard<std::mutex> guard(keeper.outputLock);
        opened = Output().open(wantDevice, device, RenderMusic, note);
        keeper.outputOpen = opened;
    }
    if (!opened) {
        StopClock();
    }
    return opened;
}

void RunOutput(bool run) {
    if (run) {
        SetPlaying(true);
        PauseOutput(false);
    } else {
        PauseOutput(true);
        SetPlaying(false);
        DeliverHeard(true);
    }
}

void CloseOutput() {
    SetPlaying(false);
    StopClock();
    std::lock_guard<std::mutex> guard(keeper.outputLock);
    keeper.outputOpen = false;
    if (Output().close != nullptr) {
        Output().close();
    }
}

// Called by the player inside rendering (playerLock held).
void SyncToCallback(void* /*user*/, unsigned syncInfo, unsigned order, unsigned row) {
    if (playback.callback == nullptr) {
        return;
    }
    if (keeper.queueing.load(std::memory_order_relaxed) && playback.playing != nullptr) {
        const std::int64_t into =
            playback.playing->player.FramesRendered() - playback.renderingBegan;
        bool queued = false;
        {
            std::lock_guard<std::mutex> guard(keeper.clockLock);
            queued = keeper.clock.Queue(static_cast<std::size_t>(std::max<std::int64_t>(0, into)),
                                        syncInfo, order, row);
        }
        if (queued) {
            keeper.wake.notify_one();
            return;
        }
    }
    Deliver(syncInfo, order, row);
}

// The output's thread renders the ramp within a buffer or two, and plays what it holds within
// its latency; the limits only guard against an output that has stopped taking sound, where
// there is nothing left to click. An output on the main thread renders nothing while this runs:
// its ramp is in what it renders next.
void WaitUntilSilent() {
    if (!Output().ownThread) {
        return;
    }
    constexpr auto kRenderLimit = std::chrono::milliseconds(200);
    constexpr auto kHeardLimit = std::chrono::milliseconds(200);
    const auto deadline = Clock::now() + kRenderLimit;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(playback.playerLock);
            if (playback.playing == nullptr || playback.playing->player.IsSilent()) {
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

void QuietenPlayback() {
    {
        std::lock_guard<std::mutex> guard(playback.playerLock);
        if (playback.playing == nullptr) {
            return;
        }
        playback.playing->player.Pause();
    }
    WaitUntilSilent();
}

void UnholdPlayback() {
    std::lock_guard<std::mutex> guard(playback.playerLock);
    if (playback.playing != nullptr) {
        playback.playing->player.Resume();
    }
}

void SetCallback(MIDASsyncCallback callback) {
    std::lock_guard<std::mutex> delivery(playback.deliveryLock);
    std::lock_guard<std::mutex> guard(playback.playerLock);
    if (callback != playback.callback) {
        std::lock_guard<std::mutex> clockGuard(keeper.clockLock);
        keeper.clock.Drop();
    }
    playback.callback = callback;
}

void Report(const std::string& line) {
    if (Output().report != nullptr) {
        Output().report(line);
    } else {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
}

void WatchSoundOutput() {
    if (OutputStalled()) {
        GiveUpOutput();
    }
}

std::uint32_t MusicSyncsDelivered() {
    return playback.syncsDelivered.load(std::memory_order_relaxed);
}

MusicPlayed PlayingMusic() {
    std::lock_guard<std::mutex> guard(playback.playerLock);
    MusicPlayed played;
    if (playback.playing != nullptr) {
        played.playing = true;
        played.songSeconds = playback.playing->player.SongSeconds();
        played.frames = playback.framesPlayed;
    }
    return played;
}

MusicRow PlayingRow() {
    std::lock_guard<std::mutex> guard(playback.playerLock);
    MusicRow row;
    if (playback.playing != nullptr) {
        const ModulePlayer::Row at = playback.playing->player.Position();
        row.order = at.order;
        row.row = at.row;
    }
    return row;
}

void MoveMusicTo(int order, int row) {
    std::lock_guard<std::mutex> guard(playback.playerLock);
    if (playback.playing != nullptr) {
        playback.playing->player.MoveTo(order, row, Output().sampleRate);
    }
}

} // namespace platform
