// The capture's start (backend.h) and end: options, signals, the files, the exit code.
//
// The exit code says how the capture ended (capture_ending.h); WinMain's own result (always 0)
// is not needed for that.
#include "capture_backend.h"

#include "capture_ending.h"
#include "capture_options.h"
#include "capture_run.h"
#include "capture_video_encoder.h"
#include "gdi_font.h"
#include "module_file.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace capture {

static void OnStopSignal(int number) {
    // The first Ctrl+C asks for a stop with every file finished, the second also gives the
    // video up; the handler then steps aside, so a third ends the program at once. No restart
    // flag: a wait for ffmpeg or a write to it returns early and sees the request.
    RequestStopFromSignal();
    if (GiveUpRequested()) {
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigemptyset(&fallback.sa_mask);
        sigaction(number, &fallback, nullptr);
    }
}

static void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A dead ffmpeg shows up as a failed write, not as the end of the capture; a file that
    // reaches the size limit of the process, as a failed write too.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

// The intro may end the process itself (exit) when the display cannot be returned.
static void FinishAtExit() {
    EndRun();
}

static int Finish(int /*winMainResult*/) {
    return EndRun();
}

} // namespace capture

int StartBackend(int argc, char** argv, platform::Backend& backend) {
    capture::CaptureOptions options;
    std::string message;
    const char* name = argc > 0 ? argv[0] : "zarvo-capture";
    if (capture::ParseCaptureOptions(argc, argv, options, message) != capture::ParseResult::ok) {
        std::fprintf(stderr, "zarvo-capture: %s\n\n%s", message.c_str(),
                     capture::CaptureUsage(name).c_str());
        return capture::kExitUsage;
    }
    if (options.help) {
        std::fputs(capture::CaptureUsage(name).c_str(), stdout);
        return 0;
    }
    if (!options.videoFile.empty() && !capture::FfmpegAvailable()) {
        std::fprintf(stderr, "zarvo-capture: --video needs the ffmpeg program, which cannot be "
                             "started (install the ffmpeg package)\n");
        return capture::kExitOutputFailed;
    }
    if (!options.moduleFile.empty()) {
        platform::SetModuleFileOverride(options.moduleFile);
    }
    capture::InstallSignals();
    if (!capture::BeginRun(options, message)) {
        std::fprintf(stderr, "zarvo-capture: %s\n", message.c_str());
        capture::EndRun();
        return capture::kExitOutputFailed;
    }
    std::atexit(capture::FinishAtExit);
    backend.win32 = capture::CaptureWin32();
    backend.gdi.findFontFace = platform::FindFontconfigFace;
    backend.ddraw = capture::CaptureDisplay();
    backend.midas = capture::CaptureSound(options.fps, options.sampleRate);
    backend.finish = capture::Finish;
    return -1;
}
