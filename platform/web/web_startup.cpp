// The web backend's start (backend.h) and end: the page's options, the backend's tables, the page
// told when the program has ended.
//
// The page passes the module it fetched as --module=PATH when the address named another module
// than the intro's own (zarvo.html?module=other.xm), and the show's pace as --fps=N or
// --fps=display when the address asks for one (zarvo.html?fps=display), and --study for the
// study mode (zarvo.html?study, or the first screen's Study button); nothing else is accepted. Exit
// codes: 0 on the intro's own roads, 2 for a wrong option (with the reason on the console).
#include "web_backend.h"
#include "web_bridge.h"

#include "frame_pace.h"
#include "gdi_font.h"
#include "module_file.h"
#include "study_mode.h"
#include "study_text.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace web {

static constexpr int kUsageExit = 2;
static constexpr const char kModuleOption[] = "--module=";
static constexpr const char kPaceOption[] = "--fps=";

// A still goes to the page, which offers it as a download.
static bool SaveStill(const std::string& path, const std::string& line, const std::uint32_t* pixels,
                      std::string&) {
    constexpr int kWidth = 320;
    constexpr int kHeight = 200;
    std::vector<std::uint8_t> rgba(kWidth * kHeight * 4);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        rgba[i * 4] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<std::uint8_t>(pixels[i]);
        rgba[i * 4 + 3] = 0xFF;
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    zarvo_web_save_still(rgba.data(), kWidth, kHeight, name.c_str(), line.c_str());
    return true;
}

static int Finish(int winMainResult) {
    zarvo_web_finished(winMainResult);
    return winMainResult;
}

} // namespace web

int StartBackend(int argc, char** argv, platform::Backend& backend) {
    bool study = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--study") == 0) {
            study = true;
            continue;
        }
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
                     "zarvo: unknown option '%s' (the page passes only --module=PATH, "
                     "--fps=N or --fps=display, N from 1 to 1000, and --study)\n",
                     argv[i]);
        zarvo_web_finished(web::kUsageExit);
        return web::kUsageExit;
    }
    backend.win32 = web::WebWin32();
    backend.gdi.findFontFace = platform::FindEmbeddedFontFace;
    backend.ddraw = web::WebDisplay();
    backend.midas = web::WebSound();
    backend.finish = web::Finish;
    if (study) {
        platform::StudySettings settings;
        settings.writeStill = web::SaveStill;
        settings.siftKeys = platform::SiftQueuedStudyKeys;
        settings.drawText = platform::DrawStudyText;
        platform::EnableStudy(backend, settings);
    }
    return -1;
}
