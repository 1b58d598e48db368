// The music of the capture as the virtual clock asks for it (implemented in midas_capture.cpp).
//
//   RenderMusicSpan     renders the next `frames` stereo frames as heard: the module while it
//                       plays, silence before it starts, while suspended and after it stops.
//                       W commands met in the span are counted, not yet delivered.
//   DeliverPendingSyncs calls the intro's sync callback once for each W command counted since the
//                       last delivery; called between frames, so that every read of the count
//                       within one frame agrees
//   SyncsDelivered      the number of sync callbacks delivered so far: the intro's sync count
// Main thread only: in the capture the playback "thread" is the presentation of a frame.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_MUSIC_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_MUSIC_H

#include <cstddef>
#include <cstdint>

namespace capture {

void RenderMusicSpan(std::int16_t* interleavedStereo, std::size_t frames, int sampleRate);
void DeliverPendingSyncs();
std::uint32_t SyncsDelivered();

} // namespace capture

#endif
