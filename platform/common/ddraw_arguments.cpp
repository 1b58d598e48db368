// The argument rules of DirectDraw shared by every backend.
#include "ddraw_arguments.h"

namespace platform {

HRESULT CheckCreateArguments(const GUID* driverGuid, LPDIRECTDRAW* directDraw,
                             const IUnknown* outer) {
    if (directDraw == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *directDraw = nullptr;
    if (outer != nullptr) {
        return DDERR_INVALIDPARAMS; // no aggregation, as with the real library
    }
    if (driverGuid != nullptr) {
        return DDERR_INVALIDDIRECTDRAWGUID;
    }
    return DD_OK;
}

HRESULT CheckQueryArguments(REFIID iid, LPVOID* object) {
    if (object == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *object = nullptr;
    if (!(iid == IID_IDirectDraw4)) {
        return E_NOINTERFACE;
    }
    return DD_OK;
}

HRESULT CheckCooperativeLevel(HWND window, DWORD flags) {
    constexpr DWORD kExclusiveFullscreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
    if ((flags & DDSCL_NORMAL) != 0) {
        // Giving exclusive use back works also after the window is gone (the Escape road).
        return (flags & kExclusiveFullscreen) == 0 ? DD_OK : DDERR_INVALIDPARAMS;
    }
    if ((flags & kExclusiveFullscreen) != kExclusiveFullscreen || window == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    return DD_OK;
}

HRESULT CheckWaitArguments(DWORD flags, HANDLE event) {
    return flags == DDWAITVB_BLOCKBEGIN && event == nullptr ? DD_OK : DDERR_INVALIDPARAMS;
}

HRESULT CheckLockArguments(HANDLE event) {
    return event == nullptr ? DD_OK : DDERR_INVALIDPARAMS;
}

} // namespace platform
