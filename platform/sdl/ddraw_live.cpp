// DirectDraw objects of the live backend: DirectDrawCreate, IDirectDraw and IDirectDraw4.
//
// Exclusive full-screen level maps to the live window's fullscreen on the desktop (the desktop
// mode itself is never changed); SetDisplayMode opens the screen (presenter.h) for the asked
// size; the vertical-blank wait is the screen's refresh wait.
#include "ddraw_live.h"

#include "ddraw_arguments.h"
#include "live_window.h"
#include "presenter.h"
#include "window_table.h"

#include <new>

namespace live {

struct DirectDrawObject : IDirectDraw, IDirectDraw4 {
    ULONG references = 1;
    HWND cooperativeWindow = nullptr;
    bool exclusive = false;
    bool modeSet = false;
};

static DirectDrawObject* Self(IDirectDraw* object) {
    return static_cast<DirectDrawObject*>(object);
}

static DirectDrawObject* Self(IDirectDraw4* object) {
    return static_cast<DirectDrawObject*>(object);
}

static int liveObjects = 0;

static ULONG ReleaseObject(DirectDrawObject* self) {
    const ULONG left = --self->references;
    if (left == 0) {
        delete self;
        --liveObjects;
    }
    return left;
}

bool DirectDrawModeIsSet(IDirectDraw4* object) {
    return object != nullptr && Self(object)->modeSet;
}

} // namespace live

using live::Self;

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    const HRESULT checked = platform::CheckCreateArguments(driverGuid, directDraw, outer);
    if (checked != DD_OK) {
        return checked;
    }
    if (live::LiveSdlWindow() == nullptr) {
        return DDERR_NODIRECTDRAWHW;
    }
    if (live::liveObjects > 0) {
        return DDERR_DIRECTDRAWALREADYCREATED;
    }
    auto* object = new (std::nothrow) live::DirectDrawObject();
    if (object == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    ++live::liveObjects;
    *directDraw = object;
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* object) {
    const HRESULT checked = platform::CheckQueryArguments(iid, object);
    if (checked != DD_OK) {
        return checked;
    }
    live::DirectDrawObject* self = Self(this);
    ++self->references;
    *object = static_cast<IDirectDraw4*>(self);
    return DD_OK;
}

ULONG IDirectDraw::Release() {
    return live::ReleaseObject(Self(this));
}

ULONG IDirectDraw4::Release() {
    return live::ReleaseObject(Self(this));
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    live::DirectDrawObject* self = Self(this);
    if ((flags & DDSCL_NORMAL) != 0) {
        if ((flags & (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) != 0) {
            return DDERR_INVALIDPARAMS;
        }
        // Giving up exclusive use also works once the window is gone (after Escape).
        self->exclusive = false;
        self->cooperativeWindow = window;
        return DD_OK;
    }
    constexpr DWORD exclusiveFullscreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
    if ((flags & exclusiveFullscreen) != exclusiveFullscreen) {
        return DDERR_INVALIDPARAMS;
    }
    if (window == nullptr) {
        return DDERR_NOHWND;
    }
    if (!platform::WindowIsAlive(window) || window != live::LiveWindowHandle()) {
        return DDERR_INVALIDPARAMS;
    }
    if (!live::TakeExclusiveLevel()) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    self->exclusive = true;
    self->cooperativeWindow = window;
    return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel,
                                     DWORD refreshRate, DWORD flags) {
    live::DirectDrawObject* self = Self(this);
    if (!self->exclusive) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    if (flags != 0 || refreshRate != 0) {
        return DDERR_INVALIDPARAMS;
    }
    // The picture is scaled onto the desktop; only the intro's one mode is offered.
    if (width != 320 || height != 200 || bitsPerPixel != 32) {
        return DDERR_INVALIDMODE;
    }
    const HRESULT result = live::OpenScreen(static_cast<int>(width), static_cast<int>(height));
    if (result == DD_OK) {
        self->modeSet = true;
    }
    return result;
}

HRESULT IDirectDraw4::RestoreDisplayMode() {
    // The desktop's mode was never changed, so there is nothing to bring back.
    Self(this)->modeSet = false;
    return DD_OK;
}

HRESULT IDirectDraw4::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    if (flags != DDWAITVB_BLOCKBEGIN || event != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (!live::ScreenIsOpen()) {
        return DDERR_NOTINITIALIZED;
    }
    live::WaitForRefresh();
    return DD_OK;
}

HRESULT IDirectDraw4::RestoreAllSurfaces() {
    if (!Self(this)->modeSet) {
        return DDERR_WRONGMODE;
    }
    return live::RestoreScreen();
}
