// The system-memory surface: pixel storage, lock state and the device context it lends to GDI.
#include "memory_surface.h"

#include "gdi_context.h"

#include <cstring>

namespace platform {

static constexpr DWORD kRedMask = 0x00FF0000u;
static constexpr DWORD kGreenMask = 0x0000FF00u;
static constexpr DWORD kBlueMask = 0x000000FFu;

bool IsValidSurfaceDescSize(DWORD size) {
    return size == kWindowsSurfaceDescSize || size == sizeof(DDSURFACEDESC2);
}

MemorySurface::~MemorySurface() {
    if (dc != nullptr) {
        DestroyGdiContext(dc);
    }
}

HRESULT MemorySurface::Create(const DDSURFACEDESC2* desc) {
    if (desc == nullptr || !IsValidSurfaceDescSize(desc->dwSize)) {
        return DDERR_INVALIDPARAMS;
    }
    constexpr DWORD kNeeded = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    if ((desc->dwFlags & kNeeded) != kNeeded) {
        return DDERR_INVALIDPARAMS;
    }
    if ((desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
        return DDERR_INVALIDCAPS;
    }
    if (desc->dwWidth == 0 || desc->dwHeight == 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (desc->dwWidth > static_cast<DWORD>(kMaxSurfaceSide) ||
        desc->dwHeight > static_cast<DWORD>(kMaxSurfaceSide)) {
        return DDERR_TOOBIGSIZE;
    }
    if ((desc->dwFlags & DDSD_PIXELFORMAT) != 0) {
        const DDPIXELFORMAT& format = desc->ddpfPixelFormat;
        if ((format.dwFlags & DDPF_RGB) == 0 || format.dwRGBBitCount != 32 ||
            format.dwRBitMask != kRedMask || format.dwGBitMask != kGreenMask ||
            format.dwBBitMask != kBlueMask) {
            return DDERR_INVALIDPIXELFORMAT;
        }
    }
    width = static_cast<int>(desc->dwWidth);
    height = static_cast<int>(desc->dwHeight);
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    locked = false;
    return DD_OK;
}

HRESULT MemorySurface::Lock(const RECT* rect, DDSURFACEDESC2* desc) {
    if (desc == nullptr || !IsValidSurfaceDescSize(desc->dwSize)) {
        return DDERR_INVALIDPARAMS;
    }
    if (pixels.empty()) {
        return DDERR_SURFACELOST;
    }
    if (locked || dc != nullptr) {
        return DDERR_SURFACEBUSY;
    }
    LONG left = 0;
    LONG top = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right > width || rect->bottom > height ||
            rect->left >= rect->right || rect->top >= rect->bottom) {
            return DDERR_INVALIDRECT;
        }
        left = rect->left;
        top = rect->top;
    }
    const DWORD size = desc->dwSize;
    // The record is always a whole host DDSURFACEDESC2; dwSize only says which size the caller
    // meant.
    std::memset(static_cast<void*>(desc), 0, sizeof(DDSURFACEDESC2));
    desc->dwSize = size;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width);
    desc->dwHeight = static_cast<DWORD>(height);
    desc->lPitch = PitchBytes();
    desc->lpSurface = pixels.data() + static_cast<std::size_t>(top) * width + left;
    desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc->ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc->ddpfPixelFormat.dwRGBBitCount = 32;
    desc->ddpfPixelFormat.dwRBitMask = kRedMask;
    desc->ddpfPixelFormat.dwGBitMask = kGreenMask;
    desc->ddpfPixelFormat.dwBBitMask = kBlueMask;
    desc->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    locked = true;
    return DD_OK;
}

HRESULT MemorySurface::Unlock(const RECT* /*rect*/) {
    if (!locked) {
        return DDERR_NOTLOCKED;
    }
    locked = false;
    return DD_OK;
}

HRESULT MemorySurface::GetDC(HDC* out) {
    if (out == nullptr) {
        return DDERR_INVALIDPARAMS;
    }
    if (pixels.empty()) {
        return DDERR_SURFACELOST;
    }
    if (dc != nullptr) {
        return DDERR_DCALREADYCREATED;
    }
    if (locked) {
        return DDERR_SURFACEBUSY;
    }
    dc = CreateGdiContext(pixels.data(), width, height, width);
    if (dc == nullptr) {
        return DDERR_OUTOFMEMORY;
    }
    *out = dc;
    return DD_OK;
}

HRESULT MemorySurface::ReleaseDC(HDC handle) {
    if (dc == nullptr) {
        return DDERR_NODC;
    }
    if (handle != dc) {
        return DDERR_INVALIDPARAMS;
    }
    DestroyGdiContext(dc);
    dc = nullptr;
    return DD_OK;
}

} // namespace platform
