// The opening title, the program title and the caption timetable: what, when, where, and how.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "intro_test_support.h"
#include "show_frame_fixture.h"
#include "show/overlays.h"
#include "show/show_frame.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kBlack = 0x00000000;

class OverlayTest : public ShowFrameTest {};

TEST_F(OverlayTest, EachCaptionShowsForItsOwn128CountsAtTheTopLeft) {
    for (int index = 2; index < 35; ++index) {
        for (DWORD offset : {DWORD{0}, DWORD{127}}) {
            const size_t before = fake::TextDraws().size();
            ASSERT_EQ(FrameAt(static_cast<DWORD>(index) * 128 + offset), 1);
            const char* caption = captionTable[index];
            if (caption == nullptr) {
                // An empty entry takes no device context at all.
                EXPECT_EQ(fake::CountCalls("GetDC"), 0) << index;
                EXPECT_EQ(fake::TextDraws().size(), before) << index;
                continue;
            }
            ASSERT_EQ(fake::TextDraws().size(), before + 1) << index;
            const fake::TextDraw& draw = fake::TextDraws().back();
            EXPECT_EQ(draw.text, caption);
            EXPECT_EQ(draw.x, 0);
            EXPECT_EQ(draw.y, 0);
            EXPECT_EQ(draw.bkMode, 1);
            EXPECT_EQ(draw.textColor, 0xFFFFFFu);
            EXPECT_THAT(fake::CallTexts(),
                        ::testing::Contains(std::string("TextOutA(dc, 0, 0, \"") + caption +
                                            "\", " + std::to_string(std::string(caption).size()) +
                                            ")"));
        }
    }
}

TEST_F(OverlayTest, CaptionsComeAfterUnlockAndBeforePresentation) {
    FrameAt(2 * 128);
    const int unlock = fake::IndexOf("Unlock");
    const int getDC = fake::IndexOf("GetDC");
    const int text = fake::IndexOf("TextOutA");
    const int releaseDC = fake::IndexOf("ReleaseDC");
    const int wait = fake::IndexOf("WaitForVerticalBlank");
    EXPECT_LT(unlock, getDC);
    EXPECT_LT(getDC, text);
    EXPECT_LT(text, releaseDC);
    EXPECT_LT(releaseDC, wait);
    EXPECT_EQ(fake::CountCalls("GetDC"), 1);
}

TEST_F(OverlayTest, TheTitleAndEachCaptionGetTheirOwnContextTitleFirst) {
    // The real table never has a caption during the title; check the order of the two blocks
    // by letting the clock reach caption 2 between the title and the caption test.
    fake::OnCall("TextOutA", [](int nth) {
        if (nth == 1) {
            appState.syncCount = 2 * 128;
        }
    });
    FrameAt(239);
    ASSERT_EQ(fake::TextDraws().size(), 2u);
    EXPECT_EQ(fake::TextDraws()[0].text, "Zarvo!");
    EXPECT_EQ(fake::TextDraws()[1].text, captionTable[2]);
    EXPECT_EQ(fake::CountCalls("GetDC"), 2);
    EXPECT_EQ(fake::CountCalls("ReleaseDC"), 2);
    EXPECT_LT(fake::IndexOf("ReleaseDC", 1), fake::IndexOf("GetDC", 2));
}

