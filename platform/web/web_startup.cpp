// The web backend's start (backend.h) and end: the page's options, the backend's tables, the page
// told when the program has ended.
//
// The page passes the module it fetched as --module=PATH when the address named another module
// than the intro's own (zarvo.html?module=other.xm); nothing else is accepted. Exit codes: 0 on
// the intro's own roads, 2 for a wrong option (with the reason on the console).
#include "web_backend.h"
#include "web_bridge.h"

#include "gdi_font.h"
#include "module_file.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace web {

static constexpr int kUsageExit = 2;
static constexpr const char kModuleOption[] = "--module=";

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
        std::fprintf(stderr, "zarvo: unknown option '%s' (the page passes only --module=PATH)\n",
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
