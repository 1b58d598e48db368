// The study mode's hands in zarvo.exe: the key hook, the hold's message pump, and the tables the
// core wraps (the layer's pace and the view).
#include "windows_study.h"

#include "study_mode.h"
#include "windows_study_output.h"
#include "windows_view.h"

#include <ddraw.h>

namespace windows {

namespace {

bool studying = false;
bool quitSeen = false; // the hold met WM_QUIT and posted it again for the intro's loop
bool inFrameDone = false;
platform::Backend tables; // the presentation and pump the core wraps, and wraps
HRESULT (*currentPace)(void*) = nullptr;
void* currentPaceContext = nullptr;

// Only removed messages: the intro's loop peeks before it takes.
LRESULT CALLBACK TakeStudyKeys(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && (removal & PM_REMOVE) != 0) {
        MSG* msg = reinterpret_cast<MSG*>(message);
        if (platform::StudyTakeKey(*msg)) {
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

HRESULT Pace() {
    return currentPace != nullptr ? currentPace(currentPaceContext) : DD_OK;
}

HRESULT ShowPicture(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    ShowInView(pixels, width, height, pitchBytes);
    return DD_OK;
}

// The hold's wait: until a message comes, then every waiting one handled (the study's keys by
// the hook on the way; sent ones, as WM_ACTIVATEAPP, within PeekMessage). WM_QUIT is left for the
// intro's loop, and ends the hold.
void WaitAndDispatch() {
    const HWND active = GetActiveWindow();
    MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (!quitSeen && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitSeen = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Activated, the intro resumes its music: the pause takes it back.
    if (GetActiveWindow() != active) {
        platform::StudyMusicTouched();
    }
}

bool OthersWait() {
    return quitSeen;
}

void ReportLine(const std::string& line) {
    OutputDebugStringA(line.c_str());
}

} // namespace

void StartStudy() {
    tables.ddraw.showPicture = ShowPicture;
    tables.ddraw.waitForRefresh = Pace;
    tables.win32.events.wait = WaitAndDispatch;
    platform::StudySettings settings;
    settings.writeStill = WriteStillWithCodecs;
    settings.drawText = DrawGdiText;
    settings.siftKeys = OthersWait;
    settings.report = ReportLine;
    platform::EnableStudy(tables, settings);
    SetWindowsHookExA(WH_GETMESSAGE, TakeStudyKeys, nullptr, GetCurrentThreadId());
    studying = true;
}

bool Studying() {
    return studying;
}

HRESULT StudyWait(HRESULT (*pace)(void* context), void* context) {
    currentPace = pace;
    currentPaceContext = context;
    return tables.ddraw.waitForRefresh();
}

HRESULT StudyShow(const std::uint32_t* pixels, int width, int height, int pitchBytes) {
    return tables.ddraw.showPicture(pixels, width, height, pitchBytes);
}

void StudyFrameDone() {
    // A seek's unseen frame is made inside this call: its own end is not a boundary.
    if (inFrameDone) {
        return;
    }
    inFrameDone = true;
    tables.win32.events.poll();
    inFrameDone = false;
}

} // namespace windows
