// Resource identifiers of the sound setup dialogs, shared by zarvo.rc and windows_midas_dialog.cpp.
//
// Macros, not constants: the resource compiler only understands the preprocessor.
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_IDS_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_MIDAS_DIALOG_IDS_H

#define IDD_SOUND_SETUP 201
#define IDC_SOUND_QUESTION 1001
#define IDC_NO_SOUND 1002
#define IDD_SOUND_OUTPUTS 202
#define IDD_SOUND_NONE 203
#define IDC_SOUND_OUTPUTS 1003
#define IDC_SOUND_REASON 1004

#endif
