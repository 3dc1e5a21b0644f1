#include "host/render/TilePool.h"

TilePool::TilePool(int32_t threads) {
    for (int32_t i = 1; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

TilePool::~TilePool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (auto& w : workers_) w.join();
}

void TilePool::Run(int32_t count, const std::function<void(int32_t)>& job) {
    if (workers_.empty() || count <= 1) {
        for (int32_t i = 0; i < count; ++i) job(i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = &job;
        count_ = count;
        next_.store(0);
        busy_ = static_cast<int32_t>(workers_.size());
        failure_ = nullptr;
        ++generation_;
    }
    wake_.notify_all();
    Drain();
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    job_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
}

void TilePool::Drain() {
    for (;;) {
        int32_t i = next_.fetch_add(1);
        if (i >= count_) return;
        try {
            (*job_)(i);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
}

void TilePool::Work() {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
        if (stop_) return;
        seen = generation_;
        lock.unlock();
        Drain();
        lock.lock();
        if (--busy_ == 0) done_.notify_one();
    }
}
