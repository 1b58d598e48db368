// Sound output: the SDL audio device, or the silent timer thread that renders at the same pace.
//
// SDL's device runs on SDL's audio thread, which a driver may leave stuck in a write for good
// (a pipe nobody reads, a hung sound server); opening and closing the device wait for that thread
// inside SDL. So they run on a thread of their own, given a bounded time; when that is over, the
// device is left to itself, SDL's sound is not touched again, and the program goes on (and ends)
// without it. The device's callback reaches the render function through a link that can be cut
// at once, under a lock of our own that nothing else holds for long.
#include "sdl_audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
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

// What a device's callback reaches; lives until the device is closed (for ever when it is left
// to itself).
struct DeviceLink {
    std::mutex lock; // held while the callback renders, and to cut the link
    bool live = true;
    RenderFunction render = nullptr;
};

struct AudioState {
    RenderFunction render = nullptr;
    SDL_AudioDeviceID device = 0;
    bool audioInitialised = false;
    DeviceLink* link = nullptr;
    // The device stalled: the timer plays. Set by the library's clock thread, read anywhere.
    std::atomic<bool> deviceGivenUp{false};
    std::size_t deviceFrames = 0;
    std::string driver;
    bool paused = true;
    SilentTimer* timer = nullptr;
    int bufferFrames = kBufferFrames;
    // A device open or close did not return: SDL's sound may be waiting inside, for good.
    bool sdlAudioLeft = false;
};

static AudioState audio;

static void SDLCALL DeviceCallback(void* user, Uint8* stream, int length) {
    auto* link = static_cast<DeviceLink*>(user);
    std::lock_guard<std::mutex> guard(link->lock);
    if (link->live) {
        const auto frames = static_cast<std::size_t>(length) / (2 * sizeof(std::int16_t));
        link->render(reinterpret_cast<std::int16_t*>(stream), frames);
    } else {
        std::memset(stream, 0, static_cast<std::size_t>(length));
    }
}

// Cuts a device's link: once this returns its callback renders nothing.
static void CutLink(DeviceLink* link) {
    std::lock_guard<std::mutex> guard(link->lock);
    link->live = false;
}

// Runs `work` on a thread of its own for at most `limitMs`: true when it has finished; false
// when it has not, and the thread is left to finish (or not) by itself, so `work` owns all it
// touches.
static bool RunWithin(std::function<void()> work, int limitMs) {
    struct Done {
        std::mutex lock;
        std::condition_variable signal;
        bool finished = false;
    };
    auto done = std::make_shared<Done>();
    std::thread worker([done, work = std::move(work)] {
        work();
        std::lock_guard<std::mutex> guard(done->lock);
        done->finished = true;
        done->signal.notify_all();
    });
    std::unique_lock<std::mutex> guard(done->lock);
    if (done->signal.wait_for(guard, std::chrono::milliseconds(limitMs),
                              [&done] { return done->finished; })) {
        guard.unlock();
        worker.join();
        return true;
    }
    worker.detach();
    return false;
}

// Renders what real time asks for, in small pieces, and throws the sound away.
static void TimerThread(SilentTimer* timer, RenderFunction render) {
    std::vector<std::int16_t> scratch(static_cast<std::size_t>(kTimerFrames) * 2);
    const auto slice = std::chrono::microseconds(1000000LL * kTimerFrames / kSampleRate);
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
        render(scratch.data(), kTimerFrames);
        guard.lock();
        timer->busy = false;
        timer->wake.notify_all();
        next += slice;
        timer->wake.wait_until(guard, next, [timer] { return timer->quit || timer->paused; });
    }
}

static void StartTimer(bool paused) {
    audio.timer = new SilentTimer();
    audio.timer->paused = paused;
    audio.timer->thread = std::thread(TimerThread, audio.timer, audio.render);
}

static void StopTimer() {
    if (audio.timer == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(audio.timer->lock);
        audio.timer->quit = true;
        audio.timer->wake.notify_all();
    }
    audio.timer->thread.join();
    delete audio.timer;
    audio.timer = nullptr;
}

struct Opening {
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec have{};
    bool initialised = false;
    std::string driver;
    std::string error;
};

static bool OpenDevice(const std::string& device, std::string& note) {
    if (audio.sdlAudioLeft) {
        note = "the audio device did not answer";
        return false;
    }
    auto opening = std::make_shared<Opening>();
    auto* link = new DeviceLink();
    link->render = audio.render;
    const int frames = audio.bufferFrames;
    const bool answered = RunWithin(
        [opening, link, frames, device] {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                opening->error = std::string("no sound system (") + SDL_GetError() + ")";
                return;
            }
            opening->initialised = true;
            const char* driver = SDL_GetCurrentAudioDriver();
            opening->driver = driver != nullptr ? driver : "?";
            SDL_AudioSpec want{};
            want.freq = kSampleRate;
            want.format = AUDIO_S16SYS;
            want.channels = 2;
            want.samples = static_cast<Uint16>(frames);
            want.callback = DeviceCallback;
            want.userdata = link;
            // SDL converts if the device wants another format; the buffer size is ours.
            opening->device = SDL_OpenAudioDevice(device.empty() ? nullptr : device.c_str(), 0,
                                                  &want, &opening->have, 0);
            if (opening->device == 0) {
                opening->error = std::string("no audio device (") + SDL_GetError() + ")";
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                opening->initialised = false;
            }
        },
        kOpenLimitMs);
    if (!answered) {
        // A device opened later starts paused, and its callback would render nothing.
        CutLink(link);
        audio.sdlAudioLeft = true;
        note = "the audio device did not answer";
        return false;
    }
    if (opening->device == 0) {
        delete link;
        note = opening->error;
        return false;
    }
    audio.device = opening->device;
    audio.audioInitialised = opening->initialised;
    audio.link = link;
    audio.deviceFrames = opening->have.samples;
    audio.driver = opening->driver;
    return true;
}

