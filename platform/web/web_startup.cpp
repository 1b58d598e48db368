// The web backend's start (backend.h) and end: the page's options, the backend's tables, the page
// told when the program has ended.
//
// The page passes the module it fetched as --module=PATH when the address named another module
// than the intro's own (zarvo.html?module=other.xm), and the show's pace as --fps=N or
// --fps=display when the address asks for one (zarvo.html?fps=display); nothing else is
// accepted. Exit codes: 0 on the intro's own roads, 2 for a wrong option (with the reason on
// the console).
#include "web_backend.h"
#include "web_bridge.h"

#include "frame_pace.h"
#include "gdi_font.h"
#include "module_file.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace web {

static constexpr int kUsageExit = 2;
static constexpr const char kModuleOption[] = "--module=";
static constexpr const char kPaceOption[] = "--fps=";

static int Finish(int winMainResult) {
    zarvo_web_finished(winMainResult);
    return winMainResult;
}

} // namespace web

int StartBackend(int argc, char** argv, platform::Backend& backend) {
    for (int i = 1; i < argc; ++i) {
        const std::size_t length = std::strlen(web::kModuleOption);
        if (std::strncmp(argv[i], web::kModuleOption, length) == 0 && argv[i][length] != '\0') {
            platform::SetModuleFileOverride(argv[i] + length);
            continue;
        }
        platform::PaceRequest pace;
        const std::size_t paceLength = std::strlen(web::kPaceOption);
        if (std::strncmp(argv[i], web::kPaceOption, paceLength) == 0 &&
            platform::ParsePace(argv[i] + paceLength, pace)) {
            web::SetWebPace(pace);
            continue;
        }
        std::fprintf(stderr,
                     "zarvo: unknown option '%s' (the page passes only --module=PATH and "
                     "--fps=N or --fps=display, N from 1 to 1000)\n",
                     argv[i]);
        zarvo_web_finished(web::kUsageExit);
        return web::kUsageExit;
    }
    backend.win32 = web::WebWin32();
    backend.gdi.findFontFace = platform::FindEmbeddedFontFace;
    backend.ddraw = web::WebDisplay();
    backend.midas = web::WebSound();
    backend.finish = web::Finish;
    return -1;
}
