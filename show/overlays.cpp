// DrawOpeningTitle, DrawTitle and DrawCaption.
#include "show/overlays.h"

#include <cstring>

#include <windows.h>

#include "app/app_state.h"
#include "display/frame_access.h"
#include "display/frame_format.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr int kCaptionCount = 35;

const char kOpeningTitle[] = "Quillmoor presents...";
const char kProgramTitle[] = "Zarvo!";

int Length(const char* text) {
    return static_cast<int>(std::strlen(text));
}

// Measures the text and finds its centred top-left corner; signed division, so a text wider
// than the picture gets a negative x truncated towards zero. Returns 0 if the measure fails, in
// which case the device context is given back and the show ends without a message.
int CentreText(const char* text, POINT& corner) {
    SIZE size{};
    if (!GetTextExtentPoint32A(appState.surfaceDC, text, Length(text), &size)) {
        EndText();
        return 0;
    }
    corner.x = (kPictureWidth - size.cx) / 2;
    corner.y = (kPictureHeight - size.cy) / 2;
    return 1;
}

} // namespace

int DrawOpeningTitle() {
    if (!BeginText()) {
        return 0;
    }
    POINT corner{};
    if (!CentreText(kOpeningTitle, corner)) {
        return 0;
    }
    // The background mode stays the context's default, opaque: the text sits on a black box.
    SetBkColor(appState.surfaceDC, kBlack);
    SetTextColor(appState.surfaceDC, kWhite);
    TextOutA(appState.surfaceDC, corner.x, corner.y, kOpeningTitle, Length(kOpeningTitle));
    return EndText();
}

int DrawTitle() {
    if (!BeginText()) {
        return 0;
    }
    POINT corner{};
    if (!CentreText(kProgramTitle, corner)) {
        return 0;
    }
    SetBkMode(appState.surfaceDC, TRANSPARENT);
    SetTextColor(appState.surfaceDC, kWhite);
    TextOutA(appState.surfaceDC, corner.x, corner.y, kProgramTitle, Length(kProgramTitle));
    return EndText();
}

int DrawCaption(int index) {
    // Guards the table itself rather than trusting every caller: nothing is due, nothing drawn.
    if (index < 0 || index >= kCaptionCount || captionTable[index] == nullptr) {
        return 1;
    }
    if (!BeginText()) {
        return 0;
    }
    const char* caption = captionTable[index];
    SetBkMode(appState.surfaceDC, TRANSPARENT);
    SetTextColor(appState.surfaceDC, kWhite);
    TextOutA(appState.surfaceDC, 0, 0, caption, Length(caption));
    return EndText();
}
