// USER32/GDI32 services that every real backend answers alike: icon, cursor and stock objects
// (the cursor's visibility is the backend's effect, win32_services.h).
#include "win32_services.h"

#include "win32_resources.h"

#include <windows.h>

#include <cstdint>

namespace platform {

// Handles only need to be distinct and non-null; nothing looks inside them.
static int arrowCursor;
static int blackBrush;

static void (*cursorShown)(bool shown) = nullptr;

void SetCursorEffect(void (*shown)(bool shown)) {
    cursorShown = shown;
}

} // namespace platform

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    // The program's own module holds its icons; resource names are numbers here.
    const auto id = reinterpret_cast<std::uintptr_t>(iconName);
    if (instance == nullptr || id > 0xFFFF) {
        return nullptr;
    }
    return platform::FindIconResource(static_cast<int>(id));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName) {
    if (instance != nullptr || cursorName != IDC_ARROW) {
        return nullptr; // only the system's arrow is known
    }
    return reinterpret_cast<HCURSOR>(&platform::arrowCursor);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    static HCURSOR current = reinterpret_cast<HCURSOR>(&platform::arrowCursor);
    const HCURSOR before = current;
    current = cursor;
    if (platform::cursorShown != nullptr) {
        platform::cursorShown(cursor != nullptr);
    }
    return before;
}

HGDIOBJ WINAPI GetStockObject(int object) {
    return object == BLACK_BRUSH ? reinterpret_cast<HGDIOBJ>(&platform::blackBrush) : nullptr;
}
