// The DirectDraw 6 names the intro uses, for Linux and the web.
//
// Records keep the SDK's field names and order. Interfaces are plain records whose methods are
// non-virtual members implemented by the backend a program links with; a backend allocates its
// own record derived from the interface and hands out a pointer to it. Result codes are the SDK's
// values (MAKE_DDHRESULT: severity bit, facility 0x876, the code number).
#ifndef ZARVO_PLATFORM_INCLUDE_DDRAW_H
#define ZARVO_PLATFORM_INCLUDE_DDRAW_H

#include "windows.h"

struct IUnknown;

// ---- records ----------------------------------------------------------------------------------
struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    union {
        DWORD dwRGBBitCount;
        DWORD dwYUVBitCount;
    };
    union {
        DWORD dwRBitMask;
        DWORD dwYBitMask;
    };
    union {
        DWORD dwGBitMask;
        DWORD dwUBitMask;
    };
    union {
        DWORD dwBBitMask;
        DWORD dwVBitMask;
    };
    union {
        DWORD dwRGBAlphaBitMask;
        DWORD dwYUVAlphaBitMask;
    };
};

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

// On 32-bit Windows this record is 124 bytes, the value the intro writes into dwSize; here the
// pointer makes it larger, and the backends accept the Windows value.
struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    union {
        LONG lPitch;
        DWORD dwLinearSize;
    };
    union {
        DWORD dwBackBufferCount;
        DWORD dwDepth;
    };
    union {
        DWORD dwMipMapCount;
        DWORD dwRefreshRate;
    };
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    union {
        DDCOLORKEY ddckCKDestOverlay;
        DWORD dwEmptyFaceColor;
    };
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    union {
        DDPIXELFORMAT ddpfPixelFormat;
        DWORD dwFVF;
    };
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
typedef DDSURFACEDESC2* LPDDSURFACEDESC2;

// ---- interfaces -------------------------------------------------------------------------------
struct IDirectDrawSurface4;
typedef IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;

// The results below are those of platform/common's model, which every backend but the test double
// uses; the double returns DD_OK unless a test scripts otherwise, after the same argument rules.
struct IDirectDrawSurface4 {
    // Gives up one reference; the surface goes at the last, also after its DirectDraw object.
    ULONG Release();
    // Locks a back surface (whole, or `rect`) and fills desc's lpSurface, lPitch, size and format;
    // the flags are accepted (a system-memory lock never waits); event must be null. The primary
    // surface cannot be locked (DDERR_CANTLOCKSURFACE); one lock at a time, none while a device
    // context is out (DDERR_SURFACEBUSY).
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event);
    // Ends the lock (DDERR_NOTLOCKED when there is none).
    HRESULT Unlock(LPRECT rect);
    // Brings back a lost primary surface (the screen); system memory is never lost.
    HRESULT Restore();
    // Lends a back surface to GDI: a context drawing into its pixels (windows.h's text calls).
    HRESULT GetDC(HDC* dc);
    // Takes the context back; it must be the one GetDC gave.
    HRESULT ReleaseDC(HDC dc);
    // Copies `sourceRect` (null: all) of a back surface to x, y of the primary surface, which
    // shows it; the part must fit (DDERR_INVALIDRECT). trans (DDBLTFAST_WAIT) is accepted, no
    // colour key is applied. DDERR_SURFACELOST while the screen is lost.
    HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD trans);
};

struct IDirectDraw4 {
    // Gives up a reference of this interface; the object goes when neither interface has one.
    ULONG Release();
    // DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN (DDSCL_ALLOWREBOOT accepted) for a live window: the
    // window takes the screen. DDSCL_NORMAL gives it back, for any window, a destroyed one too.
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    // Only 320 x 200 at 32 bits, refresh rate 0 and flags 0, in exclusive use; the screen shows
    // it at 4:3, and the desktop's own mode never changes.
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                           DWORD flags);
    // Gives the mode back; the screen stays until the primary surface goes.
    HRESULT RestoreDisplayMode();
    // DDSCAPS_PRIMARYSURFACE (caps only, after SetDisplayMode): the screen; otherwise a
    // system-memory surface of DDSD_WIDTH x DDSD_HEIGHT, 32-bit RGB with the 0x00RRGGBB masks.
    // dwSize is 124 (Windows) or the host's size; outer must be null.
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer);
    // DDWAITVB_BLOCKBEGIN and a null event only: returns at the start of the next refresh of
    // the backend's screen.
    HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event);
    // Restores every surface of the object; DDERR_WRONGMODE once the mode was given back.
    HRESULT RestoreAllSurfaces();
};
typedef IDirectDraw4* LPDIRECTDRAW4;

