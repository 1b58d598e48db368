// DirectDraw effects of the live backend: the screen behind the common DirectDraw model.
#include "ddraw_live.h"

#include "ddraw_display.h"
#include "live_window.h"
#include "presenter.h"

namespace live {

static bool HaveWindow() {
    return LiveSdlWindow() != nullptr;
}

static HRESULT TakeScreen(HWND window) {
    if (window != LiveWindowHandle()) {
        return DDERR_INVALIDPARAMS; // only the intro's own window can own the screen
    }
    return TakeExclusiveLevel() ? DD_OK : DDERR_NOEXCLUSIVEMODE;
}

static HRESULT OpenLiveScreen(int width, int height) {
    return OpenScreen(LiveSdlWindow(), width, height);
}

static HRESULT WaitForLiveRefresh() {
    WaitForRefresh();
    return DD_OK;
}

void InstallLiveDisplay() {
    platform::DisplayEffects effects;
    effects.available = HaveWindow;
    effects.takeScreen = TakeScreen;
    effects.openScreen = OpenLiveScreen;
    effects.closeScreen = CloseScreen;
    effects.waitForRefresh = WaitForLiveRefresh;
    effects.screenLost = ScreenIsLost;
    effects.restoreScreen = RestoreScreen;
    effects.showPicture = ShowPicture;
    platform::SetDisplayEffects(effects);
}

} // namespace live
