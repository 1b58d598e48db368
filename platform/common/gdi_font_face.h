// Where the system-style font's face comes from: the one question gdi_font.cpp asks of the system.
//
//   FindFontFace  names the face file to render (and the face's index within it) and the family
//                 it belongs to; false with a reason when there is none
// Linux asks fontconfig (gdi_font_fontconfig.cpp: Terminus first, then any monospace face); a
// build with no font configuration at all (the web page) brings its face inside the program
// and names that file. Called once, from the main thread.
#ifndef ZARVO_PLATFORM_COMMON_GDI_FONT_FACE_H
#define ZARVO_PLATFORM_COMMON_GDI_FONT_FACE_H

#include <string>

namespace platform {

struct FontFace {
    std::string file;
    int index = 0;
    std::string family;
};

bool FindFontFace(FontFace& face, std::string& error);

} // namespace platform

#endif
