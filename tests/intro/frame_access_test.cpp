// The five frame operations: their calls, and a table of every failure road and restore road.
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "display/dd_errors.h"
#include "display/frame_access.h"
#include "intro_test_support.h"

using ::testing::ElementsAre;

namespace {

class FrameAccessTest : public IntroTest {
  protected:
    void SetUp() override {
        IntroTest::SetUp();
        StartIntro();
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

TEST_F(FrameAccessTest, PresentWaitsForTheBlankThenCopiesTheWholeSurface) {
    fake::FillBack(0x00102030);
    EXPECT_EQ(PresentFrame(), 1);
    EXPECT_THAT(fake::CallTexts(), ElementsAre("SetRect(rect, 0, 0, 320, 200)",
                                               "directDraw->WaitForVerticalBlank(1, NULL)",
                                               "primary->BltFast(0, 0, back, {0,0,320,200}, 16)"));
    EXPECT_EQ(fake::Presented(), 1);
    EXPECT_EQ(fake::ScreenPicture(), fake::BackPicture());
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

enum class Operation { lock, unlock, beginText, endText, present };

struct Scripted {
    const char* name;
    int nth;
    HRESULT result;
};

// One road through a frame operation: what the double answers, what the operation returns,
// which calls it made, and the failure it reports (its function and code), if any.
struct Road {
    const char* what;
    Operation operation;
    std::vector<Scripted> answers;
    int returns;
    const char* calls;              // their names, in order, with a space between
    const char* reported = nullptr; // null: no box
    HRESULT code = DD_OK;
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

void PrintTo(const Road& road, std::ostream* out) {
    *out << road.what;
}

class FrameAccessRoad : public FrameAccessTest, public ::testing::WithParamInterface<Road> {};

TEST_P(FrameAccessRoad, RestoresWhatItMayAndReportsEveryOtherFailureWithItsOwnCode) {
    const Road& road = GetParam();
    // Unlock and EndText end what Lock and BeginText began.
    if (road.operation == Operation::unlock) {
        ASSERT_EQ(LockFrame(), 1);
    } else if (road.operation == Operation::endText) {
        ASSERT_EQ(BeginText(), 1);
    }
    fake::ClearLog();
    for (const Scripted& answer : road.answers) {
        fake::Script(answer.name, answer.nth, answer.result);
    }
    int result = 0;
    switch (road.operation) {
    case Operation::lock:
        result = LockFrame();
        break;
    case Operation::unlock:
        result = UnlockFrame();
        break;
    case Operation::beginText:
        result = BeginText();
        break;
    case Operation::endText:
        result = EndText();
        break;
    case Operation::present:
        result = PresentFrame();
        break;
    }
    EXPECT_EQ(result, road.returns);
    // The operation's own calls: those before the Shutdown that a report runs before its box.
    std::vector<std::string> calls = fake::CallNames();
    const int shutdown = fake::IndexOf("MIDASsetMusicSyncCallback");
    if (shutdown >= 0) {
        calls.resize(static_cast<std::size_t>(shutdown));
    }
    EXPECT_EQ(calls, Words(road.calls));
    EXPECT_EQ(fake::Presented(), 0) << "no road here shows its frame";

    if (road.reported == nullptr) {
        EXPECT_TRUE(fake::Boxes().empty());
    } else {
        const std::string format = std::string("Sceners: ") + road.reported +
                                   "() failed with RC %u (%s).\r\nLamers: Just forget it...";
        ASSERT_EQ(fake::Boxes().size(), 1u);
        const fake::Box& box = fake::Boxes()[0];
        EXPECT_EQ(box.text, Filled(format.c_str(), road.code, DDErrorString(road.code)));
        EXPECT_EQ(box.owner, fake::MainWindow());
        EXPECT_EQ(box.liveDisplayObjects, 0) << "the box comes after the display is released";
    }
    // A frame that went on holds the lock's pointer and pitch until its unlock gives them up.
    if (road.returns == 1 && road.operation == Operation::lock) {
        EXPECT_NE(appState.frameBits, nullptr);
        EXPECT_EQ(appState.framePitch, fake::kDefaultBackPitch);
    } else if (road.returns == 1 && road.operation == Operation::unlock) {
        EXPECT_EQ(appState.frameBits, nullptr);
        EXPECT_EQ(appState.framePitch, 0);
    }
}

const char kRestore[] = "IDirectDrawSurface4::Restore";
const char kRestoreAll[] = "IDirectDrawSurface4::RestoreAllSurfaces";
const char kWait[] = "IDirectDraw4::WaitForVerticalBlank";
constexpr HRESULT kLost = DDERR_SURFACELOST;
constexpr HRESULT kStill = DDERR_WASSTILLDRAWING;

// clang-format off
const Road kRoads[] = {
    {"a lost lock is restored and tried again, as often as it is lost", Operation::lock,
     {{"Lock", 1, kLost}, {"Lock", 2, kLost}}, 1, "Lock Restore Lock Restore Lock"},
    {"a restore after a lost lock fails: its own code is reported", Operation::lock,
     {{"Lock", 1, kLost}, {"Restore", 1, DDERR_GENERIC}}, 0, "Lock Restore",
     kRestore, DDERR_GENERIC},
    {"any other lock failure is reported without a restore", Operation::lock,
     {{"Lock", 1, kStill}}, 0, "Lock", "IDirectDrawSurface4::Lock", kStill},
    {"a lost unlock is restored but not repeated", Operation::unlock,
     {{"Unlock", 1, kLost}}, 1, "Unlock Restore"},
    {"a restore after a lost unlock fails: its own code is reported", Operation::unlock,
     {{"Unlock", 1, kLost}, {"Restore", 1, DDERR_WRONGMODE}}, 0, "Unlock Restore",
     kRestore, DDERR_WRONGMODE},
    {"any other unlock failure is reported", Operation::unlock,
     {{"Unlock", 1, DDERR_GENERIC}}, 0, "Unlock", "IDirectDrawSurface4::Unlock", DDERR_GENERIC},
    {"a lost surface at GetDC is reported, not restored", Operation::beginText,
     {{"GetDC", 1, kLost}}, 0, "GetDC", "IDirectDrawSurface4::GetDC", kLost},
    {"a failed ReleaseDC is reported", Operation::endText,
     {{"ReleaseDC", 1, DDERR_GENERIC}}, 0, "ReleaseDC", "IDirectDrawSurface4::ReleaseDC",
     DDERR_GENERIC},
    {"without a vertical blank the frame is dropped and the show goes on", Operation::present,
     {{"WaitForVerticalBlank", 1, DDERR_UNSUPPORTED}}, 1, "SetRect WaitForVerticalBlank"},
    {"a vertical blank still drawing drops the frame too", Operation::present,
     {{"WaitForVerticalBlank", 1, kStill}}, 1, "SetRect WaitForVerticalBlank"},
    {"any other vertical blank failure is reported", Operation::present,
     {{"WaitForVerticalBlank", 1, DDERR_VERTICALBLANKINPROGRESS}}, 0,
     "SetRect WaitForVerticalBlank", kWait, DDERR_VERTICALBLANKINPROGRESS},
    {"a lost copy restores every surface and drops the frame", Operation::present,
     {{"BltFast", 1, kLost}}, 1, "SetRect WaitForVerticalBlank BltFast RestoreAllSurfaces"},
    {"a failed restore of every surface is reported with its own code", Operation::present,
     {{"BltFast", 1, kLost}, {"RestoreAllSurfaces", 1, DDERR_GENERIC}}, 0,
     "SetRect WaitForVerticalBlank BltFast RestoreAllSurfaces", kRestoreAll, DDERR_GENERIC},
    {"a copy still drawing is a failure, not a dropped frame", Operation::present,
     {{"BltFast", 1, kStill}}, 0, "SetRect WaitForVerticalBlank BltFast",
     "IDirectDrawSurface4::BltFast", kStill},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EveryRoad, FrameAccessRoad, ::testing::ValuesIn(kRoads));

} // namespace
