// The waveOut devices the sound dialog offers: their count, names and the preferred one, all
// read from the system's lists; none of them is opened.
#include "windows_wave_devices.h"

#include <windows.h>
#include <mmddk.h>
#include <mmsystem.h>

#include <algorithm>

namespace windows {

WaveOutputs ListWaveOutputs() {
    WaveOutputs outputs;
    const UINT count = waveOutGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        WAVEOUTCAPSA caps{};
        if (waveOutGetDevCapsA(id, &caps, sizeof caps) == MMSYSERR_NOERROR) {
            outputs.names.emplace_back(caps.szPname);
            outputs.ids.push_back(id);
        }
    }
    if (outputs.names.empty()) {
        outputs.reason = "Windows has no sound output device (no sound card, or its driver is "
                         "missing or not working)";
        return outputs;
    }
    DWORD preferred = 0;
    DWORD flags = 0;
    if (waveOutMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)),
                       DRVM_MAPPER_PREFERRED_GET, reinterpret_cast<DWORD_PTR>(&preferred),
                       reinterpret_cast<DWORD_PTR>(&flags)) == MMSYSERR_NOERROR) {
        const auto at = std::find(outputs.ids.begin(), outputs.ids.end(), preferred);
        if (at != outputs.ids.end()) {
            const auto index = at - outputs.ids.begin();
            std::rotate(outputs.ids.begin(), at, at + 1);
            std::rotate(outputs.names.begin(), outputs.names.begin() + index,
                        outputs.names.begin() + index + 1);
            outputs.firstIsDefault = true;
        }
    }
    outputs.firstIsDefault = outputs.firstIsDefault || outputs.names.size() == 1;
    return outputs;
}

std::string DeviceNameOf(const WaveOutputs& outputs, int index) {
    if (index < 0 || index >= static_cast<int>(outputs.ids.size()) ||
        (index == 0 && outputs.firstIsDefault)) {
        return std::string();
    }
    return std::to_string(outputs.ids[static_cast<std::size_t>(index)]);
}

} // namespace windows
