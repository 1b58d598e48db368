// The virtual clock of the capture: frame bookkeeping, the music of each frame, stop and finish.
#include "capture_run.h"

#include "capture_ending.h"
#include "capture_music.h"
#include "capture_session.h"
#include "midas_playback.h"
#include "capture_progress_report.h"
#include "show_observation.h"
#include "sound_ramp.h"

#include <algorithm>
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
    std::int64_t firstFrame = 0; // the first frame the files hold (--start)
    std::int64_t frameLimit = 0; // frames the files may hold; 0: no limit
    std::int64_t samplesDone = 0;
    std::vector<std::int16_t> audio;
    Phase lastPhase = Phase::opening;
    std::uint32_t lastSyncCount = 0;
    Ending ending = Ending::showEnded;
    bool begun = false;
    bool ended = false;
    bool failed = false;
    bool stopRequested = false;
};

static RunState run;
static volatile std::sig_atomic_t signalStop = 0;
static volatile std::sig_atomic_t signalGiveUp = 0;

static void Note(Ending ending) {
    run.ending = MoreTelling(run.ending, ending);
}

static void Fail(const std::string& message) {
    // A write to ffmpeg cut short by a second Ctrl+C is the video given up, not a failure.
    if (!GiveUpRequested()) {
        std::fprintf(stderr, "\nzarvo-capture: %s\n", message.c_str());
        std::fflush(stderr);
        Note(Ending::outputFailed);
    }
    run.failed = true;
    run.stopRequested = true;
}

bool BeginRun(const CaptureOptions& options, std::string& error) {
    run.options = options;
    run.firstFrame = FirstFrame(options);
    run.frameLimit = FrameLimit(options);
    run.session.SetGiveUpFlag(&signalGiveUp);
    if (!run.session.Open(options, error)) {
        Note(Ending::outputFailed);
        return false;
    }
    run.begun = true;
    run.progress.Begin(options.progress);
    return true;
}

// Show time presented so far.
static double ShowSeconds() {
    return static_cast<double>(run.samplesDone) / run.options.sampleRate;
}

static ProgressState Progress() {
    ProgressState state;
    state.frames = run.frames;
    state.syncCount = run.lastSyncCount;
    state.phase = run.lastPhase;
    state.showSeconds = ShowSeconds();
    if (run.options.maxSeconds > 0.0) {
        state.maxSeconds =
            static_cast<double>(FrameEndSample(run.firstFrame + run.frameLimit - 1, run.options.fps,
                                               run.options.sampleRate)) /
            run.options.sampleRate;
    }
    state.songSeconds = SongSeconds();
    return state;
}

// Without a limit, a show still going when the song has played through once is stopped: its
// clock is stuck or it holds, and without the stop it would run until the disk is full. That
// bounds every capture by the song's length. True when the stop was asked for now.
static bool StopAtTheSongsEnd() {
    if (run.options.maxSeconds > 0.0 || run.stopRequested || !SongPlayedThrough(run.samplesDone)) {
        return false;
    }
    char reason[240];
    if (SongSeconds() <= 0.0) {
        std::snprintf(reason, sizeof(reason),
                      "the module's song is over at once (its order list plays no pattern), so "
                      "the show cannot run; stopping.");
    } else {
        std::snprintf(reason, sizeof(reason),
                      "the song has played through once (%.1f s) and the show has not reached "
                      "its end (sync count %u, %s); stopping. Give --max-seconds to capture "
                      "such a show.",
                      SongSeconds(), run.lastSyncCount, PhaseName(run.lastPhase));
    }
    RequestStop(reason);
    return true;
}

void PresentCapturedFrame(const std::uint32_t* pixels) {
    if (!run.begun || run.ended || run.failed) {
        return;
    }
    // A song can be over before any frame: one that is over at once shows nothing.
    if (StopAtTheSongsEnd()) {
        return;
    }
    // The show's own record of the frame, and the count it read: one per sync event delivered.
    const Phase phase = platform::ObserveShow().phase;
    const std::uint32_t syncCount = platform::MusicSyncsDelivered();

    // The sound heard while this frame is on screen (before --start it is heard by nobody). The
    // W commands met in it reach the show now, after the frame's reads of the clock: the next
    // frame sees every one heard so far.
    const std::size_t count = RenderFrameSound(run.frames, run.audio);
    std::string error;
    if (run.frames >= run.firstFrame &&
        !run.session.AddFrame(syncCount, phase, pixels, run.audio.data(), count, error)) {
        Fail(error);
        return;
    }
    run.samplesDone = FrameEndSample(run.frames, run.options.fps, run.options.sampleRate);
    ++run.frames;
    run.lastPhase = phase;
    run.lastSyncCount = syncCount;

    run.progress.Update(Progress());
    if (run.frameLimit > 0 && run.session.FramesWritten() >= run.frameLimit) {
        Note(Ending::limitReached);
        run.stopRequested = true;
    } else {
        StopAtTheSongsEnd();
    }
}

bool StopRequested() {
    return run.stopRequested || signalStop != 0;
}

