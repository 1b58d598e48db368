// The argument rules DirectDraw applies before it does anything, shared by every backend: the
// common DirectDraw model (ddraw_objects.cpp) and the test double.
//
//   CheckCreateArguments   DirectDrawCreate: the out pointer is needed and is cleared at once; no
//                          aggregation (`outer` must be null); only the primary display driver
//                          (a null GUID) is offered
//   CheckQueryArguments    IDirectDraw::QueryInterface: the out pointer is needed and is cleared
//                          at once; only IID_IDirectDraw4 is offered (else E_NOINTERFACE)
//   CheckCooperativeLevel  SetCooperativeLevel: DDSCL_NORMAL without DDSCL_EXCLUSIVE or
//                          DDSCL_FULLSCREEN (any window, also a null or destroyed one), or
//                          DDSCL_EXCLUSIVE together with DDSCL_FULLSCREEN for a non-null window;
//                          else DDERR_INVALIDPARAMS (a null window included, as DirectDraw
//                          answers it). Other flags (DDSCL_ALLOWREBOOT) are accepted
//   CheckWaitArguments     WaitForVerticalBlank: DDWAITVB_BLOCKBEGIN and no event
//   CheckLockArguments     Lock: no event (the flags ask how to wait and are accepted)
// Each returns DD_OK when the call may go on to the backend's own work, else the result code the
// call returns. kWindowsSurfaceDescSize is the descriptor size the intro writes, which every
// backend takes.
#ifndef ZARVO_PLATFORM_COMMON_DDRAW_ARGUMENTS_H
#define ZARVO_PLATFORM_COMMON_DDRAW_ARGUMENTS_H

#include <ddraw.h>

namespace platform {

// sizeof(DDSURFACEDESC2) on 32-bit Windows, the dwSize the intro writes; the record declared here
// is larger by its pointer's width on a 64-bit host.
constexpr DWORD kWindowsSurfaceDescSize = 124;

HRESULT CheckCreateArguments(const GUID* driverGuid, LPDIRECTDRAW* directDraw,
                             const IUnknown* outer);
HRESULT CheckQueryArguments(REFIID iid, LPVOID* object);
HRESULT CheckCooperativeLevel(HWND window, DWORD flags);
HRESULT CheckWaitArguments(DWORD flags, HANDLE event);
HRESULT CheckLockArguments(HANDLE event);

} // namespace platform

#endif
