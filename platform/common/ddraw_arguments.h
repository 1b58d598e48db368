// The argument rules DirectDraw applies before it makes or hands out an object, for every backend.
//
//   CheckCreateArguments  DirectDrawCreate: the out pointer is needed and is cleared at once; no
//                         aggregation (`outer` must be null); only the primary display driver
//                         (a null GUID) is offered
//   CheckQueryArguments   IDirectDraw::QueryInterface: the out pointer is needed and is cleared
//                         at once; only IID_IDirectDraw4 is offered
// Each returns DD_OK when the call may go on to the backend's own checks, else the result code
// the call returns. What a backend does after that (one object or several, how many may live) is
// its own business.
#ifndef ZARVO_PLATFORM_COMMON_DDRAW_ARGUMENTS_H
#define ZARVO_PLATFORM_COMMON_DDRAW_ARGUMENTS_H

#include <ddraw.h>

namespace platform {

HRESULT CheckCreateArguments(const GUID* driverGuid, LPDIRECTDRAW* directDraw,
                             const IUnknown* outer);
HRESULT CheckQueryArguments(REFIID iid, LPVOID* object);

} // namespace platform

#endif