// Plain words for why SDL's sound could not start.
static std::string NoSoundSystem(const std::string& sdlError) {
    if (sdlError.find("PulseAudio") != std::string::npos) {
        return "the sound server (PulseAudio) cannot be reached";
    }
    if (sdlError.find("not available") != std::string::npos ||
        sdlError.find("No available audio device") != std::string::npos) {
        return "no sound system answers: the sound server is not running, or there is no sound "
               "card";
    }
    return "the sound system could not be started (" + sdlError + ")";
}

AudioOutputs ListAudioOutputs() {
    AudioOutputs outputs;
    if (audio.sdlAudioLeft) {
        outputs.reason = "the sound system did not answer";
        return outputs;
    }
    auto listing = std::make_shared<AudioOutputs>();
    const bool answered = RunWithin(
        [listing] {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
                listing->reason = NoSoundSystem(SDL_GetError());
                return;
            }
            const char* driver = SDL_GetCurrentAudioDriver();
            const int count = SDL_GetNumAudioDevices(0);
            for (int i = 0; i < count; ++i) {
                const char* name = SDL_GetAudioDeviceName(i, 0);
                if (name != nullptr) {
                    listing->names.emplace_back(name);
                }
            }
            // The system's default output goes first, where the driver names it.
            char* fallback = nullptr;
            SDL_AudioSpec spec{};
            if (SDL_GetDefaultAudioInfo(&fallback, &spec, 0) == 0 && fallback != nullptr) {
                const auto at =
                    std::find(listing->names.begin(), listing->names.end(), std::string(fallback));
                if (at != listing->names.end()) {
                    std::rotate(listing->names.begin(), at, at + 1);
                    listing->firstIsDefault = true;
                }
                SDL_free(fallback);
            }
            // A driver with one output names it but knows no default: that one is the default.
            listing->firstIsDefault = listing->firstIsDefault || listing->names.size() == 1;
            if (listing->names.empty()) {
                listing->reason = std::string("the sound system (") +
                                  (driver != nullptr ? driver : "?") +
                                  ") has no output: no sound card or output is connected";
            }
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        },
        kOpenLimitMs);
    if (!answered) {
        audio.sdlAudioLeft = true;
        outputs.reason = "the sound system did not answer";
        return outputs;
    }
    return *listing;
}

bool OpenAudioOutput(bool wantDevice, const std::string& device, RenderFunction render,
                     std::string& note) {
    CloseAudioOutput();
    audio.render = render;
    audio.paused = true;
    note.clear();
    if (wantDevice && OpenDevice(device, note)) {
        return true;
    }
    StartTimer(true);
    return true;
}

void SetAudioPaused(bool paused) {
    audio.paused = paused;
    if (audio.link != nullptr && !audio.deviceGivenUp) {
        // SDL takes the device's lock here, which its thread holds only around our callback, so
        // no callback runs once this returns.
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

std::size_t AudioLatency() {
    return audio.link != nullptr && !audio.deviceGivenUp ? audio.deviceFrames : 0;
}

std::string AbandonAudioDevice() {
    if (audio.link == nullptr || audio.deviceGivenUp) {
        return std::string();
    }
    CutLink(audio.link);
    audio.deviceGivenUp = true;
    StartTimer(audio.paused);
    return "the sound output (" + audio.driver + ") has taken no sound for 2 s";
}

void CloseAudioOutput() {
    if (audio.link != nullptr) {
        CutLink(audio.link);
        const SDL_AudioDeviceID device = audio.device;
        const bool quit = audio.audioInitialised;
        DeviceLink* link = audio.link;
        const bool closed = RunWithin(
            [device, quit, link] {
                SDL_CloseAudioDevice(device);
                if (quit) {
                    SDL_QuitSubSystem(SDL_INIT_AUDIO);
                }
                delete link; // the device calls no more
            },
            kCloseLimitMs);
        audio.sdlAudioLeft = audio.sdlAudioLeft || !closed;
        audio.link = nullptr;
        audio.device = 0;
        audio.audioInitialised = false;
        audio.deviceGivenUp = false;
    }
    StopTimer();
}

bool AudioOutputLeft() {
    return audio.sdlAudioLeft;
}

void SetAudioBufferFrames(int frames) {
    audio.bufferFrames = frames > 0 ? frames : kBufferFrames;
}

} // namespace sdl
