// The double's surfaces: lock, device context, restore, the copy to the screen, and pixel reads.
#include <string>

#include "ddraw_arguments.h"
#include "platform/fake/fake_state.h"

namespace fake {

namespace {

FakeSurface* Self(IDirectDrawSurface4* object) {
    return static_cast<FakeSurface*>(object);
}

void CheckAlive(FakeSurface* surface, const char* call) {
    if (surface->references <= 0) {
        Violation(std::string(call) + " on a released " + surface->role + " surface");
    }
}

std::vector<uint32_t> Picture(FakeSurface* surface) {
    std::vector<uint32_t> picture;
    if (surface == nullptr) {
        return picture;
    }
    const int stride = surface->pitch / 4;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            picture.push_back(surface->pixels[static_cast<size_t>(y * stride + x)]);
        }
    }
    return picture;
}

uint32_t Pixel(FakeSurface* surface, int x, int y) {
    if (surface == nullptr || x < 0 || y < 0 || x >= kWidth || y >= kHeight) {
        return 0xFFFFFFFF;
    }
    return surface->pixels[static_cast<size_t>(y * (surface->pitch / 4) + x)];
}

} // namespace

uint32_t* SurfacePixels(FakeSurface* surface, LONG* pitch) {
    *pitch = surface->pitch;
    return surface->pixels.data();
}

bool SurfaceLocked(FakeSurface* surface) {
    return surface != nullptr && surface->locked;
}

uint32_t BackPixel(int x, int y) {
    return Pixel(S().back, x, y);
}

uint32_t ScreenPixel(int x, int y) {
    return Pixel(S().primary, x, y);
}

std::vector<uint32_t> BackPicture() {
    return Picture(S().back);
}

std::vector<uint32_t> ScreenPicture() {
    return Picture(S().primary);
}

void FillBack(uint32_t pixel) {
    if (S().back != nullptr) {
        S().back->pixels.assign(S().back->pixels.size(), pixel);
    }
}

int Presented() {
    return S().presented;
}

bool BackLocked() {
    return SurfaceLocked(S().back);
}

bool DCHeld() {
    return S().back != nullptr && S().back->dcHeld;
}

} // namespace fake

using namespace fake;

ULONG IDirectDrawSurface4::Release() {
    FakeSurface* self = Self(this);
    CheckAlive(self, "Release");
    Enter(self->role, "Release", "", 0);
    return static_cast<ULONG>(self->references > 0 ? --self->references : 0);
}

HRESULT IDirectDrawSurface4::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    FakeSurface* self = Self(this);
    CheckAlive(self, "Lock");
    const HRESULT rule = platform::CheckLockArguments(event);
    HRESULT result =
        static_cast<HRESULT>(Enter(self->role, "Lock",
                                   std::string(rect ? "rect" : "NULL") + ", desc, " +
                                       std::to_string(flags) + ", " + (event ? "event" : "NULL"),
                                   rule));
    if (rule != DD_OK) {
        return rule;
    }
    if (self->locked || self->dcHeld) {
        Violation("Lock on a surface that is already locked or lent to GDI");
    }
    if (result == DD_OK && desc->dwSize != platform::kWindowsSurfaceDescSize) {
        Violation("Lock with dwSize " + std::to_string(desc->dwSize));
        result = DDERR_INVALIDPARAMS;
    }
    if (result != DD_OK) {
        return result;
    }
    self->locked = true;
    desc->dwWidth = kWidth;
    desc->dwHeight = kHeight;
    desc->lPitch = self->pitch;
    desc->lpSurface = self->pixels.data();
    return DD_OK;
}

HRESULT IDirectDrawSurface4::Unlock(LPRECT rect) {
    FakeSurface* self = Self(this);
    CheckAlive(self, "Unlock");
    const HRESULT result =
        static_cast<HRESULT>(Enter(self->role, "Unlock", rect ? "rect" : "NULL", DD_OK));
    if (!self->locked) {
        Violation("Unlock on a surface that is not locked");
    }
    // Whatever the result, the lock is over: a lost surface has no lock left to end.
    self->locked = false;
    return result;
}

HRESULT IDirectDrawSurface4::Restore() {
    FakeSurface* self = Self(this);
    CheckAlive(self, "Restore");
    return static_cast<HRESULT>(Enter(self->role, "Restore", "", DD_OK));
}

HRESULT IDirectDrawSurface4::GetDC(HDC* dc) {
    FakeSurface* self = Self(this);
    CheckAlive(self, "GetDC");
    const HRESULT result = static_cast<HRESULT>(Enter(self->role, "GetDC", "out", DD_OK));
    if (self->locked || self->dcHeld) {
        Violation("GetDC on a surface that is locked or already lent to GDI");
    }
    if (result != DD_OK) {
        return result;
    }
    // A fresh context each time, with the defaults of a new GDI context.
    S().dcs.push_back(std::make_unique<FakeDC>(FakeDC{self, true, OPAQUE, 0xFFFFFF, 0x000000}));
    self->dcHeld = true;
    *dc = reinterpret_cast<HDC>(S().dcs.back().get());
    return DD_OK;
}

HRESULT IDirectDrawSurface4::ReleaseDC(HDC dc) {
    FakeSurface* self = Self(this);
    CheckAlive(self, "ReleaseDC");
    const HRESULT result =
        static_cast<HRESULT>(Enter(self->role, "ReleaseDC", dc == nullptr ? "NULL" : "dc", DD_OK));
    FakeDC* found = FindDC(dc);
    if (found == nullptr || !found->valid || found->surface != self) {
        Violation("ReleaseDC of a device context this surface did not lend");
    } else {
        found->valid = false;
    }
    self->dcHeld = false;
    return result;
}

HRESULT IDirectDrawSurface4::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source,
                                     LPRECT sourceRect, DWORD trans) {
    FakeSurface* self = Self(this);
    CheckAlive(self, "BltFast");
    std::string rect = "NULL";
    if (sourceRect != nullptr) {
        rect = "{" + std::to_string(sourceRect->left) + "," + std::to_string(sourceRect->top) +
               "," + std::to_string(sourceRect->right) + "," + std::to_string(sourceRect->bottom) +
               "}";
    }
    const HRESULT result = static_cast<HRESULT>(Enter(self->role, "BltFast",
                                                      std::to_string(x) + ", " + std::to_string(y) +
                                                          ", " + HandleName(source) + ", " + rect +
                                                          ", " + std::to_string(trans),
                                                      DD_OK));
    FakeSurface* from = static_cast<FakeSurface*>(source);
    if (from == nullptr) {
        Violation("BltFast without a source surface");
        return DDERR_INVALIDPARAMS;
    }
    CheckAlive(from, "BltFast source");
    if (from->locked || from->dcHeld) {
        Violation("BltFast from a surface that is locked or lent to GDI");
    }
    if (result != DD_OK) {
        return result;
    }
    const RECT area = sourceRect ? *sourceRect : RECT{0, 0, kWidth, kHeight};
    const int fromStride = from->pitch / 4;
    const int toStride = self->pitch / 4;
    for (LONG row = area.top; row < area.bottom; ++row) {
        for (LONG column = area.left; column < area.right; ++column) {
            const LONG toX = static_cast<LONG>(x) + column - area.left;
            const LONG toY = static_cast<LONG>(y) + row - area.top;
            if (toX < 0 || toY < 0 || toX >= kWidth || toY >= kHeight) {
                continue;
            }
            self->pixels[static_cast<size_t>(toY * toStride + toX)] =
                from->pixels[static_cast<size_t>(row * fromStride + column)];
        }
    }
    ++S().presented;
    return DD_OK;
}
