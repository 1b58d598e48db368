// Sound output: the waveOut device fed from a playback thread, or the silent timer thread.
//
// One thread does both jobs. With a device it refills every buffer the device has finished and
// then sleeps until the device signals the next one; without, it renders a buffer's worth each
// time real time has moved on by that much, and throws it away. Rendering happens under `lock`,
// so pausing (which takes the lock) waits for a render under way.
#include "windows_wave_output.h"

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace windows {

using Clock = std::chrono::steady_clock;

struct OutputState {
    RenderFunction render = nullptr;
    std::thread thread;
    std::mutex lock;
    std::condition_variable wake;
    bool open = false;
    bool paused = true;
    bool quit = false;
    bool abandoned = false;      // the device took no sound: the timer plays
    std::size_t queuedAhead = 0; // frames in the device ahead of the buffer being rendered
    // The device, when there is one: its handle, the event it signals for every finished
    // buffer, and the buffers themselves.
    HWAVEOUT device = nullptr;
    HANDLE deviceEvent = nullptr;
    WAVEHDR headers[kBuffers] = {};
    std::vector<std::int16_t> samples[kBuffers];
};

static OutputState output;

// Refills and queues every buffer the device is not playing. Called with the lock held.
static void FeedDevice() {
    for (WAVEHDR& header : output.headers) {
        if ((header.dwFlags & WHDR_INQUEUE) != 0) {
            continue;
        }
        std::size_t queued = 0;
        for (const WAVEHDR& other : output.headers) {
            queued += (other.dwFlags & WHDR_INQUEUE) != 0 ? kBufferFrames : 0;
        }
        output.queuedAhead = queued;
        output.render(reinterpret_cast<std::int16_t*>(header.lpData), kBufferFrames);
        waveOutWrite(output.device, &header, sizeof(header));
    }
}

static void PlaybackThread() {
    std::vector<std::int16_t> scratch(static_cast<std::size_t>(kBufferFrames) * 2);
    const auto slice = std::chrono::microseconds(1000000LL * kBufferFrames / kSampleRate);
    std::unique_lock<std::mutex> guard(output.lock);
    Clock::time_point next = Clock::now();
    while (!output.quit) {
        if (output.paused) {
            output.wake.wait(guard, [] { return output.quit || !output.paused; });
            next = Clock::now(); // no burst to catch up on the time spent paused
            continue;
        }
        if (output.device != nullptr && !output.abandoned) {
            FeedDevice();
            guard.unlock();
            // The device's event, or at the latest a regular look (a missed signal costs no more).
            WaitForSingleObject(output.deviceEvent, 20);
            guard.lock();
            next = Clock::now(); // should the timer take over, it starts from here
        } else {
            output.queuedAhead = 0;
            output.render(scratch.data(), kBufferFrames);
            next += slice;
            output.wake.wait_until(guard, next, [] { return output.quit || output.paused; });
        }
    }
}

static bool OpenDevice(const std::string& device, std::string& note) {
    output.deviceEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (output.deviceEvent == nullptr) {
        note = "no event for the sound device";
        return false;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = format.nChannels * format.wBitsPerSample / 8;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    const UINT id = device.empty() ? WAVE_MAPPER : static_cast<UINT>(std::stoul(device));
    const MMRESULT result =
        waveOutOpen(&output.device, id, &format, reinterpret_cast<DWORD_PTR>(output.deviceEvent), 0,
                    CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        note = "no sound device (waveOutOpen error " + std::to_string(result) + ")";
        output.device = nullptr;
        CloseHandle(output.deviceEvent);
        output.deviceEvent = nullptr;
        return false;
    }
    // Held until the first resume, so the music starts from its first sample.
    waveOutPause(output.device);
    for (int i = 0; i < kBuffers; ++i) {
        output.samples[i].assign(static_cast<std::size_t>(kBufferFrames) * 2, 0);
        WAVEHDR& header = output.headers[i];
        header = WAVEHDR{};
        header.lpData = reinterpret_cast<LPSTR>(output.samples[i].data());
        header.dwBufferLength = kBufferFrames * format.nBlockAlign;
        waveOutPrepareHeader(output.device, &header, sizeof(header));
    }
    return true;
}

bool OpenSoundOutput(bool wantDevice, const std::string& device, RenderFunction render,
                     std::string& note) {
    CloseSoundOutput();
    note.clear();
    output.render = render;
    output.paused = true;
    output.quit = false;
    if (wantDevice) {
        OpenDevice(device, note);
    }
    output.thread = std::thread(PlaybackThread);
    output.open = true;
    return true;
}

void SetSoundPaused(bool paused) {
    if (!output.open) {
        return;
    }
    std::lock_guard<std::mutex> guard(output.lock);
    output.paused = paused;
    if (output.device != nullptr && !output.abandoned) {
        if (paused) {
            waveOutPause(output.device);
        } else {
            waveOutRestart(output.device);
        }
    }
    output.wake.notify_all();
}

void CloseSoundOutput() {
    if (!output.open) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(output.lock);
        output.quit = true;
        output.wake.notify_all();
    }
    if (output.deviceEvent != nullptr) {
        SetEvent(output.deviceEvent);
    }
    output.thread.join();
    if (output.device != nullptr) {
        // A device that took no sound is not asked to give its buffers back: a hung driver would
        // hold the program here. The system takes them with the process.
        if (!output.abandoned) {
            waveOutReset(output.device);
            for (WAVEHDR& header : output.headers) {
                waveOutUnprepareHeader(output.device, &header, sizeof(header));
            }
            waveOutClose(output.device);
        }
        output.device = nullptr;
        CloseHandle(output.deviceEvent);
        output.deviceEvent = nullptr;
    }
    output.abandoned = false;
    output.open = false;
}

std::size_t SoundLatency() {
    return output.queuedAhead; // written and read on the playback thread
}

std::string AbandonSoundDevice() {
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.device == nullptr || output.abandoned) {
        return std::string();
    }
    output.abandoned = true;
    output.wake.notify_all();
    return "the sound device has taken no sound for 2 s";
}

bool SoundOutputIsOpen() {
    return output.open;
}

bool SoundOutputUsesDevice() {
    return output.device != nullptr;
}

} // namespace windows
