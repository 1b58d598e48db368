// Start and end of zarvo-capture around WinMain: options, signals, the files, the exit code.
//
// Exit codes: the intro's own rules (0, also after an error message or Ctrl+C) unless the
// capture itself fails: 2 for a wrong command line, 1 when a file cannot be written or the
// video cannot be made.
#include "capture_options.h"
#include "capture_run.h"
#include "capture_startup.h"
#include "module_file.h"
#include "platform_startup.h"
#include "video_encoder.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace capture {

static constexpr int kUsageExit = 2;
static constexpr int kFailureExit = 1;

static void OnStopSignal(int) {
    // Only the first Ctrl+C asks nicely; the handler resets itself, so a second one ends the
    // program at once.
    RequestStopFromSignal();
}

static void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A dead ffmpeg shows up as a failed write, not as the end of the capture.
    std::signal(SIGPIPE, SIG_IGN);
}

// The intro may end the process itself (exit) when the display cannot be returned.
static void FinishAtExit() {
    EndRun();
}

} // namespace capture

int PlatformStartup(int argc, char** argv) {
    capture::CaptureOptions options;
    std::string message;
    const char* name = argc > 0 ? argv[0] : "zarvo-capture";
    if (capture::ParseCaptureOptions(argc, argv, options, message) != capture::ParseResult::ok) {
        std::fprintf(stderr, "zarvo-capture: %s\n\n%s", message.c_str(),
                     capture::CaptureUsage(name).c_str());
        return capture::kUsageExit;
    }
    if (options.help) {
        std::fputs(capture::CaptureUsage(name).c_str(), stdout);
        return 0;
    }
    if (!options.videoFile.empty() && !capture::FfmpegAvailable()) {
        std::fprintf(stderr, "zarvo-capture: --video needs the ffmpeg program, which cannot be "
                             "started (install the ffmpeg package)\n");
        return capture::kFailureExit;
    }
    if (!options.moduleFile.empty()) {
        platform::SetModuleFileOverride(options.moduleFile);
    }
    capture::InstallSignals();
    if (!capture::BeginRun(options, message)) {
        std::fprintf(stderr, "zarvo-capture: %s\n", message.c_str());
        capture::EndRun();
        return capture::kFailureExit;
    }
    std::atexit(capture::FinishAtExit);
    capture::InstallCaptureWindow();
    capture::InstallCaptureDisplay();
    return -1;
}

int PlatformFinish(int winMainResult) {
    const int outputs = capture::EndRun();
    return outputs != 0 ? outputs : winMainResult;
}
