// The sound setup dialog of MIDASconfig: a modal dialog box from the program's resources, picked
// by the outputs the system lists, unless the command line answered it already (--sound default
// or none).
#include "windows_midas_dialog.h"

#include "start_options.h"
#include "windows_midas_dialog_ids.h"
#include "windows_wave_devices.h"

#include <windows.h>

namespace windows {

using platform::SoundChoice;

namespace {

constexpr INT_PTR kPlay = 1;
constexpr INT_PTR kNoSound = 2;
constexpr INT_PTR kCancel = 3;

struct DialogState {
    const WaveOutputs* outputs = nullptr;
    int picked = 0;
};

WNDPROC listProc = nullptr; // the drop-down list's own window procedure

// The drop-down list keeps the arrow keys and lets the letters go to the dialog: a letter then
// presses its button ("No sound" is N, as in the box with one output) instead of jumping to
// the output whose name begins with it.
LRESULT CALLBACK ListWithoutLetters(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(listProc, list, message, wParam, lParam);
    if (message == WM_GETDLGCODE) {
        return result & ~static_cast<LRESULT>(DLGC_WANTCHARS);
    }
    return result;
}

// Fills the drop-down list, the preferred output first and selected, and the reason of the box
// without outputs.
void FillDialog(HWND dialog, const WaveOutputs& outputs) {
    if (outputs.names.empty()) {
        const std::string text = "No sound output can be opened: " + outputs.reason + ".";
        SetDlgItemTextA(dialog, IDC_SOUND_REASON, text.c_str());
        return;
    }
    const HWND list = GetDlgItem(dialog, IDC_SOUND_OUTPUTS);
    if (list == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < outputs.names.size(); ++i) {
        std::string name = outputs.names[i];
        if (i == 0 && outputs.firstIsDefault) {
            name += " (default)";
        }
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListWithoutLetters)));
}

INT_PTR CALLBACK SoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        FillDialog(dialog, *reinterpret_cast<DialogState*>(lParam)->outputs);
        // The program has no window yet: the box comes to the front and takes the keyboard.
        SetForegroundWindow(dialog);
        return TRUE; // the focus goes to the first control that takes it
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            // Enter: in the box without outputs, its default button is "No sound".
            if (state->outputs->names.empty()) {
                EndDialog(dialog, kNoSound);
                return TRUE;
            }
            const HWND list = GetDlgItem(dialog, IDC_SOUND_OUTPUTS);
            const LRESULT picked = list != nullptr ? SendMessageA(list, CB_GETCURSEL, 0, 0) : 0;
            state->picked = picked >= 0 ? static_cast<int>(picked) : 0;
            EndDialog(dialog, kPlay);
            return TRUE;
        }
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

int TemplateFor(const WaveOutputs& outputs) {
    if (outputs.names.empty()) {
        return IDD_SOUND_NONE;
    }
    return outputs.names.size() == 1 ? IDD_SOUND_SETUP : IDD_SOUND_OUTPUTS;
}

} // namespace

SoundChoice AskSoundOutput(std::string& device) {
    device.clear();
    switch (platform::CurrentStartOptions().sound) {
    case platform::SoundSetting::defaultOutput:
        return SoundChoice::Play;
    case platform::SoundSetting::none:
        return SoundChoice::NoSound;
    case platform::SoundSetting::ask:
        break;
    }
    const WaveOutputs outputs = ListWaveOutputs();
    DialogState state;
    state.outputs = &outputs;
    const INT_PTR answer =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TemplateFor(outputs)), nullptr,
                        SoundDialogProc, reinterpret_cast<LPARAM>(&state));
    switch (answer) {
    case kNoSound:
        return SoundChoice::NoSound;
    case kCancel:
        return SoundChoice::Cancel;
    case kPlay:
        device = DeviceNameOf(outputs, state.picked);
        return SoundChoice::Play;
    default:
        // The box could not be shown (no template, no desktop): a box nobody saw is no choice
        // anybody made, so the default stands, and the debugger hears why.
        OutputDebugStringA("zarvo: the sound dialog could not be shown; taking the default "
                           "output\n");
        return outputs.names.empty() ? SoundChoice::NoSound : SoundChoice::Play;
    }
}

} // namespace windows
