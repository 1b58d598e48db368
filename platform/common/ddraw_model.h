// The records behind the DirectDraw interfaces of the common model, shared by its two files.
#ifndef ZARVO_PLATFORM_COMMON_DDRAW_MODEL_H
#define ZARVO_PLATFORM_COMMON_DDRAW_MODEL_H

#include "backend.h"
#include "memory_surface.h"

#include <ddraw.h>

#include <cstdint>
#include <vector>

namespace platform {

// One DirectDraw object behind both of its interfaces. As in DirectDraw, each interface keeps its
// own reference count and the object lives until both are zero, so the intro may release the
// first interface right after its query.
struct DirectDrawObject : IDirectDraw, IDirectDraw4 {
    ULONG firstReferences = 1;    // IDirectDraw
    ULONG version4References = 0; // IDirectDraw4
    bool levelSet = false;        // any cooperative level was set
    bool exclusive = false;
    bool modeSet = false;
};

// A surface lives until its own last Release, also after the object that made it is gone.
struct DisplaySurface : IDirectDrawSurface4 {
    ULONG references = 1;
    bool primary = false;
    MemorySurface memory;              // a back surface's pixels
    std::vector<std::uint32_t> screen; // the primary surface: the screen's pixels
};

const DisplayEffects& Effects(); // the backend's (backend.h)
DirectDrawObject* ObjectOf(IDirectDraw* object);
DirectDrawObject* ObjectOf(IDirectDraw4* object);

} // namespace platform

#endif
