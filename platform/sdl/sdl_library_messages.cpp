// ALSA's error lines dropped, and Wayland left out where it cannot connect.
#include "sdl_library_messages.h"

#include <SDL.h>

#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace sdl {

// snd_lib_error_handler_t of <alsa/asoundlib.h>; ALSA is reached at run time, as SDL reaches it.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);

static void DropAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/,
                          int /*error*/, const char* /*format*/, ...) {}

static void QuietAlsa() {
    // The library stays loaded for the whole run (SDL loads the same one), so that the handler
    // set here is the one SDL's use of it meets.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return; // no ALSA: nothing of it can speak
    }
    const auto setHandler =
        reinterpret_cast<AlsaSetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) {
        setHandler(DropAlsaError);
    }
}

// libwayland finds its server in XDG_RUNTIME_DIR, which must be an absolute path, unless it is
// given a socket or an absolute socket name.
static bool WaylandCanConnect() {
    const char* socket = std::getenv("WAYLAND_SOCKET");
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return (socket != nullptr && socket[0] != '\0') || (name != nullptr && name[0] == '/') ||
           (runtime != nullptr && runtime[0] == '/');
}

static void LeaveOutWayland() {
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if ((asked != nullptr && asked[0] != '\0') || WaylandCanConnect()) {
        return;
    }
    // Every other video driver, in SDL's order of preference.
    std::string drivers;
    const int count = SDL_GetNumVideoDrivers();
    for (int index = 0; index < count; ++index) {
        const std::string name = SDL_GetVideoDriver(index);
        if (name != "wayland") {
            drivers += (drivers.empty() ? "" : ",") + name;
        }
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
}

void QuietLibraryMessages() {
    QuietAlsa();
    LeaveOutWayland();
}

} // namespace sdl
