// Judging a frame's phase from what it did: text only, dimmed lights, a moved sphere, or none.
#include "frame_phase.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using capture::ClassifyFrame;
using capture::FrameTrace;
using capture::Phase;

// A rendered frame in which nothing moved or dimmed, at count 5000 long after the last main one.
FrameTrace Still() {
    FrameTrace trace;
    trace.locked = true;
    trace.sphereXStart = trace.sphereXEnd = -12.5f;
    trace.sphereZStart = trace.sphereZEnd = 103.07f;
    trace.lightBlueStart = trace.lightBlueEnd = 0.5f;
    trace.lastMainTickStart = 4994;
    trace.syncCount = 5100;
    return trace;
}

TEST(FramePhase, AFrameWithoutALockIsTheOpeningTitle) {
    FrameTrace trace = Still();
    trace.locked = false;
    trace.sphereXEnd = 3.0f; // whatever else changed
    EXPECT_EQ(ClassifyFrame(trace), Phase::opening);
}

TEST(FramePhase, DimmedLightZeroMakesAFadeFrame) {
    FrameTrace trace = Still();
    trace.lightBlueEnd = 0.4f;
    EXPECT_EQ(ClassifyFrame(trace), Phase::fade);
}

TEST(FramePhase, AMovedSphereMakesAMainFrame) {
    FrameTrace trace = Still();
    trace.sphereZEnd = 102.9f;
    EXPECT_EQ(ClassifyFrame(trace), Phase::main);
    trace = Still();
    trace.sphereXEnd = -12.4f;
    EXPECT_EQ(ClassifyFrame(trace), Phase::main);
}

TEST(FramePhase, AnUnchangedCountSinceTheLastMainFrameIsStillMain) {
    // Two main frames at the same count place the sphere at the same spot.
    FrameTrace trace = Still();
    trace.syncCount = trace.lastMainTickStart;
    EXPECT_EQ(ClassifyFrame(trace), Phase::main);
}

TEST(FramePhase, ARenderedFrameThatNeitherMovesNorDimsIsHold) {
    EXPECT_EQ(ClassifyFrame(Still()), Phase::hold);
    // The bounce (y) goes on in the hold phase and does not count as placing the sphere.
    FrameTrace trace = Still();
    trace.lightBlueEnd = 0.5f;
    EXPECT_EQ(ClassifyFrame(trace), Phase::hold);
}

TEST(FramePhase, NamesAreTheCsvWords) {
    EXPECT_EQ(std::string(capture::PhaseName(Phase::opening)), "opening");
    EXPECT_EQ(std::string(capture::PhaseName(Phase::main)), "main");
    EXPECT_EQ(std::string(capture::PhaseName(Phase::fade)), "fade");
    EXPECT_EQ(std::string(capture::PhaseName(Phase::hold)), "hold");
}

} // namespace
