// DirectDraw of the capture: no screen, a 320x200x32 "display" whose every BltFast to the primary
// surface is one presented frame, handed to the virtual clock (capture_run.h).
//
// The DirectDraw object, its version-4 interface and each surface are separate records with
// their own reference counts, so a surface outlives the interface that made it (ReleaseDisplay
// releases the DirectDraw interface before the surfaces). The back surface is the shared
// system-memory surface; the primary surface is the picture last presented.
#include "capture_run.h"
#include "ddraw_arguments.h"
#include "memory_surface.h"
#include "video_encoder.h"

#include <ddraw.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace capture {

struct CaptureDirectDraw : IDirectDraw {
    int references = 1;
};

struct CaptureDirectDraw4 : IDirectDraw4 {
    int references = 1;
    bool exclusive = false;
    bool modeSet = false;
    bool primaryMade = false;
};

struct CaptureSurface : IDirectDrawSurface4 {
    int references = 1;
    bool primary = false;
    platform::MemorySurface memory;    // the back surface's pixels
    std::vector<std::uint32_t> screen; // the primary surface: what was presented last
};

// The one DirectDraw object a program may have at a time, as with the primary display driver.
static int liveObjects = 0;

static CaptureDirectDraw* Self(IDirectDraw* object) {
    return static_cast<CaptureDirectDraw*>(object);
}

static CaptureDirectDraw4* Self(IDirectDraw4* object) {
    return static_cast<CaptureDirectDraw4*>(object);
}

static CaptureSurface* Self(IDirectDrawSurface4* object) {
    return static_cast<CaptureSurface*>(object);
}

// Drops one reference to the DirectDraw object or its version-4 interface; the last one deletes
// the record and frees its place among the live objects.
template <typename Record> static ULONG ReleaseObject(Record* self) {
    const int left = --self->references;
    if (left <= 0) {
        --liveObjects;
        delete self;
        return 0;
    }
    return static_cast<ULONG>(left);
}

} // namespace capture

using capture::Self;

HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer) {
    const HRESULT checked = platform::CheckCreateArguments(driverGuid, directDraw, outer);
    if (checked != DD_OK) {
        return checked;
    }
    if (capture::liveObjects > 0) {
        return DDERR_DIRECTDRAWALREADYCREATED;
    }
    ++capture::liveObjects;
    *directDraw = new capture::CaptureDirectDraw();
    return DD_OK;
}

HRESULT IDirectDraw::QueryInterface(REFIID iid, LPVOID* object) {
    const HRESULT checked = platform::CheckQueryArguments(iid, object);
    if (checked != DD_OK) {
        return checked;
    }
    ++capture::liveObjects;
    *object = static_cast<IDirectDraw4*>(new capture::CaptureDirectDraw4());
    return DD_OK;
}

ULONG IDirectDraw::Release() {
    return capture::ReleaseObject(Self(this));
}

ULONG IDirectDraw4::Release() {
    return capture::ReleaseObject(Self(this));
}

HRESULT IDirectDraw4::SetCooperativeLevel(HWND window, DWORD flags) {
    capture::CaptureDirectDraw4* self = Self(this);
    if ((flags & DDSCL_NORMAL) != 0) {
        // Giving exclusive use back also works after the window is gone (the Escape road).
        if ((flags & DDSCL_EXCLUSIVE) != 0) {
            return DDERR_INVALIDPARAMS;
        }
        self->exclusive = false;
        return DD_OK;
    }
    constexpr DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
    if ((flags & exclusive) != exclusive) {
        return DDERR_INVALIDPARAMS;
    }
    if (window == nullptr || !IsWindow(window)) {
        return DDERR_INVALIDPARAMS;
    }
    self->exclusive = true;
    return DD_OK;
}

HRESULT IDirectDraw4::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD,
                                     DWORD flags) {
    capture::CaptureDirectDraw4* self = Self(this);
    if (!self->exclusive) {
        return DDERR_NOEXCLUSIVEMODE;
    }
    // The capture's display knows one mode: the picture it records.
    if (width != static_cast<DWORD>(capture::kFrameWidth) ||
        height != static_cast<DWORD>(capture::kFrameHeight) || bitsPerPixel != 32 || flags != 0) {
        return DDERR_INVALIDMODE;
    }
    self->modeSet = true;
    return DD_OK;
}

