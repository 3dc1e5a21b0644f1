#pragma once
// The renderer's threads: the caller's and a fixed set of workers that sleep between frames.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Runs jobs 0 .. count - 1 on the caller's thread and the pool's workers; each job on one thread.
class TilePool {
public:
    explicit TilePool(int32_t threads);
    ~TilePool();
    TilePool(const TilePool&) = delete;
    TilePool& operator=(const TilePool&) = delete;

    int32_t Threads() const { return static_cast<int32_t>(workers_.size()) + 1; }

    // Returns when every job has run; the first exception a job threw is thrown again here.
    void Run(int32_t count, const std::function<void(int32_t)>& job);

private:
    void Drain();
    void Work();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(int32_t)>* job_ = nullptr;
    int32_t count_ = 0;
    std::atomic<int32_t> next_{0};
    int32_t busy_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
    std::exception_ptr failure_;
};
