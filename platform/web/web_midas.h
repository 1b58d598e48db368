// The web backend's sound output (midas_playback.h).
//
//   InstallWebSound  hands the shared sound library its output (called at start-up): MIDASconfig
//                    is the page's first screen; the music plays through WebAudio, or on the
//                    page's timer when silence was chosen or there is no WebAudio (said on the
//                    console). The page renders on the program's one thread, while the intro
//                    waits, so the library never waits for a ramp to be rendered.
#ifndef ZARVO_PLATFORM_WEB_WEB_MIDAS_H
#define ZARVO_PLATFORM_WEB_WEB_MIDAS_H

namespace web {

void InstallWebSound();

} // namespace web

#endif
