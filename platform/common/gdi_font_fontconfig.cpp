// The system-style font's face found through fontconfig, for the Linux backends (gdi_font.h).
#include "gdi_font.h"

#include <fontconfig/fontconfig.h>

namespace platform {

// Families tried in order; the first that fontconfig really has wins. "monospace" always
// resolves to something when any font is installed.
static const char* const kFamilies[] = {"Terminus (TTF)", "Terminus", "monospace"};

// Asks fontconfig for a family and returns the file it resolves to, with the family it
// really found; an empty file when it has none.
static bool MatchFamily(const char* family, bool exact, std::string& file, int& index,
                        std::string& found) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, kSystemFontPixels);
    FcPatternAddBool(pattern, FC_ANTIALIAS, FcFalse);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* path = nullptr;
    FcChar8* name = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
              FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch;
    if (ok) {
        found = reinterpret_cast<const char*>(name);
        ok = !exact || found == family;
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) {
            index = 0;
        }
    }
    FcPatternDestroy(match);
    return ok;
}

bool FindFontconfigFace(FontFace& face, std::string& error) {
    if (FcInit() == FcFalse) {
        error = "fontconfig could not be initialised";
        return false;
    }
    bool matched = false;
    for (const char* family : kFamilies) {
        const bool exact = std::string(family) != "monospace";
        if (MatchFamily(family, exact, face.file, face.index, face.family)) {
            matched = true;
            break;
        }
    }
    // Every glyph is rasterised once the face is found, so fontconfig is not needed again: its
    // configuration and caches are given back now.
    FcFini();
    if (!matched) {
        error = "fontconfig found no font at all";
        return false;
    }
    return true;
}

} // namespace platform
