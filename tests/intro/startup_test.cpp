// Start-up order, a failure at each start-up step, and Shutdown's single release.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/shutdown.h"
#include "intro_test_support.h"
#include "raytrace/primary_rays.h"
#include "raytrace/scene.h"

using ::testing::ElementsAreArray;

namespace {

// Ends the main loop at its first pass with Escape, so WinMain runs start-up, the Escape road
// and Shutdown.
void EscapeAtFirstPass() {
    fake::OnCall("PeekMessageA", [](int nth) {
        if (nth == 1) {
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });
}

std::vector<std::string> TextsBefore(const std::string& name) {
    std::vector<std::string> texts = fake::CallTexts();
    texts.resize(static_cast<size_t>(fake::IndexOf(name)));
    return texts;
}

// The calls from position `from` on, leaving out those that only read error texts or choose
// the box's owner.
std::vector<std::string> TeardownTexts(int from, int to) {
    static const std::set<std::string> ignored = {"MIDASgetLastError", "MIDASgetErrorMessage",
                                                  "IsWindow", "IsWindowVisible"};
    std::vector<std::string> texts;
    for (int i = from; i < to; ++i) {
        const fake::Call& call = fake::Calls()[static_cast<size_t>(i)];
        if (ignored.count(call.name) == 0) {
            texts.push_back(call.Text());
        }
    }
    return texts;
}

const std::vector<std::string> kMusicStartup = {
    "MIDASstartup()",
    "MIDASconfig()",
    "MIDASinit()",
    "MIDASstartBackgroundPlay(0)",
    "MIDASloadModule(\"Zarvo.xm\")",
    "MIDASplayModule(module, 1)",
    "MIDASsetMusicSyncCallback(1, callback)",
};

const std::vector<std::string> kMusicTeardown = {
    "MIDASsetMusicSyncCallback(1, NULL)", "MIDASstopModule(1)", "MIDASfreeModule(module)",
    "MIDASstopBackgroundPlay()",          "MIDASclose()",
};

const std::vector<std::string> kDisplayTeardown = {
    "directDraw->SetCooperativeLevel(window, 8)",
    "directDraw->RestoreDisplayMode()",
    "directDraw->Release()",
    "primary->Release()",
    "back->Release()",
};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using StartupTest = IntroTest;

TEST_F(StartupTest, StartsMusicThenWindowThenDisplayInTheFixedOrder) {
    EscapeAtFirstPass();
    std::vector<std::string> expected = kMusicStartup;
    const std::vector<std::string> window = {
        "LoadIconA(instance, 101)",
        "LoadCursorA(NULL, 32512)",
        "GetStockObject(4)",
        "RegisterClassA(\"QuillmoorKV98DemoMainWnd\")",
        "GetSystemMetrics(0)",
        "GetSystemMetrics(1)",
        "CreateWindowExA(0x00000008, \"QuillmoorKV98DemoMainWnd\", \"Zarvo / Quillmoor\", "
        "0x80000000, 0, 0, 1280, 1024, NULL, NULL, instance, NULL)",
        "ShowWindow(window, 10)",
        "MIDASresume()", // the activation the window manager sends when the window comes up
        "UpdateWindow(window)",
        "SetFocus(window)",
    };
    const std::vector<std::string> display = {
        "DirectDrawCreate(NULL, out, NULL)",
        "directDraw1->QueryInterface(IID_IDirectDraw4, out)",
        "directDraw1->Release()",
        "directDraw->SetCooperativeLevel(window, 19)",
        "directDraw->SetDisplayMode(320, 200, 32, 0, 0)",
        "directDraw->CreateSurface(primary desc, out, NULL)",
        "directDraw->CreateSurface(back desc, out, NULL)",
    };
    expected = Join(Join(expected, window), display);

    // The grid and the scene are ready by the time the loop first looks at the queue.
    bool sceneReady = false;
    fake::OnCall("PeekMessageA", [&sceneReady](int nth) {
        if (nth == 1) {
            sceneReady = scene.lights != nullptr && scene.lightCount == 2 &&
                         PrimaryRays[0].direction.z != 0.0f && appState.displayReady == 1;
            fake::Post(WM_KEYDOWN, VK_ESCAPE);
        }
    });

    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_THAT(TextsBefore("PeekMessageA"), ElementsAreArray(expected));
    EXPECT_TRUE(sceneReady);
    EXPECT_EQ(appState.instance, TestInstance());
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(StartupTest, RegistersOneIconedClassAndOpensATopmostPopupCoveringTheScreen) {
    EscapeAtFirstPass();
    RunWinMain();
    ASSERT_EQ(fake::Classes().size(), 1u);
    const fake::ClassRecord& registered = fake::Classes()[0];
    EXPECT_EQ(registered.fields.style, 3u);
    EXPECT_EQ(registered.fields.cbClsExtra, 0);
    EXPECT_EQ(registered.fields.cbWndExtra, 0);
    EXPECT_EQ(registered.fields.hInstance, TestInstance());
    EXPECT_NE(registered.fields.hIcon, nullptr);
    EXPECT_EQ(registered.iconId, 101);
    EXPECT_EQ(registered.cursorId, 0x7F00);
    EXPECT_EQ(registered.stockObject, 4);
    EXPECT_NE(registered.fields.hbrBackground, nullptr);
    EXPECT_EQ(registered.fields.lpszMenuName, nullptr);
    EXPECT_EQ(registered.className, "QuillmoorKV98DemoMainWnd");

    ASSERT_EQ(fake::Windows().size(), 1u);
    const fake::WindowRecord& window = fake::Windows()[0];
    EXPECT_EQ(window.exStyle, 0x8u);
    EXPECT_EQ(window.style, 0x80000000u);
    EXPECT_EQ(window.title, "Zarvo / Quillmoor");
    EXPECT_EQ(window.width, fake::kScreenWidth);
    EXPECT_EQ(window.height, fake::kScreenHeight);
}

TEST_F(StartupTest, EscapeEndsWithOneCompleteShutdownAndExitCodeZero) {
    EscapeAtFirstPass();
    EXPECT_EQ(RunWinMain(), 0);
    const int quit = fake::LastIndexOf("GetMessageA");
    EXPECT_THAT(TeardownTexts(quit + 1, static_cast<int>(fake::Calls().size())),
                ElementsAreArray(Join(kMusicTeardown, kDisplayTeardown)));
    EXPECT_EQ(scene.lights, nullptr);
    EXPECT_EQ(fake::LiveDisplayObjects(), 0);
    EXPECT_FALSE(fake::SoundOpen());
    EXPECT_FALSE(fake::WindowAlive());
    EXPECT_TRUE(fake::Boxes().empty());
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

TEST_F(StartupTest, ShutdownTwiceReleasesOnce) {
    StartIntro();
    Shutdown();
    EXPECT_THAT(fake::CallTexts(), ElementsAreArray(Join(kMusicTeardown, kDisplayTeardown)));
    EXPECT_EQ(scene.lights, nullptr);
    fake::ClearLog();
    Shutdown();
    EXPECT_TRUE(fake::Calls().empty());
    EXPECT_EQ(appState.displayReady, 0);
    EXPECT_EQ(appState.musicStage, 0u);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

// One failing start-up step: which call fails, what the box says, what is released before it.
struct StartupFailure {
    const char* name;
    int nth;
    long long result;
    std::string message;
    bool ownedByWindow;
    std::vector<std::string> teardown; // calls between the failure and the box
};

void PrintTo(const StartupFailure& failure, std::ostream* out) {
    *out << failure.name << " #" << failure.nth;
}

class StartupFailureTest : public IntroTest,
                           public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureTest, ReportsReleasesEverythingFirstAndStops) {
    const StartupFailure& failure = GetParam();
    fake::Script(failure.name, failure.nth, failure.result);
    fake::SetMidasError(42, "Sound card on fire");

    EXPECT_EQ(RunWinMain(), 0);

    ASSERT_EQ(fake::Boxes().size(), 1u);
    const fake::Box& box = fake::Boxes()[0];
    EXPECT_EQ(box.text, failure.message);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.type, 0x10u);
    EXPECT_EQ(box.owner, failure.ownedByWindow ? fake::MainWindow() : nullptr);
    EXPECT_EQ(box.liveDisplayObjects, 0);
    EXPECT_FALSE(box.exclusive);
    EXPECT_FALSE(box.modeChanged);
    EXPECT_FALSE(box.soundOpen);

    // The box is the last thing that happens: nothing after the failing step runs.
    const int failed = fake::IndexOf(failure.name, failure.nth);
    const int boxAt = fake::IndexOf("MessageBoxA");
    ASSERT_GE(failed, 0);
    EXPECT_EQ(boxAt, static_cast<int>(fake::Calls().size()) - 1);
    EXPECT_THAT(TeardownTexts(failed + 1, boxAt), ElementsAreArray(failure.teardown));
    EXPECT_EQ(fake::CountCalls("PeekMessageA"), 0);
    EXPECT_EQ(scene.lights, nullptr);
    EXPECT_EQ(PrimaryRays[0].direction.z, 0.0f);
    EXPECT_THAT(fake::Violations(), ::testing::IsEmpty());
}

const char kSoundSystem[] = "\r\nLamers: Something's wrong with your sound system.";

std::vector<StartupFailure> Failures() {
    const std::vector<std::string> unwindFromStage2 = {"MIDASstopBackgroundPlay()", "MIDASclose()"};
    const std::vector<std::string> musicAll = kMusicTeardown;
    const std::vector<std::string> none;
    const std::vector<std::string> displayOnlyObject =
        Join(musicAll, {"directDraw->SetCooperativeLevel(window, 8)",
                        "directDraw->RestoreDisplayMode()", "directDraw->Release()"});
    const std::vector<std::string> displayWithPrimary =
        Join(displayOnlyObject, {"primary->Release()"});
    return {
        {"MIDASstartup", 1, 0,
         std::string("Sceners: MIDASstartup() failed (Sound card on fire).") + kSoundSystem, false,
         none},
        {"MIDASconfig",
         1,
         0,
         "Sceners: MIDASconfig() failed (Sound card on fire).\r\nLamers: You pressed something "
         "inappropriate...",
         false,
         {"MIDASclose()"}},
        {"MIDASinit",
         1,
         0,
         std::string("Sceners: MIDASinit() failed (Sound card on fire).") + kSoundSystem,
         false,
         {"MIDASclose()"}},
        {"MIDASstartBackgroundPlay",
         1,
         0,
         std::string("Sceners: MIDASstartBackgroundPlay() failed (Sound card on fire).") +
             kSoundSystem,
         false,
         {"MIDASclose()"}},
        {"MIDASloadModule", 1, 0,
         "Sceners: MIDASloadModule() failed (Sound card on fire).\r\nLamers: The module "
         "'Zarvo.xm' is missing or corrupt.",
         false, unwindFromStage2},
        {"MIDASplayModule", 1, 0,
         std::string("Sceners: MIDASplayModule() failed (Sound card on fire).") + kSoundSystem,
         false, Join({"MIDASfreeModule(module)"}, unwindFromStage2)},
        {"MIDASsetMusicSyncCallback", 1, 0,
         "Sceners: MIDASsetMusicSyncCallback() failed (Sound card on fire).\r\nLamers: "
         "Something's wrong with your computer.",
         false, Join({"MIDASstopModule(1)", "MIDASfreeModule(module)"}, unwindFromStage2)},
        {"RegisterClassA", 1, 0, "Failed to register main window class.", false, musicAll},
        {"CreateWindowExA", 1, 0, "Failed to create main window.", false, musicAll},
        {"DirectDrawCreate", 1, DDERR_GENERIC,
         "Sceners: DirectDrawCreate() failed with RC 2147500037 (There is an undefined error "
         "condition.).\r\nLamers: DirectDraw doesen't work.",
         true, musicAll},
        {"QueryInterface", 1, E_NOINTERFACE,
         "Sceners: IDirectDraw::QueryInterface() failed with RC 2147500034 (( Unknown Error "
         ")).\r\nLamers: Please make sure you have DirectX 6.0 or later installed.",
         true, Join({"directDraw1->Release()"}, musicAll)},
        {"SetCooperativeLevel", 1, DDERR_EXCLUSIVEMODEALREADYSET,
         "Sceners: IDirectDraw4::SetCooperativeLevel() failed with RC 2289435205 (An attempt was "
         "made to set the cooperative level when it was already set to exclusive.).\r\nLamers: "
         "Please close all other programs before running the demo.",
         true, displayOnlyObject},
        {"SetDisplayMode", 1, DDERR_INVALIDMODE,
         "Sceners: IDirectDraw4::SetDisplayMode() failed with RC 2289434744 (DirectDraw does not "
         "support the requested mode.).\r\nLamers: Please buy a *real* video card.",
         true, displayOnlyObject},
        {"CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY,
         "Sceners: IDirectDraw4::CreateSurface() failed with RC 2289435004 (DirectDraw does not "
         "have enough display memory to perform the operation.).\r\nLamers: Just forget it...",
         true, displayOnlyObject},
        {"CreateSurface", 2, DDERR_OUTOFMEMORY,
         "Sceners: IDirectDraw4::CreateSurface() failed with RC 2147942414 (DirectDraw does not "
         "have enough memory to perform the operation.).\r\nLamers: Just forget it...",
         true, displayWithPrimary},
    };
}

INSTANTIATE_TEST_SUITE_P(EachStep, StartupFailureTest, ::testing::ValuesIn(Failures()));

TEST_F(StartupTest, AFailedMusicStartNeverTouchesWindowOrDisplay) {
    fake::Script("MIDASstartup", 1, 0);
    EXPECT_EQ(RunWinMain(), 0);
    EXPECT_EQ(fake::CountCalls("RegisterClassA"), 0);
    EXPECT_EQ(fake::CountCalls("CreateWindowExA"), 0);
    EXPECT_EQ(fake::CountCalls("DirectDrawCreate"), 0);
    EXPECT_EQ(fake::CountCalls("SetDisplayMode"), 0);
    ASSERT_EQ(fake::Boxes().size(), 1u);
    EXPECT_EQ(fake::Boxes()[0].owner, nullptr);
}

} // namespace
