// The program's resource section: its one icon, for LoadIconA and the backends' windows.
#include "win32_resources.h"

#include "resources/resource.h"
#include "resources/zarvo_icon.h"

namespace platform {

// A handle only needs to be distinct and non-null; nothing looks inside it.
static int programIcon;

HICON ProgramIcon() {
    return reinterpret_cast<HICON>(&programIcon);
}

HICON FindIconResource(int id) {
    return id == IDI_ZARVO ? ProgramIcon() : nullptr;
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
