// The test double itself: scripting, hooks, the queue, text cells and sync delivery.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "intro_test_support.h"

namespace {

using FakePlatformTest = IntroTest;

TEST_F(FakePlatformTest, ScriptsApplyToTheirOwnCallAndAlwaysToEveryLaterOne) {
    fake::Script("MIDASinit", 2, 0);
    fake::ScriptAlways("MIDASconfig", 0);
    EXPECT_TRUE(MIDASstartup());
    EXPECT_TRUE(MIDASinit());
    EXPECT_FALSE(MIDASinit());
    EXPECT_TRUE(MIDASinit());
    EXPECT_FALSE(MIDASconfig());
    EXPECT_FALSE(MIDASconfig());
    EXPECT_EQ(fake::CountCalls("MIDASinit"), 3);
    EXPECT_EQ(fake::IndexOf("MIDASinit", 2), 2);
}

TEST_F(FakePlatformTest, WaitingOnAnEmptyQueueThrowsInsteadOfHanging) {
    EXPECT_THROW(WaitMessage(), fake::Stalled);
    MSG msg{};
    EXPECT_THROW(GetMessageA(&msg, nullptr, 0, 0), fake::Stalled);
    fake::OnCall("WaitMessage", [](int) { fake::Post(WM_KEYDOWN, 'A'); });
    EXPECT_TRUE(WaitMessage());
}

TEST_F(FakePlatformTest, WrongArgumentsGetDirectDrawsAnswerWhateverIsScripted) {
    fake::ScriptAlways("DirectDrawCreate", DD_OK);
    IDirectDraw* first = nullptr;
    GUID driver = IID_IDirectDraw4;
    EXPECT_EQ(DirectDrawCreate(&driver, &first, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
    ASSERT_EQ(DirectDrawCreate(nullptr, &first, nullptr), DD_OK);
    GUID other{};
    void* none = &other;
    EXPECT_EQ(first->QueryInterface(other, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    void* queried = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw4, &queried), DD_OK);
    auto* directDraw = static_cast<IDirectDraw4*>(queried);
    fake::ScriptAlways("SetCooperativeLevel", DD_OK);
    EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, 0x13), DDERR_INVALIDPARAMS);
    EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(directDraw->WaitForVerticalBlank(0, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(fake::CountCalls("SetCooperativeLevel"), 2) << "refused calls are logged too";
}

TEST_F(FakePlatformTest, TextCellsHaveTheDocumentedMetrics) {
    StartIntro();
    HDC dc = nullptr;
    ASSERT_EQ(appState.backSurface->GetDC(&dc), DD_OK);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "ab c", 4, &size));
    EXPECT_EQ(size.cx, 4 * fake::kCharWidth);
    EXPECT_EQ(size.cy, fake::kCharHeight);

    SetBkColor(dc, 0x0000FF);   // red as COLORREF
    SetTextColor(dc, 0xFF0000); // blue as COLORREF
    TextOutA(dc, 10, 20, "a ", 2);
    EXPECT_EQ(fake::BackPixel(10, 20), 0x00FF0000u);          // background cell, red
    EXPECT_EQ(fake::BackPixel(10 + 1, 20 + 3), 0x000000FFu);  // ink, blue
    EXPECT_EQ(fake::BackPixel(10 + 6, 20 + 12), 0x000000FFu); // last ink pixel
    EXPECT_EQ(fake::BackPixel(10 + 7, 20 + 12), 0x00FF0000u);
    EXPECT_EQ(fake::BackPixel(18 + 3, 20 + 5), 0x00FF0000u); // a blank has no ink
    EXPECT_EQ(fake::BackPixel(26, 20), fake::kFreshPixel);   // past the text

    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 100, 100, "x", 1);
    EXPECT_EQ(fake::BackPixel(100, 100), fake::kFreshPixel);
    EXPECT_EQ(fake::BackPixel(101, 103), 0x000000FFu);
    EXPECT_EQ(appState.backSurface->ReleaseDC(dc), DD_OK);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(FakePlatformTest, MisuseIsNoticed) {
    StartIntro();
    DDSURFACEDESC2 desc{};
    desc.dwSize = 124;
    ASSERT_EQ(appState.backSurface->Lock(nullptr, &desc, 0, nullptr), DD_OK);
    HDC dc = nullptr;
    appState.backSurface->GetDC(&dc);
    EXPECT_EQ(fake::Violations().size(), 1u);
    appState.backSurface->Unlock(nullptr);
    appState.backSurface->ReleaseDC(dc);
    appState.backSurface->Release();
    appState.backSurface->Restore();
    EXPECT_EQ(fake::Violations().size(), 2u);
    appState.backSurface = nullptr;
}

TEST_F(FakePlatformTest, SyncEventsNeedAnInstalledCallbackAndRunningPlayback) {
    EXPECT_EQ(fake::DeliverSync(3), 0);
    StartIntro();
    EXPECT_EQ(fake::DeliverSyncFromThread(3), 3);
    MIDASsuspend();
    EXPECT_EQ(fake::DeliverSync(3), 0);
    MIDASresume();
    MIDASclose();
    EXPECT_EQ(fake::DeliverSync(3), 0);
    EXPECT_EQ(appState.syncCount.load(), 3u);
}

} // namespace
