// ShowFrame's phases and thresholds, the sphere's placement, the light's turn and the fade, and
// the record the show keeps of each frame it makes.
#include <cmath>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "intro_test_support.h"
#include "show_frame_fixture.h"
#include "raytrace/scene.h"
#include "show/show_frame.h"

namespace {

class ShowPhaseTest : public ShowFrameTest {
  protected:
    // Puts the show past its main phase: a main frame at `lastMain` (the sphere placed near
    // whatever the clock says), then the sphere moved to the far threshold, so that the next
    // frame at or past the caption table's end belongs to the end phase.
    void EnterEndPhase(DWORD lastMain) {
        scene.sphereCenter.z = 0.0f;
        ASSERT_EQ(FrameAt(lastMain), 1);
        ASSERT_EQ(showRecord.phase, kPhaseMain);
        scene.sphereCenter.z = 103.0f;
    }

    static bool Rendered() {
        return fake::CountCalls("Lock") == 1 && fake::CountCalls("Unlock") == 1;
    }

    static bool TitleDrawn(const char* text) {
        for (const fake::TextDraw& draw : fake::TextDraws()) {
            if (draw.text == text) {
                return true;
            }
        }
        return false;
    }
};

// Where each phase begins and ends, as the show records it while it presents the frame.
TEST_F(ShowPhaseTest, TheRecordNamesEachFramesPhaseAtItsBoundaries) {
    constexpr DWORD kNoMainFrame = 0xFFFFFFFFu;
    const float nearFar = std::nextafter(103.0f, 0.0f);
    struct Row {
        const char* what;
        DWORD lastMain; // a main frame made first at this count, then the sphere set to z
        float z;
        DWORD count;
        ShowPhase phase;
    };
    const Row rows[] = {
        {"the opening's last count", kNoMainFrame, 0.0f, 2, kPhaseOpening},
        {"the main phase's first count", kNoMainFrame, 0.0f, 3, kPhaseMain},
        {"a far sphere before the captions end", kNoMainFrame, 103.0f, 4479, kPhaseMain},
        {"a sphere just short of far", 4480, nearFar, 4500, kPhaseMain},
        {"a sphere exactly at far, at once", 4480, 103.0f, 4480, kPhaseFade},
        {"the fade window's last count", 6000, 103.0f, 6064, kPhaseFade},
        {"one count past the fade window", 6000, 103.0f, 6065, kPhaseHold},
        {"long after the last main frame", 9000, 103.0f, 20000, kPhaseHold},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.lastMain != kNoMainFrame) {
            EnterEndPhase(row.lastMain);
        }
        scene.sphereCenter.z = row.z;
        // The record is written before the frame is drawn: the presentation sees it.
        ShowRecord atPresentation{};
        fake::OnCall("BltFast", [&atPresentation](int) { atPresentation = showRecord; });
        const int presented = fake::Presented();
        ASSERT_EQ(FrameAt(row.count), 1);
        EXPECT_EQ(fake::Presented(), presented + 1);
        EXPECT_EQ(atPresentation.phase, row.phase);
        EXPECT_EQ(atPresentation.clock, row.count);
        EXPECT_EQ(Rendered(), row.phase != kPhaseOpening);
        ResetIntroAndPlatform();
        ASSERT_NO_FATAL_FAILURE(StartIntro());
    }
}

TEST_F(ShowPhaseTest, CountTwoIsTheOpeningAndCountThreeTheMainPhase) {
    fake::FillBack(0x00445566);
    EXPECT_EQ(FrameAt(2), 1);
    EXPECT_FALSE(Rendered());
    EXPECT_TRUE(TitleDrawn("Quillmoor presents..."));
    EXPECT_EQ(fake::Presented(), 1);
    // The opening neither clears nor renders: away from the title the surface is as it was.
    EXPECT_EQ(fake::BackPixel(0, 0), 0x00445566u);

    EXPECT_EQ(FrameAt(3), 1);
    EXPECT_TRUE(Rendered());
    EXPECT_TRUE(TitleDrawn("Zarvo!"));
    EXPECT_NE(fake::BackPixel(160, 100), 0x00445566u);
    EXPECT_EQ(fake::Presented(), 2);
}

