// Sound output: the SDL audio device, or the silent timer thread that renders at the same pace.
#include "sdl_audio_output.h"

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace sdl {

using Clock = std::chrono::steady_clock;

struct SilentTimer {
    std::thread thread;
    std::mutex lock;
    std::condition_variable wake;
    bool paused = true;
    bool quit = false;
    bool busy = false; // the render function is running
};

struct AudioState {
    RenderFunction render = nullptr;
    SDL_AudioDeviceID device = 0;
    bool audioInitialised = false;
    SilentTimer* timer = nullptr;
};

static AudioState audio;

static void SDLCALL DeviceCallback(void* /*user*/, Uint8* stream, int length) {
    const auto frames = static_cast<std::size_t>(length) / (2 * sizeof(std::int16_t));
    audio.render(reinterpret_cast<std::int16_t*>(stream), frames);
}

// Renders what real time asks for, in device-sized pieces, and throws the sound away.
static void TimerThread(SilentTimer* timer) {
    std::vector<std::int16_t> scratch(static_cast<std::size_t>(kBufferFrames) * 2);
    const auto slice = std::chrono::microseconds(1000000LL * kBufferFrames / kSampleRate);
    std::unique_lock<std::mutex> guard(timer->lock);
    Clock::time_point next = Clock::now();
    while (!timer->quit) {
        if (timer->paused) {
            timer->wake.wait(guard, [timer] { return timer->quit || !timer->paused; });
            next = Clock::now(); // no burst to catch up on the time spent paused
            continue;
        }
        timer->busy = true;
        guard.unlock();
        audio.render(scratch.data(), kBufferFrames);
        guard.lock();
        timer->busy = false;
        timer->wake.notify_all();
        next += slice;
        timer->wake.wait_until(guard, next, [timer] { return timer->quit || timer->paused; });
    }
}

static bool OpenDevice(std::string& note) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        note = std::string("no sound system (") + SDL_GetError() + ")";
        return false;
    }
    audio.audioInitialised = true;
    SDL_AudioSpec want{};
    want.freq = kSampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = DeviceCallback;
    SDL_AudioSpec have{};
    // SDL converts if the device wants another format; the buffer size is ours.
    audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (audio.device == 0) {
        note = std::string("no audio device (") + SDL_GetError() + ")";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audio.audioInitialised = false;
        return false;
    }
    return true;
}

bool OpenAudioOutput(bool wantDevice, RenderFunction render, std::string& note) {
    CloseAudioOutput();
    audio.render = render;
    note.clear();
    if (wantDevice && OpenDevice(note)) {
        return true;
    }
    audio.timer = new SilentTimer();
    audio.timer->thread = std::thread(TimerThread, audio.timer);
    return true;
}

void SetAudioPaused(bool paused) {
    if (audio.device != 0) {
        // SDL takes the device's lock here, so no callback runs once this returns.
        SDL_PauseAudioDevice(audio.device, paused ? 1 : 0);
    } else if (audio.timer != nullptr) {
        std::unique_lock<std::mutex> guard(audio.timer->lock);
        audio.timer->paused = paused;
        audio.timer->wake.notify_all();
        if (paused) {
            audio.timer->wake.wait(guard, [] { return !audio.timer->busy; });
        }
    }
}

void CloseAudioOutput() {
    if (audio.device != 0) {
        SDL_CloseAudioDevice(audio.device);
        audio.device = 0;
    }
    if (audio.audioInitialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audio.audioInitialised = false;
    }
    if (audio.timer != nullptr) {
        {
            std::lock_guard<std::mutex> guard(audio.timer->lock);
            audio.timer->quit = true;
            audio.timer->wake.notify_all();
        }
        audio.timer->thread.join();
        delete audio.timer;
        audio.timer = nullptr;
    }
}

} // namespace sdl
