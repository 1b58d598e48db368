// DirectDraw effects of the SDL backend: the screen behind the common DirectDraw model.
#include "sdl_backend.h"

#include "sdl_presenter.h"
#include "sdl_window.h"

#include <ddraw.h>

namespace sdl {

static bool HaveWindow() {
    return TheSdlWindow() != nullptr;
}

static HRESULT TakeScreen(HWND window) {
    if (window != SdlWindowHandle()) {
        return DDERR_INVALIDPARAMS; // only the intro's own window can own the screen
    }
    return TakeExclusiveLevel() ? DD_OK : DDERR_NOEXCLUSIVEMODE;
}

static HRESULT OpenSdlScreen(int width, int height) {
    return OpenScreen(TheSdlWindow(), width, height);
}

static HRESULT WaitForSdlRefresh() {
    WaitForRefresh();
    return DD_OK;
}

platform::DisplayEffects SdlDisplay() {
    platform::DisplayEffects effects;
    effects.available = HaveWindow;
    effects.takeScreen = TakeScreen;
    effects.openScreen = OpenSdlScreen;
    effects.closeScreen = CloseScreen;
    effects.waitForRefresh = WaitForSdlRefresh;
    effects.screenLost = ScreenIsLost;
    effects.restoreScreen = RestoreScreen;
    effects.showPicture = ShowPicture;
    return effects;
}

} // namespace sdl