TEST_F(ShowPhaseTest, TheMainFrameRunsLockRenderUnlockTextPresentInOrder) {
    EXPECT_EQ(FrameAt(100), 1);
    EXPECT_THAT(fake::CallNames(),
                ::testing::ElementsAre("Lock", "Unlock", "GetDC", "GetTextExtentPoint32A",
                                       "SetBkMode", "SetTextColor", "TextOutA", "ReleaseDC",
                                       "SetRect", "WaitForVerticalBlank", "BltFast"));
    EXPECT_EQ(showRecord.phase, kPhaseMain);
    EXPECT_EQ(showRecord.clock, 100u);
    EXPECT_EQ(fake::ScreenPicture(), fake::BackPicture());
}

TEST_F(ShowPhaseTest, TheProgramTitleStopsAt240) {
    FrameAt(239);
    EXPECT_TRUE(TitleDrawn("Zarvo!"));
    FrameAt(240);
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
    FrameAt(255);
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
}

TEST_F(ShowPhaseTest, EachClockTestReadsTheClockAnew) {
    // A sync event arrives while the frame renders: the sphere was placed for 239, the title
    // test already sees 240 and draws nothing.
    fake::OnCall("Lock", [](int) { appState.syncCount = 240; });
    FrameAt(239);
    EXPECT_TRUE(Rendered());
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
    EXPECT_EQ(showRecord.clock, 239u) << "the phase was decided at 239";
}

TEST_F(ShowPhaseTest, PlacesTheSphereFromTheClock) {
    FrameAt(3);
    FrameAt(0 + 64 * 4); // t = 256
    const double t = 256.0;
    EXPECT_NEAR(scene.sphereCenter.x, 30.0 * std::sin(t / 64.0), 1e-4);
    EXPECT_NEAR(scene.sphereCenter.y, 20.0 * std::fabs(std::cos(t * M_PI / 32.0)), 1e-4);
    EXPECT_NEAR(scene.sphereCenter.z, 60.0 * std::sin(t / 128.0) + 45.0, 1e-4);

    FrameAt(16); // a quarter bounce: the sphere touches the top of its bounce
    EXPECT_NEAR(scene.sphereCenter.y, 0.0, 1e-4);
    FrameAt(32);
    EXPECT_NEAR(scene.sphereCenter.y, 20.0, 1e-4);
}

TEST_F(ShowPhaseTest, Count4479IsStillMainAndFromThereTheSphereMustBeFar) {
    EXPECT_EQ(FrameAt(4479), 1);
    EXPECT_TRUE(Rendered());
    EXPECT_EQ(fake::CountCalls("GetDC"), 0); // caption 34 is empty
    EXPECT_EQ(showRecord.phase, kPhaseMain);

    // At 4993 the sphere is just short of the far threshold (z about 102.95), at 4994 past it.
    EXPECT_EQ(FrameAt(4993), 1);
    EXPECT_NEAR(scene.sphereCenter.z, 102.95, 0.01);
    EXPECT_EQ(FrameAt(4993), 1);
    EXPECT_EQ(showRecord.phase, kPhaseMain); // still main
    EXPECT_EQ(FrameAt(4994), 1);
    EXPECT_NEAR(scene.sphereCenter.z, 103.07, 0.01);
    EXPECT_EQ(showRecord.phase, kPhaseMain);

    // The next call is the first of the end phase: the sphere stays where it is and the light
    // dims.
    const float x = scene.sphereCenter.x;
    const float z = scene.sphereCenter.z;
    EXPECT_EQ(FrameAt(4995), 1);
    EXPECT_EQ(showRecord.phase, kPhaseFade);
    EXPECT_FLOAT_EQ(scene.lights[0].color.b, 0.8f);
    EXPECT_EQ(scene.sphereCenter.x, x);
    EXPECT_EQ(scene.sphereCenter.z, z);
}

TEST_F(ShowPhaseTest, AFadeFrameDimsAmbientAndBothLightsAndAHoldFrameDoesNot) {
    EnterEndPhase(6000);
    const int presented = fake::Presented();
    EXPECT_EQ(FrameAt(6064), 1);
    EXPECT_FLOAT_EQ(scene.lights[0].color.b, 0.8f);
    EXPECT_FLOAT_EQ(scene.lights[1].color.r, 0.8f);
    EXPECT_FLOAT_EQ(scene.ambient.g, 0.08f);

    EXPECT_EQ(FrameAt(6065), 1);
    EXPECT_TRUE(Rendered());
    EXPECT_FLOAT_EQ(scene.lights[0].color.b, 0.8f); // hold: no dimming
    EXPECT_EQ(fake::Presented(), presented + 2);
}

