// Exit codes and the closing summary of a capture.
#include "capture_ending.h"

#include <cstdio>

namespace capture {

int ExitCodeFor(Ending ending) {
    switch (ending) {
    case Ending::showEnded:
    case Ending::limitReached:
        return kExitFinished;
    case Ending::interrupted:
        return kExitInterrupted;
    case Ending::startPastEnd:
        return kExitUsage;
    case Ending::showDidNotEnd:
        return kExitShowDidNotEnd;
    case Ending::outputFailed:
        return kExitOutputFailed;
    case Ending::introFailed:
        return kExitIntroFailed;
    }
    return kExitOutputFailed;
}

// The enumeration lists the endings from the least to the most telling.
Ending MoreTelling(Ending a, Ending b) {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

std::string SummaryLine(const CaptureSummary& summary) {
    char head[200];
    char from[48] = "";
    if (summary.startSeconds > 0.0) {
        std::snprintf(from, sizeof(from), " (from %.2f s)", summary.startSeconds);
    }
    const double speed =
        summary.wallSeconds > 0.0 ? summary.fileSeconds / summary.wallSeconds : 0.0;
    std::snprintf(head, sizeof(head), "%lld frames, %.2f s of show%s, in %.1f s: %.1fx real time",
                  static_cast<long long>(summary.frames), summary.fileSeconds, from,
                  summary.wallSeconds, speed);
    std::string line = head;
    if (!summary.files.empty()) {
        line += "; wrote ";
        for (std::size_t i = 0; i < summary.files.size(); ++i) {
            line += (i > 0 ? ", " : "") + summary.files[i];
        }
    }
    return line;
}

} // namespace capture
