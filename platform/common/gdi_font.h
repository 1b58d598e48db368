// The one font of every device context: a classic 16-pixel system-style face, drawn without
// smoothing.
//
// The face is the one the backend names (backend.h), rendered with FreeType as 1-bit glyphs, so
// text looks like the bitmap system font of the period. Loaded once, on first use, from the main
// thread.
//   AcquireSystemFont     the loaded font, or null when none could be loaded (the reason goes to
//                         standard error once)
// The faces a backend may name (each compiled where it can be had):
//   FindFontconfigFace    through fontconfig, on Linux: Terminus first, then any monospace face
//                         (gdi_font_fontconfig.cpp)
//   FindEmbeddedFontFace  the face built into the program, where there is no font
//                         configuration to ask (gdi_font_embedded.cpp)
// Characters are single bytes of Windows code page 1252.
#ifndef ZARVO_PLATFORM_COMMON_GDI_FONT_H
#define ZARVO_PLATFORM_COMMON_GDI_FONT_H

#include "backend.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The classic system font's cell height in pixels.
constexpr int kSystemFontPixels = 16;

struct Glyph {
    int advance = 0; // pen advance in pixels
    int left = 0;    // bitmap offset from the pen position
    int top = 0;     // bitmap rows above the baseline
    int width = 0;   // bitmap size
    int rows = 0;
    std::vector<std::uint8_t> coverage; // width * rows, 1 where the glyph sets a pixel
};

struct SystemFont {
    std::string family;
    std::string file;
    int ascent = 0; // baseline below the cell top
    int height = 0; // cell height
    Glyph glyphs[256];
};

const SystemFont* AcquireSystemFont();

bool FindFontconfigFace(FontFace& face, std::string& error);
bool FindEmbeddedFontFace(FontFace& face, std::string& error);

// The Unicode code point of a code page 1252 byte.
std::uint32_t CodePage1252ToUnicode(unsigned char byte);

} // namespace platform

#endif