TEST_F(ShowPhaseTest, TheTwelfthFadeCallEndsTheShowWithoutDrawing) {
    EnterEndPhase(7000);
    const int presented = fake::Presented();
    float expected = 1.0f;
    for (int frame = 1; frame <= 11; ++frame) {
        ASSERT_EQ(FrameAt(7000 + frame), 1) << frame;
        EXPECT_TRUE(Rendered());
        expected = static_cast<float>(static_cast<double>(expected) * 0.8f);
        EXPECT_EQ(scene.lights[0].color.b, expected) << frame;
    }
    EXPECT_NEAR(scene.lights[0].color.b, 0.0859, 1e-3);
    EXPECT_EQ(FrameAt(7012), 0);
    EXPECT_TRUE(fake::Calls().empty());
    EXPECT_EQ(fake::Presented(), presented + 11);
}

TEST_F(ShowPhaseTest, ABlueOfExactlyPointOneEnds) {
    EnterEndPhase(8000);
    scene.lights[0].color.b = 0.1f;
    EXPECT_EQ(FrameAt(8001), 0);
    scene.lights[0].color.b = std::nextafter(0.1f, 1.0f);
    EXPECT_EQ(FrameAt(8001), 1);
}

TEST_F(ShowPhaseTest, TheHoldPhaseNeverEndsAndKeepsBouncingAndTurning) {
    EnterEndPhase(9000);
    scene.sphereCenter.x = 7.0f;
    const Color ambient = scene.ambient;
    float lastY = -1.0f;
    int bounces = 0;
    for (DWORD count = 9065; count < 9065 + 200; ++count) {
        ASSERT_EQ(FrameAt(count), 1);
        bounces += scene.sphereCenter.y != lastY ? 1 : 0;
        lastY = scene.sphereCenter.y;
    }
    EXPECT_GT(bounces, 150);
    EXPECT_EQ(scene.sphereCenter.x, 7.0f);
    EXPECT_EQ(scene.sphereCenter.z, 103.0f);
    EXPECT_EQ(scene.ambient.r, ambient.r);
    EXPECT_EQ(scene.lights[0].color.b, 1.0f);
    EXPECT_EQ(showRecord.phase, kPhaseHold);
}

TEST_F(ShowPhaseTest, LightOneTurnsByATenthRadianPerRenderedFrameAndTheRecordCountsTheTurns) {
    FrameAt(50);
    // The record holds the turns made before the frame: where the light stood in its picture.
    const DWORD first = showRecord.lightTurns;
    const Vector& position = scene.lights[1].position;
    EXPECT_NEAR(position.x, -25.0 * std::sin(0.1), 1e-5);
    EXPECT_NEAR(position.y, 25.0 * std::cos(0.1), 1e-5);
    EXPECT_EQ(position.z, 0.0f);
    FrameAt(1); // the opening renders nothing and turns nothing
    EXPECT_NEAR(position.x, -25.0 * std::sin(0.1), 1e-5);
    EXPECT_EQ(showRecord.lightTurns, first + 1);
    FrameAt(50);
    EXPECT_EQ(showRecord.lightTurns, first + 1);
    for (int frame = 2; frame < 63; ++frame) {
        FrameAt(50);
    }
    EXPECT_EQ(showRecord.lightTurns, first + 62);
    // 63 turns of 0.1 are just past a full circle; the radius stays 25.
    EXPECT_NEAR(std::atan2(position.y, position.x), std::remainder(M_PI / 2 + 6.3, 2 * M_PI), 1e-3);
    EXPECT_NEAR(std::hypot(position.x, position.y), 25.0, 1e-3);
}

TEST_F(ShowPhaseTest, AFailedLockEndsTheFrameAtOnce) {
    fake::Script("Lock", 1, DDERR_GENERIC);
    EXPECT_EQ(FrameAt(100), 0);
    EXPECT_EQ(fake::CountCalls("GetDC"), 0);
    EXPECT_EQ(fake::CountCalls("WaitForVerticalBlank"), 0);
    EXPECT_EQ(fake::Boxes().size(), 1u);
    // Neither rendered nor turned: the next frame stands where this one would have.
    const DWORD turns = showRecord.lightTurns;
    ResetIntroAndPlatform();
    ASSERT_NO_FATAL_FAILURE(StartIntro());
    FrameAt(100);
    EXPECT_EQ(showRecord.lightTurns, turns);
}

} // namespace
