// DirectDraw surfaces of the live backend: the primary surface (the screen) and system-memory
// back surfaces (platform/common/memory_surface.h).
//
// A surface lives until its own last Release, also after the DirectDraw object is gone. Only
// the primary surface can be lost (when the renderer loses its textures or its device); the
// back surface is plain memory and never is.
#include "ddraw_live.h"
#include "memory_surface.h"
#include "presenter.h"

#include <new>

namespace live {

struct LiveSurface : IDirectDrawSurface4 {
    ULONG references = 1;
    bool primary = false;
    platform::MemorySurface memory; // the back surface's pixels (unused for the primary)
};

static LiveSurface* Self(IDirectDrawSurface4* surface) {
    return static_cast<LiveSurface*>(surface);
}

static bool primaryExists = false;

static HRESULT CreatePrimary(LPDDSURFACEDESC2 desc, LiveSurface** out) {
    if (primaryExists) {
        return DDERR_PRIMARYSURFACEALREADYEXISTS;
    }
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
        return DDERR_INVALIDPARAMS; // the primary surface takes the mode's size and format
    }
    if (!ScreenIsOpen()) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    auto* surface = new (std::nothrow) LiveSurface();
    if (surface == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    surface->primary = true;
    primaryExists = true;
    *out = surface;
    return DD_OK;
}

static HRESULT CreateBack(LPDDSURFACEDESC2 desc, LiveSurface** out) {
    auto* surface = new (std::nothrow) LiveSurface();
    if (surface == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    HRESULT result = DD_OK;
    try {
        result = surface->memory.Create(desc);
    } catch (const std::bad_alloc&) {
        result = DDERR_OUTOFMEMORY;
    }
    if (result != DD_OK) {
        delete surface;
        return result;
    }
    *out = surface;
    return DD_OK;
}

} // namespace live

using live::Self;

HRESULT IDirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                    IUnknown* outer) {
    if (surface == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    *surface = nullptr;
    if (desc == nullptr || outer != nullptr || !platform::IsValidSurfaceDescSize(desc->dwSize) ||
        (desc->dwFlags & DDSD_CAPS) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (!live::DirectDrawModeIsSet(this)) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    live::LiveSurface* created = nullptr;
    const HRESULT result = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0
                               ? live::CreatePrimary(desc, &created)
                               : live::CreateBack(desc, &created);
    if (result == DD_OK) {
        *surface = created;
    }
    return result;
}

ULONG IDirectDrawSurface4::Release() {
    live::LiveSurface* self = Self(this);
    const ULONG left = --self->references;
    if (left == 0) {
        if (self->primary) {
            live::primaryExists = false;
            // The screen goes with the primary surface: the picture is no longer shown.
            live::CloseScreen();
        }
        delete self;
    }
    return left;
}

HRESULT IDirectDrawSurface4::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD /*flags*/,
                                  HANDLE event) {
    live::LiveSurface* self = Self(this);
    if (event != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (self->primary) {
        return DDERR_CANTLOCKSURFACE; // the screen is written only by BltFast
    }
    return self->memory.Lock(rect, desc);
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT rect) {
    live::LiveSurface* self = Self(this);
    if (self->primary) {
        return DDERR_NOTLOCKED;
    }
    return self->memory.Unlock(rect);
}

HRESULT IDirectDrawSurface4::Restore() {
    live::LiveSurface* self = Self(this);
    if (self->primary) {
        return live::RestoreScreen();
    }
    return DD_OK;
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    live::LiveSurface* self = Self(this);
    if (self->primary) {
        return DDERR_CANTCREATEDC;
    }
    return self->memory.GetDC(dc);
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC dc) {
    live::LiveSurface* self = Self(this);
    if (self->primary) {
        return DDERR_NODC;
    }
    return self->memory.ReleaseDC(dc);
}

HRESULT IDirectDrawSurface4::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source,
                                     LPRECT sourceRect, DWORD /*trans*/) {
    live::LiveSurface* self = Self(this);
    if (source == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    live::LiveSurface* from = Self(source);
    if (!self->primary || from->primary) {
        return DDERR_UNSUPPORTED; // only the back-to-screen copy exists here
    }
    const platform::MemorySurface& pixels = from->memory;
    if (pixels.locked || pixels.dc != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    // The whole picture to the top-left of the screen is the one copy the screen shows.
    const bool whole = sourceRect == nullptr ||
                       (sourceRect->left == 0 && sourceRect->top == 0 &&
                        sourceRect->right == pixels.width && sourceRect->bottom == pixels.height);
    if (x != 0 || y != 0 || !whole) {
        return DDERR_INVALIDRECT;
    }
    if (live::ScreenIsLost()) {
        return DDERR_SURFACELOST;
    }
    return live::ShowPicture(pixels.pixels.data(), pixels.width, pixels.height,
                             pixels.PitchBytes());
}
