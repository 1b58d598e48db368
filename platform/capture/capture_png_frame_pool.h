// PNG frames written by worker threads, so that compression runs beside the show on the other
// cores while the main thread renders the next frames.
//
//   Start   starts `threads` workers writing into the folder held open as `folder` (a descriptor
//           that stays open meanwhile; FrameFileName names), `shownFolder` naming it in messages
//   Add     copies one 320x200 frame into the queue; waits while the queue is full
//   Drain   waits until every queued frame is written or has failed; returns the lowest index
//           that failed (its message in `error`), or -1 when all were written
//   Failed  true once any frame has failed (does not wait)
//   Stop    drains and ends the workers; safe to call twice
// After a failure the workers skip the frames still queued and write nothing more: the caller
// rolls the other files back to the frame that failed and removes any frame file from there on.
// Each file is encoded on its own, so the bytes do not depend on the number of threads.
#ifndef ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_FRAME_POOL_H
#define ZARVO_PLATFORM_CAPTURE_CAPTURE_PNG_FRAME_POOL_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace capture {

class PngFramePool {
  public:
    PngFramePool() = default;
    ~PngFramePool();
    PngFramePool(const PngFramePool&) = delete;
    PngFramePool& operator=(const PngFramePool&) = delete;

    void Start(int folder, const std::string& shownFolder, int threads);
    void Add(std::int64_t index, const std::uint32_t* pixels);
    std::int64_t Drain(std::string& error);
    bool Failed();
    void Stop();

    // Frames a capture of this many threads keeps in the queue at most.
    static int QueueLimit(int threads) {
        return threads * 4;
    }

  private:
    struct Job {
        std::int64_t index = 0;
        std::vector<std::uint32_t> pixels;
    };

    void Work();

    int folder_ = -1;
    std::string shownFolder_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::vector<std::uint32_t>> spare_; // buffers to reuse
    int busy_ = 0;
    int limit_ = 1;
    bool stopping_ = false;
    std::int64_t failedIndex_ = -1;
    std::string failure_;
};

// How many workers suit this machine: its cores, from 1 to 4.
int PngThreadsForMachine();

} // namespace capture

#endif
