// The program's resource section: its one icon, for LoadIconA and the backends' windows.
#include "win32_resources.h"

#include "zarvo_icon.h"

namespace platform {

// The icon's resource number, as the intro asks for it (IDI_ZARVO) and zarvo.rc numbers it for
// Windows.
static constexpr int kProgramIconId = 101;

// A handle only needs to be distinct and non-null; nothing looks inside it.
static int programIcon;

HICON ProgramIcon() {
    return reinterpret_cast<HICON>(&programIcon);
}

HICON FindIconResource(int id) {
    return id == kProgramIconId ? ProgramIcon() : nullptr;
}

int IconSide(HICON icon) {
    return icon != nullptr && icon == ProgramIcon() ? kZarvoIconSize : 0;
}

bool DrawIconPixels(HICON icon, std::uint32_t* pixels) {
    if (IconSide(icon) == 0 || pixels == nullptr) {
        return false;
    }
    DrawZarvoIcon(pixels);
    return true;
}

bool DrawIconPixelsAt(HICON icon, int side, std::uint32_t* pixels) {
    if (side == IconSide(icon)) {
        return DrawIconPixels(icon, pixels);
    }
    if (IconSide(icon) == 0 || pixels == nullptr || side < 16) {
        return false;
    }
    DrawZarvoIconAt(side, pixels);
    return true;
}

} // namespace platform
