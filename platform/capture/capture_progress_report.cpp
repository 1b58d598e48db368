// Progress text and its pacing on standard error.
#include "capture_progress_report.h"

#include "capture_session.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace capture {

static constexpr double kTerminalInterval = 0.25;
static constexpr double kLogInterval = 5.0;

double ExpectedShowSeconds(const ProgressState& state) {
    double end = -1.0;
    if (state.phase == Phase::fade) {
        end = state.showSeconds; // a few frames from the end
    } else if (state.phase != Phase::hold && state.syncCount > 0 && state.showSeconds > 0.0) {
        const double syncsPerSecond = state.syncCount / state.showSeconds;
        const double syncsLeft =
            state.syncCount < kExpectedEndCount ? kExpectedEndCount - state.syncCount : 0.0;
        end = state.showSeconds + syncsLeft / syncsPerSecond;
    }
    // A show still going at the song's end (one that holds, or whose clock is slow) stops there
    // unless a limit is given; a limit stops any show.
    if (state.maxSeconds > 0.0) {
        end = end < 0.0 ? state.maxSeconds : std::min(end, state.maxSeconds);
    } else if (state.songSeconds > 0.0) {
        end = end < 0.0 ? state.songSeconds : std::min(end, state.songSeconds);
    }
    return end < 0.0 ? -1.0 : std::max(end, state.showSeconds);
}

double EstimateSecondsLeft(const ProgressState& state) {
    if (state.wallSeconds <= 0.0 || state.showSeconds <= 0.0) {
        return -1.0;
    }
    const double speed = state.showSeconds / state.wallSeconds;
    const double end = ExpectedShowSeconds(state);
    return end < 0.0 ? -1.0 : (end - state.showSeconds) / speed;
}

std::string FormatProgress(const ProgressState& state) {
    char line[200];
    const double speed = state.wallSeconds > 0.0 ? state.showSeconds / state.wallSeconds : 0.0;
    const double left = EstimateSecondsLeft(state);
    char leftText[40] = "time left unknown";
    if (left >= 0.0) {
        std::snprintf(leftText, sizeof(leftText), "about %.0f s left", left);
    }
    const double end = ExpectedShowSeconds(state);
    char done[16] = " --%";
    if (end > 0.0) {
        std::snprintf(done, sizeof(done), "%3.0f%%",
                      std::min(100.0, 100.0 * state.showSeconds / end));
    }
    std::snprintf(line, sizeof(line),
                  "%s  frame %lld  sync %u  %-7s  %.1f s of show  %.2fx real time  %s", done,
                  static_cast<long long>(state.frames), state.syncCount, PhaseName(state.phase),
                  state.showSeconds, speed, leftText);
    return line;
}

void ProgressReport::Begin(bool enabled) {
    enabled_ = enabled;
    terminal_ = isatty(STDERR_FILENO) != 0;
    start_ = last_ = std::chrono::steady_clock::now();
}

double ProgressReport::WallSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressReport::Update(ProgressState state) {
    if (!enabled_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const double since = std::chrono::duration<double>(now - last_).count();
    if (since < (terminal_ ? kTerminalInterval : kLogInterval)) {
        return;
    }
    last_ = now;
    state.wallSeconds = WallSeconds();
    const std::string text = FormatProgress(state);
    if (terminal_) {
        std::fprintf(stderr, "\r%s\033[K", text.c_str());
        lineInPlace_ = true;
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::fflush(stderr);
}

void ProgressReport::Finish(ProgressState state) {
    if (!enabled_) {
        return;
    }
    state.wallSeconds = WallSeconds();
    const std::string text = FormatProgress(state);
    std::fprintf(stderr, terminal_ ? "\r%s\033[K\n" : "%s\n", text.c_str());
    std::fflush(stderr);
    enabled_ = false;
    lineInPlace_ = false;
}

void ProgressReport::Abandon() {
    if (lineInPlace_) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    enabled_ = false;
    lineInPlace_ = false;
}

} // namespace capture
