// Resource identifiers of the sound setup dialog, shared by zarvo.rc and midas_windows_dialog.cpp.
//
// Macros, not constants: the resource compiler only understands the preprocessor.
#ifndef ZARVO_PLATFORM_WINDOWS_MIDAS_WINDOWS_DIALOG_IDS_H
#define ZARVO_PLATFORM_WINDOWS_MIDAS_WINDOWS_DIALOG_IDS_H

#define IDD_SOUND_SETUP 201
#define IDC_SOUND_QUESTION 1001
#define IDC_NO_SOUND 1002

#endif
