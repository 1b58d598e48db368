// The live program's pace machinery: the last picture presented again under vsync for a frame of
// several refreshes, a vsync that does not wait replaced by the 60 Hz timer, the test refresh.
#include "sdl_pace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

int repeats = 0;
std::chrono::microseconds presentTakes{0}; // how long a present blocks (a refresh, or nothing)

// A present of the renderer: waits as long as vsync would, then tells the pace.
void Present() {
    std::this_thread::sleep_for(presentTakes);
    sdl::NotePresent();
}

bool Repeat() {
    ++repeats;
    Present();
    return true;
}

class SdlPace : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("ZARVO_TEST_REFRESH_HZ");
        repeats = 0;
    }
    void TearDown() override {
        unsetenv("ZARVO_TEST_REFRESH_HZ");
    }
};

TEST_F(SdlPace, UnderVsyncEachPictureIsPresentedAgainUntilItsFrameOfRefreshesIsFull) {
    presentTakes = std::chrono::microseconds(1000000 / 240 + 200); // a 240 Hz refresh
    sdl::StartPace(true, 240);
    ASSERT_EQ(sdl::PaceInForce().refreshes, 3);
    for (int frame = 0; frame < 10; ++frame) {
        sdl::PaceForFrame(Repeat);
        Present(); // the new picture's own present
    }
    EXPECT_EQ(repeats, 20) << "two more presents of each picture, three refreshes a frame";
    EXPECT_EQ(sdl::PaceInForce().refreshes, 3) << "a vsync that waits stays in charge";
}

TEST_F(SdlPace, AVsyncThatDoesNotWaitGivesWayToTheSixtyHertzTimer) {
    presentTakes = std::chrono::microseconds(0);
    sdl::StartPace(true, 144);
    ASSERT_EQ(sdl::PaceInForce().refreshes, 2);
    int frames = 0;
    while (sdl::PaceInForce().refreshes != 0 && frames < 100) {
        sdl::PaceForFrame(Repeat);
        Present();
        ++frames;
    }
    EXPECT_LT(frames, 40) << "about thirty fast presents are enough to tell";
    EXPECT_EQ(sdl::PaceInForce().refreshes, 0);
    EXPECT_DOUBLE_EQ(sdl::PaceInForce().framesPerSecond, 60.0);
    // From then on the timer holds each frame and nothing is presented again.
    const int before = repeats;
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < 6; ++frame) {
        sdl::PaceForFrame(Repeat);
    }
    EXPECT_EQ(repeats, before);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5 * 1000 / 60))
        << "six frames on a 60 Hz grid span at least five of its periods";
}

TEST_F(SdlPace, AnUnknownRefreshOrNoVsyncPacesAtSixtyAndTheTestRefreshStandsForTheDisplay) {
    sdl::StartPace(true, 0);
    EXPECT_EQ(sdl::PaceInForce().refreshes, 0);
    EXPECT_DOUBLE_EQ(sdl::PaceInForce().framesPerSecond, 60.0);
    sdl::StartPace(false, 144);
    EXPECT_EQ(sdl::PaceInForce().refreshes, 0);
    EXPECT_DOUBLE_EQ(sdl::PaceInForce().framesPerSecond, 60.0);
    setenv("ZARVO_TEST_REFRESH_HZ", "144", 1);
    sdl::StartPace(false, 60);
    EXPECT_EQ(sdl::PaceInForce().refreshes, 2);
    EXPECT_DOUBLE_EQ(sdl::PaceInForce().framesPerSecond, 72.0);
    setenv("ZARVO_TEST_REFRESH_HZ", "fast", 1);
    EXPECT_EQ(sdl::EmulatedRefreshRate(), 0.0);
}

} // namespace
