#include "ffoutput/FFEncodeQueue.h"

#include <utility>

namespace {
constexpr size_t kWaitingJobs = 1;
} // namespace

FFEncodeQueue::FFEncodeQueue(bool threaded) : threaded_(threaded) {
    if (threaded_) worker_ = std::thread([this] { Work(); });
}

FFEncodeQueue::~FFEncodeQueue() {
    if (!threaded_) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void FFEncodeQueue::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return; // stopping, and everything handed in has run
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        if (error_ != 0) {
            // After a failure the movie is lost: what waits is dropped unrun.
            lock.unlock();
            job = nullptr;
            lock.lock();
            changed_.notify_all();
            continue;
        }
        busy_ = true;
        lock.unlock();
        int32_t r = job();
        job = nullptr; // its copy of the picture goes before the next one is taken
        lock.lock();
        busy_ = false;
        if (r != 0 && error_ == 0) error_ = r;
        changed_.notify_all();
    }
}

int32_t FFEncodeQueue::Submit(Job job) {
    if (!threaded_) {
        if (error_ != 0) return error_;
        int32_t r = job();
        if (r != 0) error_ = r;
        return r;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return error_ != 0 || jobs_.size() < kWaitingJobs; });
    if (error_ != 0) {
        changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
        return error_;
    }
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
    return 0;
}

int32_t FFEncodeQueue::Drain() {
    if (!threaded_) return error_;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    return error_;
}

int32_t FFEncodeQueue::Error() {
    if (!threaded_) return error_;
    std::lock_guard lock(mutex_);
    return error_;
}
