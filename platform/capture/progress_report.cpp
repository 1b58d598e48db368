// Progress text and its pacing on standard error.
#include "progress_report.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace capture {

static constexpr double kTerminalInterval = 0.25;
static constexpr double kLogInterval = 5.0;

double EstimateSecondsLeft(const ProgressState& state) {
    if (state.wallSeconds <= 0.0 || state.showSeconds <= 0.0) {
        return -1.0;
    }
    const double speed = state.showSeconds / state.wallSeconds;
    double showLeft = -1.0;
    if (state.phase == Phase::fade || state.phase == Phase::hold) {
        showLeft = 0.0;
    } else if (state.syncCount > 0) {
        const double syncsPerSecond = state.syncCount / state.showSeconds;
        const double syncsLeft =
            state.syncCount < kExpectedEndCount ? kExpectedEndCount - state.syncCount : 0.0;
        showLeft = syncsLeft / syncsPerSecond;
    }
    if (state.maxSeconds > 0.0) {
        const double limitLeft = std::max(0.0, state.maxSeconds - state.showSeconds);
        showLeft = showLeft < 0.0 ? limitLeft : std::min(showLeft, limitLeft);
    }
    return showLeft < 0.0 ? -1.0 : showLeft / speed;
}

std::string FormatProgress(const ProgressState& state) {
    char line[160];
    const double speed = state.wallSeconds > 0.0 ? state.showSeconds / state.wallSeconds : 0.0;
    const double left = EstimateSecondsLeft(state);
    char leftText[40] = "time left unknown";
    if (left >= 0.0) {
        std::snprintf(leftText, sizeof(leftText), "about %.0f s left", left);
    }
    std::snprintf(line, sizeof(line),
                  "frame %lld  sync %u  %-7s  %.1f s of show  %.2fx real time  %s",
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
}

} // namespace capture