void RequestStop(const char* reason) {
    if (reason != nullptr && !run.stopRequested) {
        std::fprintf(stderr, "\nzarvo-capture: %s\n", reason);
        std::fflush(stderr);
    }
    Note(Ending::showDidNotEnd);
    run.stopRequested = true;
}

void RequestStopFromSignal() {
    if (signalStop != 0) {
        signalGiveUp = 1;
    }
    signalStop = 1;
}

bool GiveUpRequested() {
    return signalGiveUp != 0;
}

void NoteIntroFailure() {
    // The intro's message comes on a line of its own, and no state of the show after it.
    run.progress.Abandon();
    Note(Ending::introFailed);
}

// What the capture wrote, as the user named it.
static std::vector<std::string> FilesWritten() {
    const std::string& out = run.options.outDir;
    std::vector<std::string> files;
    if (run.options.writeFrames) {
        files.push_back(out + "/frames/ (" + std::to_string(run.session.FramesWritten()) + " PNG)");
    }
    files.push_back(out + "/audio.wav");
    files.push_back(out + "/frames.csv");
    if (run.session.VideoMade()) {
        files.push_back(run.options.videoFile);
    }
    return files;
}

// The last words on standard error: why the capture ended, unless the show simply ended.
static void ReportEnding() {
    const auto frames = static_cast<long long>(run.session.FramesWritten());
    const bool videoLost = !run.options.videoFile.empty() && !run.session.VideoMade();
    const char* video = videoLost ? "; no video was made" : "";
    switch (run.ending) {
    case Ending::introFailed:
        std::fprintf(stderr,
                     "zarvo-capture: the intro stopped with an error (above); the files "
                     "hold the %lld frames shown before it%s\n",
                     frames, video);
        break;
    case Ending::outputFailed:
        std::fprintf(stderr,
                     "zarvo-capture: the files hold the first %lld frames, each with its "
                     "%s and sound%s\n",
                     frames, run.options.writeFrames ? "picture, row" : "row", video);
        break;
    case Ending::interrupted:
        std::fprintf(stderr,
                     "zarvo-capture: stopped early; the files hold the %lld frames shown "
                     "so far%s\n",
                     frames, GiveUpRequested() ? "; the video was given up" : "");
        break;
    case Ending::showEnded:
        // Nothing failed: the command line asked for a part of the show that is not there.
        if (frames == 0 && run.firstFrame > 0) {
            std::fprintf(stderr,
                         "zarvo-capture: --start %.2f lies past the show's end: the show ended "
                         "at %.2f s, and nothing was captured\n",
                         run.options.startSeconds, ShowSeconds());
            run.ending = Ending::startPastEnd;
        }
        break;
    case Ending::startPastEnd:
    case Ending::limitReached:
    case Ending::showDidNotEnd:
        break;
    }
}

// The sound stops where the capture ends, so its last few ms ramp down to silence, as the
// players' sound does when stopped, rather than end the file on a click. The last frame's
// sound is still at hand in run.audio.
static void RampDownTheEnd() {
    const std::size_t frames = run.audio.size() / 2;
    // Nothing to ramp when the files hold no frame (a failure, or a --start never reached).
    if (run.failed || run.session.FramesWritten() == 0 || frames == 0) {
        return;
    }
    const std::size_t ramp = std::min(frames, platform::RampFrames(run.options.sampleRate));
    std::int16_t* end = run.audio.data() + 2 * (frames - ramp);
    platform::FadeOutEnd(end, ramp, run.options.sampleRate);
    std::string error;
    if (!run.session.RewriteAudioEnd(end, ramp, error)) {
        Fail(error);
    }
}

int EndRun() {
    if (!run.begun || run.ended) {
        return ExitCodeFor(run.ending);
    }
    run.ended = true;
    RampDownTheEnd();
    if (signalStop != 0) {
        Note(Ending::interrupted);
    }
    run.progress.Finish(Progress());
    std::string error;
    // After a second Ctrl+C the video is given up on purpose: its loss is no failure.
    if (!run.session.Close(error) && !GiveUpRequested()) {
        if (!error.empty() && !run.failed) { // a failure during the frames is told already
            std::fprintf(stderr, "zarvo-capture: %s\n", error.c_str());
        }
        Note(Ending::outputFailed);
    }
    ReportEnding();
    if (run.options.progress) {
        CaptureSummary summary;
        summary.frames = run.session.FramesWritten();
        summary.startSeconds = static_cast<double>(FrameEndSample(
                                   run.firstFrame - 1, run.options.fps, run.options.sampleRate)) /
                               run.options.sampleRate;
        const std::int64_t last = run.firstFrame + summary.frames - 1;
        summary.fileSeconds =
            static_cast<double>(FrameEndSample(last, run.options.fps, run.options.sampleRate)) /
                run.options.sampleRate -
            summary.startSeconds;
        summary.wallSeconds = run.progress.WallSeconds();
        summary.files = FilesWritten();
        std::fprintf(stderr, "zarvo-capture: %s\n", SummaryLine(summary).c_str());
    }
    std::fflush(stderr);
    return ExitCodeFor(run.ending);
}

} // namespace capture
