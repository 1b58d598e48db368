// The capture's music: rendered through the shared sound library (its output is CaptureSound,
// capture_backend.h) on the main thread as the virtual clock asks for it, one frame's span at
// each presentation.
//
//   RenderFrameSound     renders the sound heard while frame `frame` is on screen, the samples
//                        from FrameEndSample(frame - 1) to FrameEndSample(frame), into `out`
//                        (interleaved stereo, resized to fit); returns their number. The module
//                        while it plays, silence before it starts, while suspended and after it
//                        stops, with the player's ramps down into those silences and up out of
//                        them. The intro's sync callback is called for each W command met, inside
//                        this rendering: called at a frame's presentation, after every read of
//                        the clock the frame makes, so that those reads all agree.
//   SongSeconds          the playing song's length once through (0 when no module plays)
//   SongPlayedThrough    true once the module has played for that long (it then starts over)
// The frames are rendered in order, each once. Main thread only.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_MUSIC_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_MUSIC_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace capture {

std::size_t RenderFrameSound(std::int64_t frame, std::vector<std::int16_t>& out);
double SongSeconds();
bool SongPlayedThrough();

} // namespace capture

#endif
