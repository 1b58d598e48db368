// The web backend's DirectDraw effects (ddraw_display.h): the page's canvas as the screen.
//
//   InstallWebDisplay  hands the effects to the common DirectDraw model (called at start-up)
//   SetWebPace         the show's pace asked for (--fps; the show's own when never called)
// The screen is never lost: a canvas keeps its pixels.
#ifndef ZARVO_PLATFORM_WEB_WEB_DDRAW_H
#define ZARVO_PLATFORM_WEB_WEB_DDRAW_H

#include "frame_pace.h"

namespace web {

void InstallWebDisplay();
void SetWebPace(const platform::PaceRequest& pace);

} // namespace web

#endif