struct IDirectDraw {
    // IID_IDirectDraw4 only (else E_NOINTERFACE): the same object, with a reference of that
    // interface.
    HRESULT QueryInterface(REFIID iid, LPVOID* object);
    // Gives up a reference of this interface.
    ULONG Release();
};
typedef IDirectDraw* LPDIRECTDRAW;

// {9C59509A-39BD-11D1-8C4A-00C04FD930C5}, defined once for every backend (ddraw_guids.cpp).
extern const GUID IID_IDirectDraw4;

// The primary display driver only (null GUID), no aggregation; one object at a time
// (DDERR_DIRECTDRAWALREADYCREATED), none where there is no display (DDERR_NODIRECTDRAWHW).
HRESULT WINAPI DirectDrawCreate(GUID* driverGuid, LPDIRECTDRAW* directDraw, IUnknown* outer);

// ---- flags ------------------------------------------------------------------------------------
constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;

constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x00000040;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x00000800;

constexpr DWORD DDPF_RGB = 0x00000040;

constexpr DWORD DDSCL_FULLSCREEN = 0x00000001;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x00000002;
constexpr DWORD DDSCL_NORMAL = 0x00000008;
constexpr DWORD DDSCL_EXCLUSIVE = 0x00000010;

constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDLOCK_NOSYSLOCK = 0x00000800;

constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;

constexpr DWORD DDBLTFAST_WAIT = 0x00000010;

