// The heard clock: a W command is due when the output has played what it held before its row,
// in the order rows were played; an output that renders nothing while it should is stalled after
// two seconds, and one that is paused never is.
#include "sound_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using platform::SoundClock;
using platform::SyncCall;
using Ms = std::chrono::milliseconds;

SoundClock::Time At(int ms) {
    return SoundClock::Time{} + Ms(1000) + Ms(ms);
}

std::vector<unsigned> Rows(const std::vector<SyncCall>& calls) {
    std::vector<unsigned> rows;
    for (const SyncCall& call : calls) {
        rows.push_back(call.row);
    }
    return rows;
}

TEST(SoundClock, ARowIsDueWhenWhatTheOutputHeldBeforeItHasBeenPlayed) {
    // 48 frames a millisecond; the output holds 2880 frames (60 ms) ahead of each rendering.
    SoundClock clock(48000);
    std::vector<SyncCall> due;
    clock.Rendered(At(0), 2880, 2880);
    ASSERT_TRUE(clock.Queue(0, 0, 0, 1));
    ASSERT_TRUE(clock.Queue(480, 0, 0, 2)); // 10 ms into the rendering
    EXPECT_EQ(clock.NextDue(), At(60));
    clock.TakeDue(At(59), due);
    EXPECT_TRUE(due.empty()) << "a row was due before it was heard";
    clock.TakeDue(At(60), due);
    EXPECT_EQ(Rows(due), std::vector<unsigned>{1});
    EXPECT_EQ(clock.RenderingHeard(), At(120));

    // The next rendering comes late (the output ran dry and asks with nothing held): its row is
    // heard sooner than the one still waiting, which keeps its turn.
    clock.Rendered(At(61), 2880, 0);
    ASSERT_TRUE(clock.Queue(0, 0, 0, 3));
    clock.TakeDue(At(65), due);
    EXPECT_EQ(Rows(due), std::vector<unsigned>{1}) << "row 3 overtook row 2";
    clock.TakeDue(At(70), due);
    EXPECT_EQ(Rows(due), (std::vector<unsigned>{1, 2, 3}));
    EXPECT_TRUE(clock.Empty());

    // Paused, everything rendered is taken at once; a new callback forgets what waits for the
    // old one.
    clock.Rendered(At(80), 2880, 2880);
    ASSERT_TRUE(clock.Queue(100, 0, 0, 4));
    due.clear();
    clock.TakeAll(due);
    EXPECT_EQ(Rows(due), std::vector<unsigned>{4});
    ASSERT_TRUE(clock.Queue(100, 0, 0, 5));
    clock.Drop();
    EXPECT_TRUE(clock.Empty());
    EXPECT_EQ(clock.NextDue(), SoundClock::Time::max());

    // A full queue refuses, so that the caller makes the call at once rather than lose it.
    for (std::size_t i = 0; i < SoundClock::kQueueSize; ++i) {
        ASSERT_TRUE(clock.Queue(0, 0, 0, 6));
    }
    EXPECT_FALSE(clock.Queue(0, 0, 0, 7));
}

TEST(SoundClock, AnOutputIsStalledAfterTwoSecondsOfPlayingWithoutARendering) {
    SoundClock clock(48000);
    EXPECT_FALSE(clock.Stalled(At(10000))) << "stalled before it ever played";
    clock.SetPlaying(At(0), true);
    clock.Rendered(At(500), 512, 0);
    EXPECT_FALSE(clock.Stalled(At(2499)));
    EXPECT_TRUE(clock.Stalled(At(2500)));
    // Paused, the wait does not count; resumed, it starts again.
    clock.SetPlaying(At(2600), false);
    EXPECT_FALSE(clock.Stalled(At(9000)));
    clock.SetPlaying(At(9000), true);
    EXPECT_FALSE(clock.Stalled(At(10999)));
    EXPECT_TRUE(clock.Stalled(At(11000)));
    clock.Rendered(At(11000), 512, 0);
    EXPECT_FALSE(clock.Stalled(At(11100))) << "a rendering is a sign of life";
}

} // namespace
