// The message queue: a FIFO of posted messages plus the quit flag, fed by the backend's pump.
#include "message_queue.h"

#include "backend.h"
#include "window_table.h"

#include <chrono>
#include <deque>

namespace platform {

struct QueueState {
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
};

static QueueState queue;

static DWORD MessageTime() {
    static const auto start = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

static const EventPump& Pump() {
    return InstalledBackend().win32.events;
}

static void Poll() {
    if (Pump().poll != nullptr) {
        Pump().poll();
    }
}

static bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool QueuePost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && !WindowIsAlive(window)) {
        return false;
    }
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = MessageTime();
    queue.posted.push_back(msg);
    return true;
}

void QueuePostQuit(int exitCode) {
    queue.quitPending = true;
    queue.quitCode = exitCode;
}

// Finds the first matching message without polling; the quit message comes last.
static bool Take(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if (remove) {
                queue.posted.erase(it);
            }
            return true;
        }
    }
    const bool quitMatches = window == nullptr && ((filterMin == 0 && filterMax == 0) ||
                                                   (WM_QUIT >= filterMin && WM_QUIT <= filterMax));
    if (queue.quitPending && quitMatches) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(queue.quitCode);
        msg->time = MessageTime();
        if (remove) {
            queue.quitPending = false;
        }
        return true;
    }
    return false;
}

bool QueuePeek(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (msg == nullptr) {
        return false;
    }
    Poll();
    return Take(msg, window, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0);
}

int QueueGet(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) {
        return -1;
    }
    for (;;) {
        Poll();
        if (Take(msg, window, filterMin, filterMax, true)) {
            return msg->message == WM_QUIT ? 0 : 1;
        }
        if (Pump().wait == nullptr) {
            // Nothing can ever arrive: answer as if the program had been told to quit.
            *msg = MSG{};
            msg->message = WM_QUIT;
            return 0;
        }
        Pump().wait();
    }
}

void QueueWait() {
    for (;;) {
        Poll();
        if (!queue.posted.empty() || queue.quitPending || Pump().wait == nullptr) {
            return;
        }
        Pump().wait();
    }
}

bool QueueSift(bool (*take)(const MSG& msg)) {
    for (auto it = queue.posted.begin(); it != queue.posted.end();) {
        if (take(*it)) {
            it = queue.posted.erase(it);
        } else {
            ++it;
        }
    }
    return !queue.posted.empty() || queue.quitPending;
}

LRESULT QueueDispatch(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) {
        return 0;
    }
    WNDPROC proc = WindowProcedure(msg->hwnd);
    if (proc == nullptr) {
        return 0;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void QueueReset() {
    queue.posted.clear();
    queue.quitPending = false;
    queue.quitCode = 0;
}

} // namespace platform
