// The waveOut devices the sound dialog offers, found without opening any of them.
//
//   ListWaveOutputs  every waveOut device by its name, the one the system prefers first (where it
//                    says which; the first of them otherwise); none, with the reason in plain
//                    words, where the system has no output at all
//   DeviceNameOf     how the dialog names a listed output to OpenSoundOutput (empty: the
//                    system's default, through the wave mapper, which follows a change of the
//                    preferred device)
#ifndef ZARVO_PLATFORM_WINDOWS_WINDOWS_WAVE_DEVICES_H
#define ZARVO_PLATFORM_WINDOWS_WINDOWS_WAVE_DEVICES_H

#include <string>
#include <vector>

namespace windows {

struct WaveOutputs {
    std::vector<std::string> names;
    std::vector<unsigned> ids; // the waveOut device of each name
    bool firstIsDefault = false;
    std::string reason; // when there is none
};

WaveOutputs ListWaveOutputs();
std::string DeviceNameOf(const WaveOutputs& outputs, int index);

} // namespace windows

#endif
