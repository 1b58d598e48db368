// The SDL backend's start (backend.h) and end: the command line, SDL's video, the backend's
// tables, the frame log, and a clean exit when there is no display at all.
//
// Exit codes: 0 on the intro's own roads (also after an error message) and after --help or
// --version; 2 for a wrong command line, said in one line on standard error.
#include "sdl_backend.h"

#include "gdi_font.h"
#include "sdl_library_messages.h"
#include "module_file.h"
#include "sdl_audio_output.h"
#include "sdl_faults.h"
#include "sdl_frame_log.h"
#include "start_options.h"
#include "sdl_presenter.h"
#include "sdl_window.h"
#include "show_observation.h"
#include "study_mode.h"
#include "study_text.h"
#include "study_still.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace sdl {

static constexpr int kUsageExit = 2;

// The project's version, given by the build.
constexpr const char* kVersion = ZARVO_VERSION;

static void EndSdl(int exitCode) {
    static bool ended = false;
    if (ended) {
        return;
    }
    ended = true;
    CloseAudioOutput();
    CloseScreen();
    CloseSdlWindow();
    CloseFrameLog();
    // SDL's video part is not shut down: the process ends right after this, and the display
    // and D-Bus libraries it loaded stay mapped until then, so that what they keep for their
    // lifetime is still attributed to them (leak checkers report unmapped code anonymously).
    if (AudioOutputLeft()) {
        // A sound device that never let go may hold a stream whose flush at exit would wait
        // for it too: the process ends with only its own output flushed.
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(exitCode);
    }
}

static void EndSdlAtExit() {
    EndSdl(0);
}

// SDL falls back to drivers that show nothing when no display answers; they count as a
// display only when asked for by name (SDL_VIDEODRIVER).
static bool IsStandInDriver(const char* driver) {
    if (driver == nullptr) {
        return true;
    }
    const std::string name = driver;
    if (name != "offscreen" && name != "dummy") {
        return false;
    }
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return asked == nullptr || name != asked;
}

static int Finish(int winMainResult) {
    EndSdl(winMainResult);
    return winMainResult;
}

static std::uint32_t LightTurns() {
    return platform::ObserveShow().lightTurns;
}

} // namespace sdl

int StartBackend(int argc, char** argv, platform::Backend& backend) {
    platform::StartOptions options;
    std::string message;
    const char* name = argc > 0 ? argv[0] : "zarvo";
    if (!platform::ParseStartOptions(argc, argv, options, message)) {
        // One line, as common tools do: the whole usage would bury what was wrong.
        std::fprintf(stderr, "zarvo: %s; '%s --help' lists the options\n", message.c_str(), name);
        return sdl::kUsageExit;
    }
    if (options.help) {
        std::fputs(
            platform::StartUsage(name, "start fullscreen on the desktop (the default)\n", true)
                .c_str(),
            stdout);
        return 0;
    }
    if (options.version) {
        std::printf("zarvo %s\n", sdl::kVersion);
        return 0;
    }
    platform::SetStartOptions(options);
    if (!options.moduleFile.empty()) {
        platform::SetModuleFileOverride(options.moduleFile);
    }
    // The desktop keeps its mode, so a fullscreen window need not give way when it loses focus.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_APP_NAME, "Zarvo");
    // SDL's own signal handlers stay out: sdl_faults.h decides what termination signals do.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl::InstallFaultHandlers();
    sdl::QuietLibraryMessages();
    std::string reason;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        reason = SDL_GetError();
    } else if (sdl::IsStandInDriver(SDL_GetCurrentVideoDriver())) {
        reason = "no X11 or Wayland display answered";
        SDL_Quit();
    }
    if (reason.empty()) {
        sdl::WatchDisplayConnection();
    } else {
        std::fprintf(stderr,
                     "zarvo: no display to show the intro on (%s).\n"
                     "zarvo: start it from a graphical desktop session (X11 or Wayland).\n",
                     reason.c_str());
        return 0;
    }
    const int displays = SDL_GetNumVideoDisplays();
    if (options.display >= displays) {
        std::fprintf(stderr, "zarvo: --display %d: there is no monitor %d (monitors: 0 to %d)\n",
                     options.display, options.display, displays - 1);
        SDL_Quit();
        return sdl::kUsageExit;
    }
    // The intro may end the process itself (exit) when the display cannot be returned.
    std::atexit(sdl::EndSdlAtExit);
    sdl::OpenFrameLog(sdl::LightTurns);
    backend.win32 = sdl::SdlWin32();
    backend.gdi.findFontFace = platform::FindFontconfigFace;
    backend.ddraw = sdl::SdlDisplay();
    backend.midas = sdl::SdlSound();
    backend.finish = sdl::Finish;
    if (options.study) {
        platform::StudySettings study;
        study.writeStill = platform::WriteStillFile;
        study.siftKeys = platform::SiftQueuedStudyKeys;
        study.drawText = platform::DrawStudyText;
        platform::EnableStudy(backend, study);
    }
    return -1;
}
