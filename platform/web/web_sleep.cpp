// Sleeping in the browser: a sleep gives the page its turn (sound is rendered, events arrive).
//
// The C library's nanosleep cannot wait in a page without stopping it; this one suspends the
// program for the time asked (ASYNCIFY, zarvo_web_sleep) and takes the place of the library's,
// so that every sleep of the platform (std::this_thread::sleep_for while the music ramps down)
// lets the page render the sound it waits for.
#include "web_bridge.h"

#include <cerrno>
#include <ctime>

extern "C" int nanosleep(const struct timespec* request, struct timespec* remaining) {
    if (request == nullptr || request->tv_nsec < 0 || request->tv_nsec >= 1000000000L ||
        request->tv_sec < 0) {
        errno = EINVAL;
        return -1;
    }
    const double milliseconds =
        static_cast<double>(request->tv_sec) * 1000.0 + static_cast<double>(request->tv_nsec) / 1e6;
    zarvo_web_sleep(milliseconds);
    if (remaining != nullptr) {
        remaining->tv_sec = 0;
        remaining->tv_nsec = 0;
    }
    return 0;
}
