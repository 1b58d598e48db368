// The virtual clock of the capture: frame bookkeeping, the music of each frame, stop and finish.
#include "capture_run.h"

#include "capture_music.h"
#include "capture_session.h"
#include "frame_phase.h"
#include "progress_report.h"
#include "show_observation.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <vector>

namespace capture {

struct RunState {
    CaptureOptions options;
    CaptureSession session;
    ProgressReport progress;
    std::int64_t frames = 0;     // frames presented
    std::int64_t frameLimit = 0; // 0: none
    std::int64_t samplesDone = 0;
    std::vector<std::int16_t> audio;
    FrameTrace trace;
    Phase lastPhase = Phase::opening;
    std::uint32_t lastSyncCount = 0;
    bool begun = false;
    bool ended = false;
    bool failed = false;
    bool stopRequested = false;
};

static RunState run;
static volatile std::sig_atomic_t signalStop = 0;

static void Fail(const std::string& message) {
    std::fprintf(stderr, "\nzarvo-capture: %s\n", message.c_str());
    std::fflush(stderr);
    run.failed = true;
    run.stopRequested = true;
}

bool BeginRun(const CaptureOptions& options, std::string& error) {
    run.options = options;
    run.frameLimit = FrameLimit(options);
    if (!run.session.Open(options, error)) {
        return false;
    }
    run.begun = true;
    run.progress.Begin(options.progress);
    return true;
}

const CaptureOptions& RunOptions() {
    return run.options;
}

void NoteLoopPass() {
    const ShowObservation seen = ObserveShow();
    run.trace.sphereXStart = seen.sphereX;
    run.trace.sphereZStart = seen.sphereZ;
    run.trace.lightBlueStart = seen.lightBlue;
    run.trace.lastMainTickStart = seen.lastMainTick;
}

void NoteFrameLocked() {
    run.trace.locked = true;
}

static ProgressState Progress() {
    ProgressState state;
    state.frames = run.frames;
    state.syncCount = run.lastSyncCount;
    state.phase = run.lastPhase;
    state.showSeconds = static_cast<double>(run.samplesDone) / run.options.sampleRate;
    state.maxSeconds = run.options.maxSeconds;
    return state;
}

void PresentCapturedFrame(const std::uint32_t* pixels) {
    if (!run.begun || run.ended || run.failed) {
        return;
    }
    FrameTrace& trace = run.trace;
    const ShowObservation seen = ObserveShow();
    trace.sphereXEnd = seen.sphereX;
    trace.sphereZEnd = seen.sphereZ;
    trace.lightBlueEnd = seen.lightBlue;
    trace.syncCount = SyncsDelivered(); // the count the show reads: one per sync event delivered
    const Phase phase = ClassifyFrame(trace);

    std::string error;
    if (!run.session.AddFrame(run.frames, trace.syncCount, phase, pixels, error)) {
        Fail(error);
        return;
    }
    // The sound heard while this frame is on screen.
    const std::int64_t end = FrameEndSample(run.frames, run.options.fps, run.options.sampleRate);
    const auto count = static_cast<std::size_t>(end - run.samplesDone);
    run.audio.resize(count * 2);
    RenderMusicSpan(run.audio.data(), count, run.options.sampleRate);
    if (!run.session.AddAudio(run.audio.data(), count, error)) {
        Fail(error);
        return;
    }
    run.samplesDone = end;
    ++run.frames;
    run.lastPhase = phase;
    run.lastSyncCount = trace.syncCount;
    // The next frame starts here: its reads of the count see every W command heard so far.
    DeliverPendingSyncs();
    trace.locked = false;

    run.progress.Update(Progress());
    if (run.frameLimit > 0 && run.frames >= run.frameLimit) {
        run.stopRequested = true;
    }
}

bool StopRequested() {
    return run.stopRequested || signalStop != 0;
}

void RequestStop(const char* reason) {
    if (reason != nullptr && !run.stopRequested) {
        std::fprintf(stderr, "\nzarvo-capture: %s\n", reason);
    }
    run.stopRequested = true;
}

void RequestStopFromSignal() {
    signalStop = 1;
}

std::int64_t FramesPresented() {
    return run.frames;
}

int EndRun() {
    if (!run.begun || run.ended) {
        return run.failed ? 1 : 0;
    }
    run.ended = true;
    run.progress.Finish(Progress());
    if (signalStop != 0) {
        std::fprintf(stderr,
                     "zarvo-capture: stopped early; the files hold the %lld frames "
                     "shown so far\n",
                     static_cast<long long>(run.frames));
    }
    std::string error;
    if (!run.session.Close(error)) {
        std::fprintf(stderr, "zarvo-capture: %s\n", error.c_str());
        run.failed = true;
    }
    std::fflush(stderr);
    return run.failed ? 1 : 0;
}

} // namespace capture
