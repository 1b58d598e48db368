// The web page's font face: the Linux build's Terminus, built into the program's file system.
//
// A page has no font configuration to ask, so the face file travels with the program (the
// build embeds it at kEmbeddedFontFile; platform/web/CMakeLists.txt) and is named here.
#include "gdi_font_face.h"

#include <sys/stat.h>

namespace platform {

static constexpr const char* kEmbeddedFontFile = "/fonts/system.ttf";
static constexpr const char* kEmbeddedFontFamily = "Terminus (TTF)";

bool FindFontFace(FontFace& face, std::string& error) {
    struct stat info {};
    if (stat(kEmbeddedFontFile, &info) != 0) {
        error = std::string("the page holds no font at ") + kEmbeddedFontFile;
        return false;
    }
    face.file = kEmbeddedFontFile;
    face.index = 0;
    face.family = kEmbeddedFontFamily;
    return true;
}

} // namespace platform
