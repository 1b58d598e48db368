// The sound setup dialog of MIDASconfig: a modal dialog box from the program's resources, unless
// the command line answered it already (--sound default or none).
#include "windows_midas_dialog.h"

#include "windows_midas_dialog_ids.h"
#include "start_options.h"

#include <windows.h>

namespace windows {

using platform::SoundChoice;

namespace {

constexpr INT_PTR kDefault = 1;
constexpr INT_PTR kNoSound = 2;
constexpr INT_PTR kCancel = 3;

INT_PTR CALLBACK SoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        // The program has no window yet: the box comes to the front and takes the keyboard.
        SetForegroundWindow(dialog);
        return TRUE; // the focus goes to the default button
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, kDefault);
            return TRUE;
        case IDC_NO_SOUND:
            EndDialog(dialog, kNoSound);
            return TRUE;
        case IDCANCEL: // Escape, the Cancel button and the close box alike
            EndDialog(dialog, kCancel);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

} // namespace

SoundChoice AskSoundOutput() {
    switch (platform::CurrentStartOptions().sound) {
    case platform::SoundSetting::defaultOutput:
        return SoundChoice::DefaultOutput;
    case platform::SoundSetting::none:
        return SoundChoice::NoSound;
    case platform::SoundSetting::ask:
        break;
    }
    const INT_PTR answer = DialogBoxParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SOUND_SETUP), nullptr, SoundDialogProc, 0);
    switch (answer) {
    case kNoSound:
        return SoundChoice::NoSound;
    case kCancel:
        return SoundChoice::Cancel;
    case kDefault:
        return SoundChoice::DefaultOutput;
    default:
        // The box could not be shown (no template, no desktop): a box nobody saw is no choice
        // anybody made, so the default stands, and the debugger hears why.
        OutputDebugStringA(
            "zarvo: the sound dialog could not be shown; taking the default output\n");
        return SoundChoice::DefaultOutput;
    }
}

} // namespace windows
