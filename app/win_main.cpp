// WinMain: start-up in its fixed order, the main loop, and the final Shutdown.
#include <windows.h>

#include "app/app_state.h"
#include "app/error_box.h"
#include "app/main_window.h"
#include "app/shutdown.h"
#include "display/display_setup.h"
#include "music/music.h"
#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"
#include "show/show_frame.h"

namespace {

// One message per pass; a frame only in a pass that finds the queue empty while the display is
// ready and the application active; otherwise sleep until a message arrives. Ends on the quit
// message or when ShowFrame returns 0 (the show's end, or a failure already reported).
void RunMainLoop() {
    MSG msg{};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) {
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (appState.displayReady == 0 || appState.appActive == 0) {
            WaitMessage();
        } else if (ShowFrame() == 0) {
            return;
        }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    appState.instance = instance;

    // Each failing step has already reported itself and run Shutdown.
    if (!InitMusic()) {
        return 0;
    }
    if (!CreateMainWindow()) {
        return 0;
    }
    if (!InitDisplay()) {
        return 0;
    }
    InitPrimaryRays();
    if (!InitScene()) {
        ErrorBox("Sceners: InitScene() failed (out of memory).\r\n"
                 "Lamers: Please close some programs and try again.");
        return 0;
    }

    RunMainLoop();

    Shutdown();
    return 0;
}
