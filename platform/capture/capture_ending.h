// How a capture ended, the exit code that tells it, and the summary line of a finished capture.
//
// The exit codes (listed in --help):
//   0    the show ended by itself, or the files reached --max-seconds
//   1    a file could not be written, or the video could not be made
//   2    the command line is wrong; also --start past the show's end (known when it ends)
//   3    the intro stopped with an error (its message box text went to standard error)
//   4    the show did not end: the song played through once and the show was still going
//   130  Ctrl+C or a termination signal stopped it
// When several things happen, the more telling one decides (MoreTelling): an error of the intro
// explains the missing video that follows from it, and a failed write outweighs a Ctrl+C.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_ENDING_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_ENDING_H

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

enum class Ending {
    showEnded,
    limitReached,
    startPastEnd, // the show ended before --start: nothing captured
    interrupted,
    showDidNotEnd,
    outputFailed,
    introFailed
};

constexpr int kExitFinished = 0;
constexpr int kExitOutputFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitIntroFailed = 3;
constexpr int kExitShowDidNotEnd = 4;
constexpr int kExitInterrupted = 130;

int ExitCodeFor(Ending ending);

Ending MoreTelling(Ending a, Ending b);

struct CaptureSummary {
    std::int64_t frames = 0;        // frames in the files
    double fileSeconds = 0.0;       // the show time they cover
    double startSeconds = 0.0;      // where they begin in the show
    double wallSeconds = 0.0;       // real time the capture took
    std::vector<std::string> files; // what was written, as the user named it
};

// "18000 frames, 300.00 s of show (from 20.00 s), in 9.3 s: 32.3x real time; wrote ...". The
// speed is the show time in the files against the time taken: the part of the show before
// --start, run through but not written, does not count.
std::string SummaryLine(const CaptureSummary& summary);

} // namespace capture

#endif
