// The PNG workers: a bounded queue of frame copies, written in parallel, the first failure kept.
#include "capture_png_frame_pool.h"

#include "capture_png_writer.h"
#include "capture_video_layout.h"

#include <algorithm>

namespace capture {

static constexpr std::size_t kFramePixels = static_cast<std::size_t>(kFrameWidth) * kFrameHeight;
static constexpr int kMaxThreads = 4;

int PngThreadsForMachine() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, kMaxThreads);
}

PngFramePool::~PngFramePool() {
    Stop();
}

void PngFramePool::Start(int folder, const std::string& shownFolder, int threads) {
    Stop();
    folder_ = folder;
    shownFolder_ = shownFolder;
    limit_ = QueueLimit(std::max(1, threads));
    stopping_ = false;
    failedIndex_ = -1;
    failure_.clear();
    for (int i = 0; i < std::max(1, threads); ++i) {
        workers_.emplace_back([this] { Work(); });
    }
}

void PngFramePool::Add(std::int64_t index, const std::uint32_t* pixels) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return static_cast<int>(queue_.size()) < limit_; });
    Job job;
    job.index = index;
    if (!spare_.empty()) {
        job.pixels = std::move(spare_.back());
        spare_.pop_back();
    }
    job.pixels.assign(pixels, pixels + kFramePixels);
    queue_.push_back(std::move(job));
    changed_.notify_all();
}

std::int64_t PngFramePool::Drain(std::string& error) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
    if (failedIndex_ >= 0) {
        error = failure_;
    }
    return failedIndex_;
}

bool PngFramePool::Failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failedIndex_ >= 0;
}

void PngFramePool::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
    queue_.clear();
}

void PngFramePool::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return; // stopping, and nothing left
        }
        Job job = std::move(queue_.front());
        queue_.pop_front();
        const bool skip = failedIndex_ >= 0;
        ++busy_;
        changed_.notify_all(); // room in the queue
        std::string error;
        bool written = true;
        if (!skip) {
            lock.unlock();
            const std::string name = FrameFileName(job.index);
            written = WritePng(folder_, name, shownFolder_ + "/" + name, job.pixels.data(),
                               kFrameWidth, kFrameHeight, kFrameWidth, error);
            lock.lock();
        }
        if (!written && (failedIndex_ < 0 || job.index < failedIndex_)) {
            failedIndex_ = job.index;
            failure_ = error;
        }
        spare_.push_back(std::move(job.pixels));
        --busy_;
        changed_.notify_all();
    }
}

} // namespace capture
