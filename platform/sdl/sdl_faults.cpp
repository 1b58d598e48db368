// Termination signals turned into a close request, the lost display (Xlib's handler and the
// crashes it causes elsewhere), and X errors tolerated while drawing is set up.
#include "sdl_faults.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sdl {

namespace {

// Only lock-free atomics and async-signal-safe calls are used by the signal handlers.
std::atomic<bool> signalsCloseWindow{false};
std::atomic<bool> closeRequested{false};
std::atomic<int> displaySocket{-1}; // SDL's X connection, once watched
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");
static_assert(std::atomic<int>::is_always_lock_free, "the crash handler needs a lock-free int");

struct sigaction previousSegv {};
struct sigaction previousBus {};

Display* watchedDisplay = nullptr; // main thread only
XErrorHandler previousXErrorHandler = nullptr;
int toleranceDepth = 0;
int toleratedErrors = 0;

void WriteError(const char* text, std::size_t length) {
    // Nothing can be done when standard error is gone too.
    const ssize_t written = write(STDERR_FILENO, text, length);
    static_cast<void>(written);
}

[[noreturn]] void EndForLostDisplay() {
    static constexpr char kText[] =
        "zarvo: the connection to the display was lost; the intro ends.\n";
    WriteError(kText, sizeof kText - 1);
    _exit(1);
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
    EndForLostDisplay();
}

// The server has closed the watched connection, or it broke: the socket is hung up (a server
// that died with replies still unread leaves them readable before the end, so the end is asked
// of poll, not only of a read), reads its end (0), or an error other than "nothing to read yet".
bool DisplayConnectionEnded() {
    const int socket = displaySocket.load();
    if (socket < 0) {
        return false;
    }
    pollfd watched{socket, POLLIN | POLLRDHUP, 0};
    if (poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0) {
        return true;
    }
    char byte = 0;
    const ssize_t got = recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void OnCrash(int signalNumber, siginfo_t* info, void* /*context*/) {
    const int savedErrno = errno;
    if (DisplayConnectionEnded()) {
        EndForLostDisplay();
    }
    errno = savedErrno;
    // Not the display's doing: the fault comes again under the previous disposition (a
    // sanitizer's report, or the core dump) as soon as this returns. A signal sent rather than
    // caused would not come again, so it is raised anew.
    sigaction(signalNumber, signalNumber == SIGSEGV ? &previousSegv : &previousBus, nullptr);
    if (info == nullptr || info->si_code <= 0) {
        std::raise(signalNumber);
    }
}

int OnXError(Display* display, XErrorEvent* event) {
    // A request about a window that is already gone changes nothing: SDL wakes a waiting event
    // loop by sending an event to the window that waits, and a box closed on another thread's
    // wake-up gets it after its window went (Xlib's own handler would end the program).
    if (event->error_code == BadWindow && event->request_code == X_SendEvent) {
        return 0;
    }
    if (toleranceDepth > 0) {
        ++toleratedErrors;
        return 0;
    }
    // Xlib's own handler: the error's description, and exit code 1.
    return previousXErrorHandler != nullptr ? previousXErrorHandler(display, event) : 0;
}

// Brings in the errors of every request sent so far (they arrive with later replies).
void SyncWatchedDisplay() {
    if (watchedDisplay != nullptr) {
        XSync(watchedDisplay, False);
    }
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
    // A write to a display server that has gone fails with EPIPE, which Xlib reports as the lost
    // connection (OnLostDisplay), instead of the signal ending the program before it can say so.
    std::signal(SIGPIPE, SIG_IGN);
    // Process-wide, so they cover every connection: SDL's video and its message boxes. SDL's
    // own error handler passes what it does not handle on to this one.
    XSetIOErrorHandler(OnLostDisplay);
    previousXErrorHandler = XSetErrorHandler(OnXError);
}

void WatchDisplayConnection() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (watchedDisplay != nullptr || driver == nullptr || std::strcmp(driver, "x11") != 0) {
        return;
    }
    // SDL names its connection only through a window: a small hidden one, never mapped, made
    // before any window whose set-up loads the OpenGL library.
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    if (probe == nullptr) {
        return;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(probe, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
        watchedDisplay = info.info.x11.display;
        displaySocket.store(ConnectionNumber(watchedDisplay));
        struct sigaction action {};
        action.sa_sigaction = OnCrash;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_SIGINFO;
        sigaction(SIGSEGV, &action, &previousSegv);
        sigaction(SIGBUS, &action, &previousBus);
    }
    SDL_DestroyWindow(probe);
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

XErrorTolerance::XErrorTolerance() : errorsBefore(toleratedErrors) {
    ++toleranceDepth;
}

XErrorTolerance::~XErrorTolerance() {
    SyncWatchedDisplay();
    --toleranceDepth;
}

int XErrorTolerance::Errors() {
    SyncWatchedDisplay();
    return toleratedErrors - errorsBefore;
}

} // namespace sdl
