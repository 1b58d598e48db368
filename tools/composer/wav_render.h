// Renders a module through libopenmpt, for listening to it without the intro.
#ifndef ZARVO_TOOLS_COMPOSER_WAV_RENDER_H
#define ZARVO_TOOLS_COMPOSER_WAV_RENDER_H

#include <cstdint>
#include <string>
#include <vector>

namespace compose {

// Renders one pass of the module (no looping) as interleaved 16-bit stereo at `rate` and writes
// a WAV file. Returns false with `error` set when the module cannot be loaded or the file
// cannot be written.
bool RenderWav(const std::vector<uint8_t>& module, int rate, const std::string& path,
               std::string& error);

} // namespace compose

#endif
