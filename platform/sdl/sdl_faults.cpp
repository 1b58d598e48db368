// Termination signals turned into a close request, and the lost-display handler of Xlib.
#include "sdl_faults.h"

#include <X11/Xlib.h>

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace sdl {

namespace {

// Only lock-free atomics are touched by the signal handler.
std::atomic<bool> signalsCloseWindow{false};
std::atomic<bool> closeRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

void WriteError(const char* text, std::size_t length) {
    // Nothing can be done when standard error is gone too.
    const ssize_t written = write(STDERR_FILENO, text, length);
    static_cast<void>(written);
}

void OnTerminationSignal(int signalNumber) {
    if (signalsCloseWindow.load()) {
        closeRequested.store(true);
        return;
    }
    // No window to close yet (or any more): end as the signal's default would.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

int OnLostDisplay(Display* /*display*/) {
    static constexpr char kText[] =
        "zarvo: the connection to the display was lost; the intro ends.\n";
    WriteError(kText, sizeof kText - 1);
    _exit(1);
}

} // namespace

void InstallFaultHandlers() {
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted calls resume: the request is seen by the next poll of the event pump.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // Process-wide, so it covers every connection: SDL's video and its message boxes.
    XSetIOErrorHandler(OnLostDisplay);
}

void SetSignalsCloseWindow(bool closeWindow) {
    signalsCloseWindow.store(closeWindow);
    if (!closeWindow) {
        closeRequested.store(false);
    }
}

bool TakeCloseRequest() {
    return closeRequested.exchange(false);
}

} // namespace sdl
