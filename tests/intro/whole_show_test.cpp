// A whole simulated show through WinMain, from count 0 to its end, frame by frame.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "intro_test_support.h"
#include "raytrace/scene.h"
#include "show/overlays.h"
#include "show/show_frame.h"

namespace {

// What one presented (or dropped) frame showed, taken when it waited for the vertical blank.
struct FrameSeen {
    DWORD count;   // the clock during the frame
    bool rendered; // the scene was traced into the surface
    std::vector<std::string> texts;
    float blue; // light 0's blue after the frame's fade step
};

// Sync events per frame: every count through the title and the first captions, then faster
// through the caption table, then two per frame so that the end comes within the fade window.
int SyncsAfter(DWORD count) {
    if (count < 300) {
        return 1;
    }
    if (count < 4400) {
        return 8;
    }
    return 2;
}

class WholeShowTest : public IntroTest {
  protected:
    std::vector<FrameSeen> frames;

    void WatchFrames() {
        fake::OnCall("WaitForVerticalBlank", [this](int) {
            FrameSeen seen{appState.syncCount.load(),
                           locksSeen != fake::CountCalls("Lock"),
                           {},
                           scene.lights[0].color.b};
            locksSeen = fake::CountCalls("Lock");
            for (size_t i = textsSeen; i < fake::TextDraws().size(); ++i) {
                seen.texts.push_back(fake::TextDraws()[i].text);
            }
            textsSeen = fake::TextDraws().size();
            frames.push_back(seen);
            // The music plays on, on its own thread, while the frame waits for the display.
            fake::DeliverSyncFromThread(SyncsAfter(seen.count));
        });
    }

  private:
    int locksSeen = 0;
    size_t textsSeen = 0;
};

TEST_F(WholeShowTest, RunsFromTheOpeningToTheFadeAndEndsWithExitCodeZero) {
    WatchFrames();
    EXPECT_EQ(RunWinMain(), 0);

    ASSERT_GT(frames.size(), 100u);
    size_t i = 0;
    // Opening: counts 0 to 2, the title over the untouched surface.
    for (; i < frames.size() && frames[i].count < 3; ++i) {
        EXPECT_FALSE(frames[i].rendered);
        EXPECT_THAT(frames[i].texts, ::testing::ElementsAre("Quillmoor presents..."));
    }
    EXPECT_EQ(i, 3u);

    // Main: the scene on every frame, the program title until 239, then the timetable, every
    // caption of which is reached before the main phase ends.
    size_t mainFrames = 0;
    std::set<DWORD> captionsShown;
    for (; i < frames.size() && frames[i].blue == 1.0f; ++i, ++mainFrames) {
        const FrameSeen& frame = frames[i];
        EXPECT_TRUE(frame.rendered);
        std::vector<std::string> expected;
        if (frame.count < 240) {
            expected.push_back("Zarvo!");
        }
        const DWORD caption = frame.count >> 7;
        if (caption < 35 && captionTable[caption] != nullptr) {
            expected.push_back(captionTable[caption]);
            captionsShown.insert(caption);
        }
        EXPECT_EQ(frame.texts, expected) << "count " << frame.count;
    }
    ASSERT_GT(mainFrames, 500u);
    for (DWORD caption = 0; caption < 35; ++caption) {
        EXPECT_EQ(captionsShown.count(caption), captionTable[caption] != nullptr ? 1u : 0u)
            << "caption " << caption;
    }
    const DWORD lastMain = frames[i - 1].count;
    EXPECT_GE(lastMain, 4480u);

    // Fade: eleven frames, each dimmer, no text; the twelfth call ends the show unseen.
    size_t fadeFrames = 0;
    float blue = 1.0f;
    for (; i < frames.size(); ++i, ++fadeFrames) {
        EXPECT_TRUE(frames[i].rendered);
        EXPECT_TRUE(frames[i].texts.empty());
        EXPECT_LT(frames[i].blue, blue);
        EXPECT_LE(frames[i].count - lastMain, 64u + 2u);
        blue = frames[i].blue;
    }
    EXPECT_EQ(fadeFrames, 11u);
    EXPECT_EQ(scene.lights, nullptr);

    // The end: released once, nothing reported, and everything given back.
    EXPECT_TRUE(fake::Boxes().empty());
    EXPECT_EQ(fake::CountCalls("RestoreDisplayMode"), 1);
    EXPECT_EQ(fake::CountCalls("MIDASclose"), 1);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    EXPECT_EQ(fake::Presented(), static_cast<int>(frames.size()));
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(WholeShowTest, TheFarPointIsReachedAtCount4994WhenEveryCountIsSeen) {
    // Every count is seen from 4400 on: the last main frame is the first count at or above 4480
    // at which the sphere is far, and the fade follows it at once.
    appState.syncCount = 0;
    std::vector<ShowRecord> records;
    fake::OnCall("WaitForVerticalBlank", [&records](int) {
        records.push_back(showRecord);
        const DWORD count = appState.syncCount.load();
        fake::DeliverSync(count < 4400 ? 100 : 1);
    });
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(fake::Boxes().size(), 0u);
    size_t firstFade = 0;
    while (firstFade < records.size() && records[firstFade].phase != kPhaseFade) {
        ++firstFade;
    }
    ASSERT_GT(firstFade, 0u);
    ASSERT_EQ(records.size(), firstFade + 11) << "eleven fade frames end the show";
    EXPECT_EQ(records[firstFade - 1].phase, kPhaseMain);
    EXPECT_EQ(records[firstFade - 1].clock, 4994u);
    EXPECT_EQ(records[firstFade].clock, 4995u);
}

TEST_F(WholeShowTest, SyncEventsDuringStartUpCanSkipTheOpeningTitle) {
    // The music counts from the moment it plays: the display mode change takes its time.
    fake::OnCall("SetDisplayMode", [](int) { fake::DeliverSyncFromThread(3); });
    fake::OnCall("WaitForVerticalBlank", [](int nth) {
        if (nth == 2) {
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });
    EXPECT_EQ(RunWinMain(), 0);
    ASSERT_GE(fake::TextDraws().size(), 1u);
    for (const fake::TextDraw& draw : fake::TextDraws()) {
        EXPECT_EQ(draw.text, "Zarvo!");
    }
    EXPECT_GE(fake::CountCalls("Lock"), 2);
}

} // namespace
