// The five frame operations: their calls, every failure road and every restore road.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "display/frame_access.h"
#include "intro_test_support.h"

using ::testing::ElementsAre;

namespace {

constexpr char kGeneric[] = "There is an undefined error condition.";
constexpr char kLost[] =
    "Access to the surface is refused because the surface memory is gone. Call the "
    "IDirectDrawSurface4::Restore method on this surface to restore the memory associated with it.";
constexpr char kStillDrawing[] = "The previous blit operation that is transferring information to "
                                 "or from this surface is incomplete.";

constexpr char kLockMessage[] = "Sceners: IDirectDrawSurface4::Lock() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...";
constexpr char kRestoreMessage[] = "Sceners: IDirectDrawSurface4::Restore() failed with RC %u "
                                   "(%s).\r\nLamers: Just forget it...";

class FrameAccessTest : public IntroTest {
  protected:
    void SetUp() override {
        IntroTest::SetUp();
        StartIntro();
    }

    // The single box's text, expecting the box to be owned by the window and shown after the
    // display was released.
    std::string OnlyBox() {
        EXPECT_EQ(fake::Boxes().size(), 1u);
        if (fake::Boxes().empty()) {
            return "";
        }
        EXPECT_EQ(fake::Boxes()[0].owner, fake::MainWindow());
        EXPECT_EQ(fake::Boxes()[0].liveDisplayObjects, 0);
        return fake::Boxes()[0].text;
    }
};

TEST_F(FrameAccessTest, LockFrameGivesTheWholeSurfaceWithItsPitch) {
    EXPECT_EQ(LockFrame(), 1);
    EXPECT_THAT(fake::CallTexts(), ElementsAre("back->Lock(NULL, desc, 2049, NULL)"));
    ASSERT_NE(appState.frameBits, nullptr);
    EXPECT_EQ(appState.framePitch, fake::kDefaultBackPitch);
    appState.frameBits[5 * (appState.framePitch / 4) + 7] = 0x00ABCDEF;
    EXPECT_EQ(fake::BackPixel(7, 5), 0x00ABCDEFu);

    EXPECT_EQ(UnlockFrame(), 1);
    EXPECT_EQ(appState.frameBits, nullptr);
    EXPECT_EQ(appState.framePitch, 0);
    EXPECT_FALSE(fake::BackLocked());
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(FrameAccessTest, ALostLockIsRestoredAndRetriedWithoutReport) {
    fake::Script("Lock", 1, DDERR_SURFACELOST);
    fake::Script("Lock", 2, DDERR_SURFACELOST);
    EXPECT_EQ(LockFrame(), 1);
    EXPECT_THAT(fake::CallNames(), ElementsAre("Lock", "Restore", "Lock", "Restore", "Lock"));
    EXPECT_NE(appState.frameBits, nullptr);
    EXPECT_EQ(appState.framePitch, fake::kDefaultBackPitch);
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(FrameAccessTest, AFailedRestoreAfterALostLockReportsTheRestoreCode) {
    fake::Script("Lock", 1, DDERR_SURFACELOST);
    fake::Script("Restore", 1, DDERR_GENERIC);
    EXPECT_EQ(LockFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled(kRestoreMessage, DDERR_GENERIC, kGeneric));
    EXPECT_EQ(fake::CountCalls("Lock"), 1);
}

TEST_F(FrameAccessTest, AnyOtherLockFailureIsReportedWithoutRestore) {
    fake::Script("Lock", 1, DDERR_WASSTILLDRAWING);
    EXPECT_EQ(LockFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled(kLockMessage, DDERR_WASSTILLDRAWING, kStillDrawing));
    EXPECT_EQ(fake::CountCalls("Restore"), 0);
    EXPECT_EQ(fake::CountCalls("Lock"), 1);
}

TEST_F(FrameAccessTest, ALostUnlockIsRestoredButNotRepeated) {
    ASSERT_EQ(LockFrame(), 1);
    fake::Script("Unlock", 1, DDERR_SURFACELOST);
    EXPECT_EQ(UnlockFrame(), 1);
    EXPECT_EQ(fake::CountCalls("Unlock"), 1);
    EXPECT_EQ(fake::CountCalls("Restore"), 1);
    EXPECT_EQ(appState.frameBits, nullptr);
    EXPECT_EQ(appState.framePitch, 0);
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(FrameAccessTest, AFailedRestoreAfterALostUnlockReportsTheRestoreCode) {
    ASSERT_EQ(LockFrame(), 1);
    fake::Script("Unlock", 1, DDERR_SURFACELOST);
    fake::Script("Restore", 1, DDERR_WRONGMODE);
    EXPECT_EQ(UnlockFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled(kRestoreMessage, DDERR_WRONGMODE,
                                "This surface cannot be restored because it was created in a "
                                "different mode."));
}

TEST_F(FrameAccessTest, AnyOtherUnlockFailureIsReported) {
    ASSERT_EQ(LockFrame(), 1);
    fake::Script("Unlock", 1, DDERR_GENERIC);
    EXPECT_EQ(UnlockFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled("Sceners: IDirectDrawSurface4::Unlock() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...",
                                DDERR_GENERIC, kGeneric));
    EXPECT_EQ(fake::CountCalls("Restore"), 0);
}

TEST_F(FrameAccessTest, TextAccessLendsAFreshContextAndGivesItBack) {
    EXPECT_EQ(BeginText(), 1);
    EXPECT_NE(appState.surfaceDC, nullptr);
    EXPECT_TRUE(fake::DCHeld());
    const HDC lent = appState.surfaceDC;
    EXPECT_EQ(EndText(), 1);
    EXPECT_FALSE(fake::DCHeld());
    EXPECT_EQ(appState.surfaceDC, lent); // the stale handle stays
    EXPECT_THAT(fake::CallTexts(), ElementsAre("back->GetDC(out)", "back->ReleaseDC(dc)"));
}

TEST_F(FrameAccessTest, ALostSurfaceAtGetDCIsReportedNotRestored) {
    fake::Script("GetDC", 1, DDERR_SURFACELOST);
    EXPECT_EQ(BeginText(), 0);
    EXPECT_EQ(OnlyBox(), Filled("Sceners: IDirectDrawSurface4::GetDC() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...",
                                DDERR_SURFACELOST, kLost));
    EXPECT_NE(OnlyBox().find("RC 2289435074 (Access to the surface"), std::string::npos);
    EXPECT_EQ(fake::CountCalls("Restore"), 0);
}

TEST_F(FrameAccessTest, AFailedReleaseDCIsReported) {
    ASSERT_EQ(BeginText(), 1);
    fake::Script("ReleaseDC", 1, DDERR_GENERIC);
    EXPECT_EQ(EndText(), 0);
    EXPECT_EQ(OnlyBox(), Filled("Sceners: IDirectDrawSurface4::ReleaseDC() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...",
                                DDERR_GENERIC, kGeneric));
}

TEST_F(FrameAccessTest, PresentWaitsForTheBlankThenCopiesTheWholeSurface) {
    fake::FillBack(0x00102030);
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_THAT(fake::CallTexts(), ElementsAre("SetRect(rect, 0, 0, 320, 200)",
                                               "directDraw->WaitForVerticalBlank(1, NULL)",
                                               "primary->BltFast(0, 0, back, {0,0,320,200}, 16)"));
    EXPECT_EQ(fake::Presented(), 1);
    EXPECT_EQ(fake::ScreenPicture(), fake::BackPicture());
}

TEST_F(FrameAccessTest, WithoutAVerticalBlankEveryFrameIsDroppedAndTheShowGoesOn) {
    fake::ScriptAlways("WaitForVerticalBlank", DDERR_UNSUPPORTED);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(PresentFrame(), 1);
    }
    fake::ScriptAlways("WaitForVerticalBlank", DDERR_WASSTILLDRAWING);
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(fake::CountCalls("BltFast"), 0);
    EXPECT_EQ(fake::Presented(), 0);
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(FrameAccessTest, AnyOtherVerticalBlankFailureIsReported) {
    fake::Script("WaitForVerticalBlank", 1, DDERR_VERTICALBLANKINPROGRESS);
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled("Sceners: IDirectDraw4::WaitForVerticalBlank() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...",
                                DDERR_VERTICALBLANKINPROGRESS, "A vertical blank is in progress."));
    EXPECT_EQ(fake::CountCalls("BltFast"), 0);
}

TEST_F(FrameAccessTest, ALostCopyRestoresAllSurfacesAndDropsOnlyThisFrame) {
    fake::Script("BltFast", 1, DDERR_SURFACELOST);
    fake::FillBack(0x00112233);
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(fake::CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_EQ(fake::CountCalls("BltFast"), 1); // not repeated
    EXPECT_EQ(fake::Presented(), 0);
    EXPECT_NE(fake::ScreenPixel(0, 0), 0x00112233u);

    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_EQ(fake::Presented(), 1);
    EXPECT_EQ(fake::ScreenPixel(0, 0), 0x00112233u);
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(FrameAccessTest, AFailedRestoreAllIsReportedWithItsOwnCode) {
    fake::Script("BltFast", 1, DDERR_SURFACELOST);
    fake::Script("RestoreAllSurfaces", 1, DDERR_GENERIC);
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(OnlyBox(),
              Filled("Sceners: IDirectDrawSurface4::RestoreAllSurfaces() failed with RC %u "
                     "(%s).\r\nLamers: Just forget it...",
                     DDERR_GENERIC, kGeneric));
}

TEST_F(FrameAccessTest, AStillDrawingCopyIsAFailureNotADroppedFrame) {
    fake::Script("BltFast", 1, DDERR_WASSTILLDRAWING);
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(OnlyBox(), Filled("Sceners: IDirectDrawSurface4::BltFast() failed with RC %u "
                                "(%s).\r\nLamers: Just forget it...",
                                DDERR_WASSTILLDRAWING, kStillDrawing));
    EXPECT_EQ(fake::CountCalls("RestoreAllSurfaces"), 0);
}

} // namespace
