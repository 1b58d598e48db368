// The system-memory surface: description checks, lock and device-context rules, shared pixels.
#include "gdi_context.h"
#include "memory_surface.h"
#include "surface_descs.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using sdltest::BackSurfaceDesc;

DDSURFACEDESC2 LockDesc() {
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    return desc;
}

TEST(MemorySurface, AcceptsTheIntrosBackSurfaceAndGivesAWritableView) {
    platform::MemorySurface surface;
    DDSURFACEDESC2 desc = BackSurfaceDesc();
    ASSERT_EQ(surface.Create(&desc), DD_OK);
    DDSURFACEDESC2 lock = LockDesc();
    ASSERT_EQ(surface.Lock(nullptr, &lock), DD_OK);
    EXPECT_EQ(lock.dwSize, 124u);
    ASSERT_NE(lock.lpSurface, nullptr);
    EXPECT_GE(lock.lPitch, 320 * 4);
    EXPECT_EQ(lock.lPitch % 4, 0);
    // Rows start on cache lines, like video memory's: the renderer's wide stores rely on it.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(lock.lpSurface) % 64, 0u);
    EXPECT_EQ(lock.lPitch % 64, 0);
    // The last pixel of the last row is inside the surface.
    auto* bits = static_cast<std::uint32_t*>(lock.lpSurface);
    bits[199 * (lock.lPitch / 4) + 319] = 0x00123456;
    EXPECT_EQ(surface.pixels.back(), 0x00123456u);
    EXPECT_EQ(surface.Unlock(nullptr), DD_OK);
}

TEST(MemorySurface, RefusesDescriptionsItCannotHonour) {
    platform::MemorySurface surface;
    DDSURFACEDESC2 desc = BackSurfaceDesc();
    desc.dwSize = 100;
    EXPECT_EQ(surface.Create(&desc), DDERR_INVALIDPARAMS);
    desc = BackSurfaceDesc();
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    EXPECT_EQ(surface.Create(&desc), DDERR_INVALIDPIXELFORMAT);
    desc = BackSurfaceDesc();
    desc.ddpfPixelFormat.dwRBitMask = 0x000000FF; // BGR order is not the packed pixel
    desc.ddpfPixelFormat.dwBBitMask = 0x00FF0000;
    EXPECT_EQ(surface.Create(&desc), DDERR_INVALIDPIXELFORMAT);
    desc = BackSurfaceDesc();
    desc.dwWidth = 0;
    EXPECT_EQ(surface.Create(&desc), DDERR_INVALIDPARAMS);
    desc = BackSurfaceDesc();
    desc.dwWidth = 1u << 30; // would overflow a naive size computation
    EXPECT_EQ(surface.Create(&desc), DDERR_TOOBIGSIZE);
    desc = BackSurfaceDesc();
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    EXPECT_EQ(surface.Create(&desc), DDERR_INVALIDCAPS);
    EXPECT_EQ(surface.Create(nullptr), DDERR_INVALIDPARAMS);
    DDSURFACEDESC2 lock = LockDesc();
    EXPECT_EQ(surface.Lock(nullptr, &lock), DDERR_SURFACELOST) << "no pixels were ever made";
}

TEST(MemorySurface, LockAndDeviceContextExcludeEachOther) {
    platform::MemorySurface surface;
    DDSURFACEDESC2 desc = BackSurfaceDesc();
    ASSERT_EQ(surface.Create(&desc), DD_OK);
    DDSURFACEDESC2 lock = LockDesc();
    EXPECT_EQ(surface.Unlock(nullptr), DDERR_NOTLOCKED);
    ASSERT_EQ(surface.Lock(nullptr, &lock), DD_OK);
    EXPECT_EQ(surface.Lock(nullptr, &lock), DDERR_SURFACEBUSY);
    HDC dc = nullptr;
    EXPECT_EQ(surface.GetDC(&dc), DDERR_SURFACEBUSY);
    EXPECT_EQ(dc, nullptr);
    ASSERT_EQ(surface.Unlock(nullptr), DD_OK);

    ASSERT_EQ(surface.GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    HDC second = nullptr;
    EXPECT_EQ(surface.GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(surface.Lock(nullptr, &lock), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface.ReleaseDC(reinterpret_cast<HDC>(&lock)), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface.ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface.ReleaseDC(dc), DDERR_NODC);
    EXPECT_FALSE(platform::IsLiveGdiContext(dc)) << "a released context must be refused";
    EXPECT_EQ(surface.Lock(nullptr, &lock), DD_OK);
}

TEST(MemorySurface, TheDeviceContextDrawsIntoTheLockedPixels) {
    platform::MemorySurface surface;
    DDSURFACEDESC2 desc = BackSurfaceDesc();
    ASSERT_EQ(surface.Create(&desc), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(surface.GetDC(&dc), DD_OK);
    platform::SetContextBackColor(dc, 0x00FF0000); // blue in COLORREF
    ASSERT_TRUE(platform::DrawText(dc, 0, 0, "  ", 2));
    ASSERT_EQ(surface.ReleaseDC(dc), DD_OK);
    DDSURFACEDESC2 lock = LockDesc();
    ASSERT_EQ(surface.Lock(nullptr, &lock), DD_OK);
    EXPECT_EQ(static_cast<std::uint32_t*>(lock.lpSurface)[0], 0x000000FFu);
    EXPECT_EQ(surface.Unlock(nullptr), DD_OK);
}

TEST(MemorySurface, LocksASubRectangleAtItsFirstPixel) {
    platform::MemorySurface surface;
    DDSURFACEDESC2 desc = BackSurfaceDesc();
    ASSERT_EQ(surface.Create(&desc), DD_OK);
    RECT rect{10, 20, 30, 40};
    DDSURFACEDESC2 lock = LockDesc();
    ASSERT_EQ(surface.Lock(&rect, &lock), DD_OK);
    EXPECT_EQ(lock.lpSurface, surface.pixels.data() + 20 * 320 + 10);
    ASSERT_EQ(surface.Unlock(&rect), DD_OK);
    RECT outside{300, 190, 330, 210};
    EXPECT_EQ(surface.Lock(&outside, &lock), DDERR_INVALIDRECT);
}

} // namespace
