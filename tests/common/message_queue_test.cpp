// The message queue and window table: order, peeking, the quit message, dispatch, the default
// close handling, and the backend's pump.
#include "message_queue.h"
#include "test_backend.h"
#include "window_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
};

std::vector<Received> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({window, message, wParam});
    if (message == WM_DESTROY) {
        platform::QueuePostQuit(0);
        return 0;
    }
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

class MessageQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::QueueReset();
        platform::ResetWindowTable();
        received.clear();
        WNDCLASSA wndClass{};
        wndClass.lpfnWndProc = RecordingProc;
        wndClass.lpszClassName = "TestClass";
        ASSERT_NE(platform::RegisterWindowClass(&wndClass), 0);
        window = platform::CreateWindowRecord(0, "TestClass", "test", WS_POPUP, 0, 0, 320, 200);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        platform::InstallBackend(commontest::TestBackend());
        platform::QueueReset();
        platform::ResetWindowTable();
    }

    // Installs the test backend with `win32` as its window manager.
    static void InstallWin32(const platform::Win32Services& win32) {
        platform::Backend backend = commontest::TestBackend();
        backend.win32 = win32;
        platform::InstallBackend(backend);
    }
    HWND window = nullptr;
};

TEST_F(MessageQueue, DeliversInPostingOrderAndPeekingLeavesTheMessage) {
    platform::QueuePost(window, WM_KEYDOWN, 1, 0);
    platform::QueuePost(window, WM_KEYDOWN, 2, 0);
    MSG msg{};
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u) << "PM_NOREMOVE must leave the message queued";
    ASSERT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueue, QuitComesOutOnlyAfterTheMessagesBeforeIt) {
    platform::QueuePost(window, WM_KEYDOWN, VK_ESCAPE, 0);
    platform::QueuePostQuit(7);
    MSG msg{};
    ASSERT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT) << "peeking sees the quit message";
    ASSERT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "taken once only";
}

TEST_F(MessageQueue, FiltersByWindowAndRange) {
    platform::QueuePost(window, WM_KEYDOWN, 1, 0);
    platform::QueuePost(window, WM_ACTIVATEAPP, 1, 0);
    MSG msg{};
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, WM_ACTIVATEAPP, WM_ACTIVATEAPP, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_ACTIVATEAPP);
    HWND other = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(999));
    EXPECT_FALSE(platform::QueuePeek(&msg, other, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(platform::QueuePeek(&msg, window, 0, 0, PM_NOREMOVE));
}

TEST_F(MessageQueue, EscapeRoadEndsWithTheQuitMessage) {
    // Escape posts a close; the default handling destroys the window, WM_DESTROY posts the quit.
    platform::QueuePost(window, WM_CLOSE, 0, 0);
    MSG msg{};
    ASSERT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 1);
    platform::QueueDispatch(&msg);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_CLOSE);
    EXPECT_EQ(received[1].message, WM_DESTROY);
    EXPECT_FALSE(platform::WindowIsAlive(window));
    EXPECT_EQ(platform::QueueGet(&msg, nullptr, 0, 0), 0);
    // A dead window receives nothing more, and nothing can be posted to it.
    EXPECT_FALSE(platform::QueuePost(window, WM_KEYDOWN, 1, 0));
    MSG stale{};
    stale.hwnd = window;
    stale.message = WM_KEYDOWN;
    EXPECT_EQ(platform::QueueDispatch(&stale), 0);
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(MessageQueue, WaitingSleepsInThePumpUntilAMessageArrives) {
    static int polls;
    static int waits;
    static HWND target;
    polls = waits = 0;
    target = window;
    platform::Win32Services win32;
    win32.events.poll = [] { ++polls; };
    win32.events.wait = [] {
        if (++waits == 3) {
            platform::QueuePost(target, WM_ACTIVATEAPP, 1, 0);
        }
    };
    InstallWin32(win32);
    platform::QueueWait();
    EXPECT_EQ(waits, 3);
    EXPECT_GE(polls, 3);
    MSG msg{};
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_ACTIVATEAPP);
    // With a message already waiting, waiting returns without sleeping.
    platform::QueuePost(window, WM_KEYDOWN, 1, 0);
    platform::QueueWait();
    EXPECT_EQ(waits, 3);
}

TEST_F(MessageQueue, PeekingLetsTheBackendTurnItsEventsIntoMessages) {
    static HWND target;
    target = window;
    platform::Win32Services win32;
    win32.events.poll = [] { platform::QueuePost(target, WM_SETCURSOR, 0, 0); };
    InstallWin32(win32);
    MSG msg{};
    ASSERT_TRUE(platform::QueuePeek(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_SETCURSOR);
}

TEST_F(MessageQueue, WindowTableKeepsClassesAndWindowsApart) {
    WNDCLASSA again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "TestClass";
    EXPECT_EQ(platform::RegisterWindowClass(&again), 0) << "a class name is registered once";
    again.lpfnWndProc = nullptr;
    again.lpszClassName = "Other";
    EXPECT_EQ(platform::RegisterWindowClass(&again), 0) << "a class needs a procedure";
    EXPECT_EQ(platform::CreateWindowRecord(0, "Unknown", "x", 0, 0, 0, 1, 1), nullptr);
    EXPECT_FALSE(platform::WindowIsVisible(window));
    EXPECT_FALSE(platform::SetWindowVisible(window, true));
    EXPECT_TRUE(platform::WindowIsVisible(window));
    EXPECT_EQ(platform::FocusWindow(window), nullptr);
    EXPECT_EQ(platform::FocusWindow(window), window);
    EXPECT_FALSE(platform::WindowIsAlive(nullptr));
    EXPECT_FALSE(platform::WindowIsAlive(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(42))));
}

TEST_F(MessageQueue, ABackendCanRefuseToCreateAWindow) {
    platform::Win32Services win32;
    win32.windows.create = [](HWND, const platform::WindowRecord&) { return false; };
    InstallWin32(win32);
    EXPECT_EQ(platform::CreateWindowRecord(0, "TestClass", "x", WS_POPUP, 0, 0, 1, 1), nullptr);
}

} // namespace
