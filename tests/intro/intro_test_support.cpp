// Test helpers: resetting the intro's globals and the double, and starting the intro.
#include "intro_test_support.h"

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "display/display_setup.h"
#include "app/main_window.h"
#include "music/music.h"
#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"
#include "show/show_frame.h"

void ResetIntroAndPlatform() {
    appState.instance = nullptr;
    appState.window = nullptr;
    appState.appActive = 0;
    appState.directDraw = nullptr;
    appState.primarySurface = nullptr;
    appState.backSurface = nullptr;
    appState.displayReady = 0;
    appState.frameBits = nullptr;
    appState.framePitch = 0;
    appState.surfaceDC = nullptr;
    appState.musicStage = 0;
    appState.module = nullptr;
    appState.playHandle = 0;
    appState.syncCount.store(0);

    if (scene.lights != nullptr) {
        std::free(scene.lights);
    }
    scene = Scene{};
    showRecord = ShowRecord{};
    for (Ray& ray : PrimaryRays) {
        ray = Ray{};
    }

    fake::Reset();
}

HINSTANCE TestInstance() {
    static int module;
    return reinterpret_cast<HINSTANCE>(&module);
}

int RunWinMain() {
    static char commandLine[] = "";
    return WinMain(TestInstance(), nullptr, commandLine, SW_SHOWDEFAULT);
}

void StartIntro() {
    appState.instance = TestInstance();
    ASSERT_EQ(InitMusic(), 1);
    ASSERT_EQ(CreateMainWindow(), 1);
    ASSERT_EQ(InitDisplay(), 1);
    InitPrimaryRays();
    ASSERT_EQ(InitScene(), 1);
    fake::ClearLog();
}

std::string Filled(const char* format, HRESULT code, const char* description) {
    char text[1024];
    std::snprintf(text, sizeof(text), format, static_cast<unsigned>(code), description);
    return text;
}

void IntroTest::SetUp() {
    ResetIntroAndPlatform();
}

void IntroTest::TearDown() {
    ResetIntroAndPlatform();
}