// ---- result codes -----------------------------------------------------------------------------
constexpr HRESULT MAKE_DDHRESULT(DWORD code) {
    return static_cast<HRESULT>(0x88760000u | code);
}

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_ALREADYINITIALIZED = MAKE_DDHRESULT(5);
constexpr HRESULT DDERR_CANNOTATTACHSURFACE = MAKE_DDHRESULT(10);
constexpr HRESULT DDERR_CANNOTDETACHSURFACE = MAKE_DDHRESULT(20);
constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = MAKE_DDHRESULT(40);
constexpr HRESULT DDERR_EXCEPTION = MAKE_DDHRESULT(55);
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_HEIGHTALIGN = MAKE_DDHRESULT(90);
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = MAKE_DDHRESULT(95);
constexpr HRESULT DDERR_INVALIDCAPS = MAKE_DDHRESULT(100);
constexpr HRESULT DDERR_INVALIDCLIPLIST = MAKE_DDHRESULT(110);
constexpr HRESULT DDERR_INVALIDMODE = MAKE_DDHRESULT(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MAKE_DDHRESULT(130);
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MAKE_DDHRESULT(145);
constexpr HRESULT DDERR_INVALIDRECT = MAKE_DDHRESULT(150);
constexpr HRESULT DDERR_LOCKEDSURFACES = MAKE_DDHRESULT(160);
constexpr HRESULT DDERR_NO3D = MAKE_DDHRESULT(170);
constexpr HRESULT DDERR_NOALPHAHW = MAKE_DDHRESULT(180);
constexpr HRESULT DDERR_NOCLIPLIST = MAKE_DDHRESULT(205);
constexpr HRESULT DDERR_NOCOLORCONVHW = MAKE_DDHRESULT(210);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MAKE_DDHRESULT(212);
constexpr HRESULT DDERR_NOCOLORKEY = MAKE_DDHRESULT(215);
constexpr HRESULT DDERR_NOCOLORKEYHW = MAKE_DDHRESULT(220);
constexpr HRESULT DDERR_NODIRECTDRAWSUPPORT = MAKE_DDHRESULT(222);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MAKE_DDHRESULT(225);
constexpr HRESULT DDERR_NOFLIPHW = MAKE_DDHRESULT(230);
constexpr HRESULT DDERR_NOGDI = MAKE_DDHRESULT(240);
constexpr HRESULT DDERR_NOMIRRORHW = MAKE_DDHRESULT(250);
constexpr HRESULT DDERR_NOTFOUND = MAKE_DDHRESULT(255);
constexpr HRESULT DDERR_NOOVERLAYHW = MAKE_DDHRESULT(260);
constexpr HRESULT DDERR_OVERLAPPINGRECTS = MAKE_DDHRESULT(270);
constexpr HRESULT DDERR_NORASTEROPHW = MAKE_DDHRESULT(280);
constexpr HRESULT DDERR_NOROTATIONHW = MAKE_DDHRESULT(290);
constexpr HRESULT DDERR_NOSTRETCHHW = MAKE_DDHRESULT(310);
constexpr HRESULT DDERR_NOT4BITCOLOR = MAKE_DDHRESULT(316);
constexpr HRESULT DDERR_NOT4BITCOLORINDEX = MAKE_DDHRESULT(317);
constexpr HRESULT DDERR_NOT8BITCOLOR = MAKE_DDHRESULT(320);
constexpr HRESULT DDERR_NOTEXTUREHW = MAKE_DDHRESULT(330);
constexpr HRESULT DDERR_NOVSYNCHW = MAKE_DDHRESULT(335);
constexpr HRESULT DDERR_NOZBUFFERHW = MAKE_DDHRESULT(340);
constexpr HRESULT DDERR_NOZOVERLAYHW = MAKE_DDHRESULT(350);
constexpr HRESULT DDERR_OUTOFCAPS = MAKE_DDHRESULT(360);
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MAKE_DDHRESULT(380);
constexpr HRESULT DDERR_OVERLAYCANTCLIP = MAKE_DDHRESULT(382);
constexpr HRESULT DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MAKE_DDHRESULT(384);
constexpr HRESULT DDERR_PALETTEBUSY = MAKE_DDHRESULT(387);
constexpr HRESULT DDERR_COLORKEYNOTSET = MAKE_DDHRESULT(400);
constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MAKE_DDHRESULT(410);
constexpr HRESULT DDERR_SURFACEALREADYDEPENDENT = MAKE_DDHRESULT(420);
constexpr HRESULT DDERR_SURFACEBUSY = MAKE_DDHRESULT(430);
constexpr HRESULT DDERR_CANTLOCKSURFACE = MAKE_DDHRESULT(435);
constexpr HRESULT DDERR_SURFACEISOBSCURED = MAKE_DDHRESULT(440);
constexpr HRESULT DDERR_SURFACELOST = MAKE_DDHRESULT(450);
constexpr HRESULT DDERR_SURFACENOTATTACHED = MAKE_DDHRESULT(460);
constexpr HRESULT DDERR_TOOBIGHEIGHT = MAKE_DDHRESULT(470);
constexpr HRESULT DDERR_TOOBIGSIZE = MAKE_DDHRESULT(480);
constexpr HRESULT DDERR_TOOBIGWIDTH = MAKE_DDHRESULT(490);
constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MAKE_DDHRESULT(510);
constexpr HRESULT DDERR_UNSUPPORTEDMASK = MAKE_DDHRESULT(520);
constexpr HRESULT DDERR_INVALIDSTREAM = MAKE_DDHRESULT(521);
constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MAKE_DDHRESULT(537);
constexpr HRESULT DDERR_WASSTILLDRAWING = MAKE_DDHRESULT(540);
constexpr HRESULT DDERR_XALIGN = MAKE_DDHRESULT(560);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = MAKE_DDHRESULT(561);
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = MAKE_DDHRESULT(562);
constexpr HRESULT DDERR_NODIRECTDRAWHW = MAKE_DDHRESULT(563);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MAKE_DDHRESULT(564);
constexpr HRESULT DDERR_NOEMULATION = MAKE_DDHRESULT(565);
constexpr HRESULT DDERR_REGIONTOOSMALL = MAKE_DDHRESULT(566);
constexpr HRESULT DDERR_CLIPPERISUSINGHWND = MAKE_DDHRESULT(567);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = MAKE_DDHRESULT(568);
constexpr HRESULT DDERR_NOHWND = MAKE_DDHRESULT(569);
constexpr HRESULT DDERR_HWNDSUBCLASSED = MAKE_DDHRESULT(570);
constexpr HRESULT DDERR_HWNDALREADYSET = MAKE_DDHRESULT(571);
constexpr HRESULT DDERR_NOPALETTEATTACHED = MAKE_DDHRESULT(572);
constexpr HRESULT DDERR_NOPALETTEHW = MAKE_DDHRESULT(573);
constexpr HRESULT DDERR_BLTFASTCANTCLIP = MAKE_DDHRESULT(574);
constexpr HRESULT DDERR_NOBLTHW = MAKE_DDHRESULT(575);
constexpr HRESULT DDERR_NODDROPSHW = MAKE_DDHRESULT(576);
constexpr HRESULT DDERR_OVERLAYNOTVISIBLE = MAKE_DDHRESULT(577);
constexpr HRESULT DDERR_NOOVERLAYDEST = MAKE_DDHRESULT(578);
constexpr HRESULT DDERR_INVALIDPOSITION = MAKE_DDHRESULT(579);
constexpr HRESULT DDERR_NOTAOVERLAYSURFACE = MAKE_DDHRESULT(580);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MAKE_DDHRESULT(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = MAKE_DDHRESULT(582);
constexpr HRESULT DDERR_CANTDUPLICATE = MAKE_DDHRESULT(583);
constexpr HRESULT DDERR_NOTLOCKED = MAKE_DDHRESULT(584);
constexpr HRESULT DDERR_CANTCREATEDC = MAKE_DDHRESULT(585);
constexpr HRESULT DDERR_NODC = MAKE_DDHRESULT(586);
constexpr HRESULT DDERR_WRONGMODE = MAKE_DDHRESULT(587);
constexpr HRESULT DDERR_IMPLICITLYCREATED = MAKE_DDHRESULT(588);
constexpr HRESULT DDERR_NOTPALETTIZED = MAKE_DDHRESULT(589);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = MAKE_DDHRESULT(590);
constexpr HRESULT DDERR_NOMIPMAPHW = MAKE_DDHRESULT(591);
constexpr HRESULT DDERR_INVALIDSURFACETYPE = MAKE_DDHRESULT(592);
constexpr HRESULT DDERR_NOOPTIMIZEHW = MAKE_DDHRESULT(600);
constexpr HRESULT DDERR_NOTINITIALIZED = CO_E_NOTINITIALIZED;
constexpr HRESULT DDERR_NOTLOADED = MAKE_DDHRESULT(601);
constexpr HRESULT DDERR_NOFOCUSWINDOW = MAKE_DDHRESULT(602);
constexpr HRESULT DDERR_DCALREADYCREATED = MAKE_DDHRESULT(620);
constexpr HRESULT DDERR_NONONLOCALVIDMEM = MAKE_DDHRESULT(630);
constexpr HRESULT DDERR_CANTPAGELOCK = MAKE_DDHRESULT(640);
constexpr HRESULT DDERR_CANTPAGEUNLOCK = MAKE_DDHRESULT(660);
constexpr HRESULT DDERR_NOTPAGELOCKED = MAKE_DDHRESULT(680);
constexpr HRESULT DDERR_MOREDATA = MAKE_DDHRESULT(690);
constexpr HRESULT DDERR_EXPIRED = MAKE_DDHRESULT(691);
constexpr HRESULT DDERR_VIDEONOTACTIVE = MAKE_DDHRESULT(695);
constexpr HRESULT DDERR_DEVICEDOESNTOWNSURFACE = MAKE_DDHRESULT(699);

#endif