HRESULT IDirectDraw4::RestoreDisplayMode() {
    Self(this)->modeSet = false;
    return DD_OK;
}

HRESULT IDirectDraw4::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface,
                                    IUnknown* outer) {
    capture::CaptureDirectDraw4* self = Self(this);
    if (surface == nullptr || desc == nullptr || outer != nullptr ||
        !platform::IsValidSurfaceDescSize(desc->dwSize)) {
        return DDERR_INVALIDPARAMS;
    }
    *surface = nullptr;
    if ((desc->dwFlags & DDSD_CAPS) == 0) {
        return DDERR_INVALIDPARAMS;
    }
    auto made = std::make_unique<capture::CaptureSurface>();
    if ((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        if (!self->modeSet) {
            return DDERR_NOEXCLUSIVEMODE;
        }
        if (self->primaryMade) {
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
        }
        made->primary = true;
        made->screen.assign(static_cast<std::size_t>(capture::kFrameWidth) * capture::kFrameHeight,
                            0u);
        self->primaryMade = true;
    } else {
        const HRESULT result = made->memory.Create(desc);
        if (result != DD_OK) {
            return result;
        }
    }
    *surface = made.release();
    return DD_OK;
}

HRESULT IDirectDraw4::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    if (flags != DDWAITVB_BLOCKBEGIN || event != nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    // Virtual time: the next frame's blank is always now.
    return DD_OK;
}

HRESULT IDirectDraw4::RestoreAllSurfaces() {
    return DD_OK; // system memory is never lost here
}

ULONG IDirectDrawSurface4::Release() {
    capture::CaptureSurface* self = Self(this);
    const int left = --self->references;
    if (left <= 0) {
        delete self;
        return 0;
    }
    return static_cast<ULONG>(left);
}

HRESULT IDirectDrawSurface4::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
    capture::CaptureSurface* self = Self(this);
    if (self->primary) {
        return DDERR_UNSUPPORTED; // the recorded screen is not drawn on directly
    }
    const HRESULT result = self->memory.Lock(rect, desc);
    if (result == DD_OK) {
        capture::NoteFrameLocked();
    }
    return result;
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT rect) {
    capture::CaptureSurface* self = Self(this);
    if (self->primary) {
        return DDERR_NOTLOCKED;
    }
    return self->memory.Unlock(rect);
}

HRESULT IDirectDrawSurface4::Restore() {
    return DD_OK;
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    capture::CaptureSurface* self = Self(this);
    if (self->primary) {
        return DDERR_UNSUPPORTED;
    }
    return self->memory.GetDC(dc);
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC dc) {
    capture::CaptureSurface* self = Self(this);
    if (self->primary) {
        return DDERR_NODC;
    }
    return self->memory.ReleaseDC(dc);
}

HRESULT IDirectDrawSurface4::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source,
                                     LPRECT sourceRect, DWORD) {
    capture::CaptureSurface* self = Self(this);
    if (source == nullptr || source == this) {
        return DDERR_INVALIDPARAMS;
    }
    capture::CaptureSurface* from = Self(source);
    if (!self->primary || from->primary) {
        return DDERR_UNSUPPORTED; // only presentation, back to primary, is a capture's business
    }
    const platform::MemorySurface& memory = from->memory;
    if (memory.locked || memory.dc != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    RECT area{0, 0, memory.width, memory.height};
    if (sourceRect != nullptr) {
        area = *sourceRect;
    }
    const LONG width = area.right - area.left;
    const LONG height = area.bottom - area.top;
    if (area.left < 0 || area.top < 0 || width <= 0 || height <= 0 ||
        width > capture::kFrameWidth || height > capture::kFrameHeight ||
        area.right > memory.width || area.bottom > memory.height ||
        x > static_cast<DWORD>(capture::kFrameWidth - width) ||
        y > static_cast<DWORD>(capture::kFrameHeight - height)) {
        return DDERR_INVALIDRECT;
    }
    for (LONG row = 0; row < height; ++row) {
        const std::uint32_t* in = memory.pixels.data() +
                                  static_cast<std::size_t>(area.top + row) * memory.width +
                                  area.left;
        std::uint32_t* out =
            self->screen.data() + static_cast<std::size_t>(y + row) * capture::kFrameWidth + x;
        std::copy(in, in + width, out);
    }
    capture::PresentCapturedFrame(self->screen.data());
    return DD_OK;
}
