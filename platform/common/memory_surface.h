// A system-memory surface of 32-bit 0x00RRGGBB pixels with DirectDraw's lock and device-context
// rules.
//
// Every backend over the common DirectDraw model keeps its back surface in one of these. The
// record owns its pixels; the rules are those DirectDraw applies to a system-memory surface:
//   Create        checks a DDSURFACEDESC2 for an RGB surface of 32 bits with the 0x00RRGGBB masks
//   Lock/Unlock   one lock at a time; no lock while a device context is out, and the reverse
//   GetDC/ReleaseDC  hands out a GDI context (gdi_context.h) drawing into the same pixels
// Every function returns DD_OK or a DirectDraw result code and changes nothing on failure.
#ifndef ZARVO_PLATFORM_COMMON_MEMORY_SURFACE_H
#define ZARVO_PLATFORM_COMMON_MEMORY_SURFACE_H

#include "ddraw_arguments.h"

#include <ddraw.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace platform {

constexpr int kMaxSurfaceSide = 4096;

// True when dwSize carries one of the two sizes a caller may legitimately use: Windows's
// (kWindowsSurfaceDescSize, what the intro writes) or the host's.
bool IsValidSurfaceDescSize(DWORD size);

// Allocates on cache-line boundaries, as video memory is laid out: with a pitch that is a
// multiple of 64 bytes every row then starts on a line, which the renderer's wide stores need to
// run at full speed.
template <class T> struct CacheLineAllocator {
    using value_type = T;
    static constexpr std::align_val_t kAlignment{64};

    CacheLineAllocator() = default;
    template <class U> CacheLineAllocator(const CacheLineAllocator<U>&) {}

    T* allocate(std::size_t count) {
        return static_cast<T*>(::operator new(count * sizeof(T), kAlignment));
    }
    void deallocate(T* p, std::size_t) {
        ::operator delete(p, kAlignment);
    }
    template <class U> bool operator==(const CacheLineAllocator<U>&) const {
        return true;
    }
    template <class U> bool operator!=(const CacheLineAllocator<U>&) const {
        return false;
    }
};

struct MemorySurface {
    std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> pixels;
    int width = 0;
    int height = 0;
    bool locked = false;
    HDC dc = nullptr; // the context handed out by GetDC, null when none is out

    ~MemorySurface();

    // Checks desc (caps, size and pixel format of an off-screen RGB surface) and allocates the
    // pixels, cleared to black.
    HRESULT Create(const DDSURFACEDESC2* desc);
    HRESULT Lock(const RECT* rect, DDSURFACEDESC2* desc);
    HRESULT Unlock(const RECT* rect);
    HRESULT GetDC(HDC* out);
    HRESULT ReleaseDC(HDC handle);

    LONG PitchBytes() const {
        return static_cast<LONG>(width * 4);
    }
};

} // namespace platform

#endif
