// The font face built into the program's own file system, for a build with no font configuration
// to ask: the build embeds the face at kEmbeddedFontFile (platform/web/CMakeLists.txt).
#include "gdi_font.h"

#include <sys/stat.h>

namespace platform {

static constexpr const char* kEmbeddedFontFile = "/fonts/system.ttf";
static constexpr const char* kEmbeddedFontFamily = "Terminus (TTF)";

bool FindEmbeddedFontFace(FontFace& face, std::string& error) {
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
