// The surfaces of the real backends: CreateSurface and IDirectDrawSurface4 (the primary surface
// is the screen, a back surface is system memory, memory_surface.h).
#include "ddraw_model.h"

#include "ddraw_arguments.h"

#include <algorithm>
#include <new>

namespace platform {

namespace {

// The screen is one: while its primary surface lives, no other can be made.
bool primaryAlive = false;

DisplaySurface* SurfaceOf(IDirectDrawSurface4* surface) {
    return static_cast<DisplaySurface*>(surface);
}

HRESULT CreatePrimary(const DirectDrawObject& object, const DDSURFACEDESC2& desc,
                      DisplaySurface** out) {
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
        return DDERR_INVALIDPARAMS; // the primary surface takes the mode's size and format
    }
    if (!object.modeSet) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    if (primaryAlive) {
        return DDERR_PRIMARYSURFACEALREADYEXISTS;
    }
    auto* surface = new (std::nothrow) DisplaySurface();
    if (surface == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    try {
        surface->screen.assign(static_cast<std::size_t>(kDisplayWidth) * kDisplayHeight, 0u);
    } catch (const std::bad_alloc&) {
        delete surface;
        return DDERR_OUTOFMEMORY;
    }
    surface->primary = true;
    primaryAlive = true;
    *out = surface;
    return DD_OK;
}

HRESULT CreateBack(const DDSURFACEDESC2& desc, DisplaySurface** out) {
    auto* surface = new (std::nothrow) DisplaySurface();
    if (surface == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    HRESULT result = DD_OK;
    try {
        result = surface->memory.Create(&desc);
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

// The source rectangle of a BltFast (null: the whole source) placed at x, y on the screen, or
// false when it does not lie wholly inside both.
bool FitCopy(const MemorySurface& from, const RECT* sourceRect, DWORD x, DWORD y, RECT& area) {
    area = RECT{0, 0, from.width, from.height};
    if (sourceRect != nullptr) {
        area = *sourceRect;
    }
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    return area.left >= 0 && area.top >= 0 && width > 0 && height > 0 && area.right <= from.width &&
           area.bottom <= from.height && width <= kDisplayWidth && height <= kDisplayHeight &&
           x <= static_cast<DWORD>(kDisplayWidth - width) &&
           y <= static_cast<DWORD>(kDisplayHeight - height);
}

} // namespace

} // namespace platform

using platform::Effects;
using platform::SurfaceOf;

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
    const platform::DirectDrawObject& self = *platform::ObjectOf(this);
    if (!self.levelSet) {
        return DDERR_NOCOOPERATIVELEVELSET;
    }
    platform::DisplaySurface* created = nullptr;
    const HRESULT result = (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0
                               ? platform::CreatePrimary(self, *desc, &created)
                               : platform::CreateBack(*desc, &created);
    if (result == DD_OK) {
        *surface = created;
    }
    return result;
}

ULONG IDirectDrawSurface4::Release() {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (self->references == 0) {
        return 0;
    }
    const ULONG left = --self->references;
    if (left == 0) {
        if (self->primary) {
            platform::primaryAlive = false;
            // The screen goes with the primary surface: the picture is no longer shown.
            if (Effects().closeScreen != nullptr) {
                Effects().closeScreen();
            }
        }
        delete self;
    }
    return left;
}

HRESULT IDirectDrawSurface4::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD /*flags*/,
                                  HANDLE event) {
    platform::DisplaySurface* self = SurfaceOf(this);
    const HRESULT checked = platform::CheckLockArguments(event);
    if (checked != DD_OK) {
        return checked;
    }
    if (self->primary) {
        return DDERR_CANTLOCKSURFACE; // the screen is written only by BltFast
    }
    return self->memory.Lock(rect, desc);
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT rect) {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (self->primary) {
        return DDERR_NOTLOCKED;
    }
    return self->memory.Unlock(rect);
}

HRESULT IDirectDrawSurface4::Restore() {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (self->primary && Effects().restoreScreen != nullptr) {
        return Effects().restoreScreen();
    }
    return DD_OK; // system memory is never lost
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (self->primary) {
        return DDERR_CANTCREATEDC;
    }
    return self->memory.GetDC(dc);
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC dc) {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (self->primary) {
        return DDERR_NODC;
    }
    return self->memory.ReleaseDC(dc);
}

HRESULT IDirectDrawSurface4::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source,
                                     LPRECT sourceRect, DWORD /*trans*/) {
    platform::DisplaySurface* self = SurfaceOf(this);
    if (source == nullptr || source == this) {
        return DDERR_INVALIDPARAMS;
    }
    platform::DisplaySurface* from = SurfaceOf(source);
    if (!self->primary || from->primary) {
        return DDERR_UNSUPPORTED; // only the copy from a back surface to the screen exists here
    }
    const platform::MemorySurface& memory = from->memory;
    if (memory.locked || memory.dc != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    RECT area{};
    if (!platform::FitCopy(memory, sourceRect, x, y, area)) {
        return DDERR_INVALIDRECT;
    }
    if (Effects().screenLost != nullptr && Effects().screenLost()) {
        return DDERR_SURFACELOST;
    }
    const LONG width = area.right - area.left;
    for (LONG row = area.top; row < area.bottom; ++row) {
        const std::uint32_t* in =
            memory.pixels.data() + static_cast<std::size_t>(row) * memory.width + area.left;
        std::uint32_t* out =
            self->screen.data() +
            static_cast<std::size_t>(y + (row - area.top)) * platform::kDisplayWidth + x;
        std::copy(in, in + width, out);
    }
    if (Effects().showPicture == nullptr) {
        return DD_OK;
    }
    return Effects().showPicture(self->screen.data(), platform::kDisplayWidth,
                                 platform::kDisplayHeight,
                                 platform::kDisplayWidth * static_cast<int>(sizeof(std::uint32_t)));
}