TEST_F(OverlayTest, TheOpeningTitleIsCentredOnABlackBoxAndLeavesTheRestUntouched) {
    FrameAt(0);
    EXPECT_THAT(fake::CallTexts(),
                ::testing::ElementsAre(
                    "back->GetDC(out)",
                    "GetTextExtentPoint32A(dc, \"Quillmoor presents...\", 21, size)",
                    "SetBkColor(dc, 0x000000)", "SetTextColor(dc, 0xFFFFFF)",
                    "TextOutA(dc, 76, 92, \"Quillmoor presents...\", 21)", "back->ReleaseDC(dc)",
                    "SetRect(rect, 0, 0, 320, 200)", "directDraw->WaitForVerticalBlank(1, NULL)",
                    "primary->BltFast(0, 0, back, {0,0,320,200}, 16)"));

    // 21 cells of 8x16 from (76, 92): inside only black and white, outside the fresh surface.
    int ink = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            const uint32_t pixel = fake::ScreenPixel(x, y);
            const bool inBox = x >= 76 && x < 76 + 21 * 8 && y >= 92 && y < 108;
            if (inBox) {
                ASSERT_TRUE(pixel == kBlack || pixel == kWhite) << x << "," << y;
                ink += pixel == kWhite ? 1 : 0;
            } else {
                ASSERT_EQ(pixel, fake::kFreshPixel) << x << "," << y;
            }
        }
    }
    EXPECT_GT(ink, 0);
}

TEST_F(OverlayTest, TheProgramTitleIsCentredAndLeavesThePictureAroundItsLetters) {
    std::vector<uint32_t> picture;
    fake::OnCall("GetDC", [&picture](int) { picture = fake::BackPicture(); });
    FrameAt(100);
    EXPECT_THAT(fake::CallTexts(), ::testing::Contains("TextOutA(dc, 136, 92, \"Zarvo!\", 6)"));
    EXPECT_THAT(fake::CallTexts(), ::testing::Contains("SetBkMode(dc, 1)"));
    EXPECT_EQ(fake::CountCalls("SetBkColor"), 0);

    const std::vector<uint32_t> shown = fake::ScreenPicture();
    ASSERT_EQ(picture.size(), shown.size());
    int changed = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != picture[i]) {
            ASSERT_EQ(shown[i], kWhite);
            ++changed;
            const int x = static_cast<int>(i % 320);
            const int y = static_cast<int>(i / 320);
            EXPECT_TRUE(x >= 136 && x < 136 + 48 && y >= 92 && y < 108) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 0);
}

TEST_F(OverlayTest, CentringTruncatesAnOddWidthAndGoesNegativeForAWideText) {
    fake::SetTextExtent(101, 17);
    FrameAt(100);
    EXPECT_THAT(fake::CallTexts(), ::testing::Contains("TextOutA(dc, 109, 91, \"Zarvo!\", 6)"));

    fake::SetTextExtent(323, 16);
    FrameAt(1);
    EXPECT_THAT(fake::CallTexts(),
                ::testing::Contains("TextOutA(dc, -1, 92, \"Quillmoor presents...\", 21)"));
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(OverlayTest, AFailedMeasurementDrawsNothingReportsNothingAndGivesTheContextBack) {
    fake::Script("GetTextExtentPoint32A", 1, 0);
    EXPECT_EQ(FrameAt(100), 0);
    EXPECT_EQ(fake::CountCalls("TextOutA"), 0);
    EXPECT_EQ(fake::CountCalls("WaitForVerticalBlank"), 0);
    EXPECT_TRUE(fake::Boxes().empty());
    EXPECT_FALSE(fake::DCHeld());

    fake::Script("GetTextExtentPoint32A", 1, 0);
    EXPECT_EQ(FrameAt(0), 0);
    EXPECT_EQ(fake::CountCalls("SetBkColor"), 0);
    EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(OverlayTest, AFailedContextEndsTheFrameWithTheGetDCMessage) {
    fake::Script("GetDC", 1, DDERR_GENERIC);
    EXPECT_EQ(FrameAt(2 * 128), 0);
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].text.substr(0, 44), "Sceners: IDirectDrawSurface4::GetDC() failed");
    EXPECT_EQ(fake::CountCalls("WaitForVerticalBlank"), 0);
}

TEST_F(OverlayTest, AnEmptyOrOutOfRangeCaptionDrawsNothing) {
    fake::ClearLog();
    EXPECT_EQ(DrawCaption(0), 1);
    EXPECT_EQ(DrawCaption(35), 1);
    EXPECT_EQ(DrawCaption(-1), 1);
    EXPECT_TRUE(fake::Calls().empty());
}

} // namespace
