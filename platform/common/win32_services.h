// The backend's part in the shared USER32/GDI32 services (win32_services.cpp).
//
//   SetCursorEffect  called by SetCursor with whether a cursor is now shown (SetCursor(NULL)
//                    hides it); a backend that shows a pointer installs it at start-up
// LoadIconA finds the program's icon resource (win32_resources.h); LoadCursorA knows the
// system's arrow only; GetStockObject knows BLACK_BRUSH only. Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_WIN32_SERVICES_H
#define ZARVO_PLATFORM_COMMON_WIN32_SERVICES_H

namespace platform {

void SetCursorEffect(void (*shown)(bool shown));

} // namespace platform

#endif
