// The study mode in zarvo.exe (study_mode.h): the shared core over the DirectDraw layer.
//
// The layer keeps the desktop's mode in the study (the view, windows_view.h), so that every
// picture passes through its primary surface; the core sees the system's messages through a
// hook on the main thread's message retrieval, which takes its keys away from the intro.
//
//   StartStudy      on the main thread, before the intro: the core enabled, the hook set
//   Studying        whether StartStudy ran
//   StudyWait       the layer's wait for the vertical blank: `pace(context)`, but not for a frame
//                   the study makes unseen
//   StudyShow       the primary surface's picture (0x00RRGGBB): kept, overlaid and put in the view
//   StudyFrameDone  after a picture is shown, out of every lock: the study acts on its keys, and
//                   while paused holds the main loop here, dispatching the window's messages
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_STUDY_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_STUDY_H

#include <windows.h>

#include <cstdint>

namespace windows {

void StartStudy();
bool Studying();
HRESULT StudyWait(HRESULT (*pace)(void* context), void* context);
HRESULT StudyShow(const std::uint32_t* pixels, int width, int height, int pitchBytes);
void StudyFrameDone();

} // namespace windows

#endif
