// A started intro whose ShowFrame the tests call one frame at a time, at a clock they choose.
#ifndef ZARVO_TESTS_INTRO_SHOW_FRAME_FIXTURE_H
#define ZARVO_TESTS_INTRO_SHOW_FRAME_FIXTURE_H

#include "app/app_state.h"
#include "intro_test_support.h"
#include "show/show_frame.h"

class ShowFrameTest : public IntroTest {
  protected:
    void SetUp() override {
        IntroTest::SetUp();
        StartIntro();
    }

    // One ShowFrame at the given clock, with a fresh log.
    int FrameAt(DWORD count) {
        appState.syncCount = count;
        fake::ClearLog();
        return ShowFrame();
    }
};

#endif
