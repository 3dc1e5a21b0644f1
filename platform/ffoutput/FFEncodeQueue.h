#pragma once
// The work of one open movie (converting, encoding and muxing its pictures) done on a thread of
// its own, so the caller can draw the next picture while the last one is encoded. The jobs run
// one after another in the order they were handed in, exactly the work the caller would have done
// itself, so the movie's bytes do not depend on the thread. At most one job waits while one runs;
// handing in another waits for room.
//
// A job's failure (a nonzero code) is kept: every later Submit and Drain returns it, and no later
// job runs. Without the thread (threaded false) a job runs at once inside Submit, which returns
// its own result.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class FFEncodeQueue {
public:
    using Job = std::function<int32_t()>;

    explicit FFEncodeQueue(bool threaded);
    ~FFEncodeQueue(); // waits for the jobs handed in and joins the thread
    FFEncodeQueue(const FFEncodeQueue&) = delete;
    FFEncodeQueue& operator=(const FFEncodeQueue&) = delete;

    // The first failure of the jobs that ran before (nothing more runs then, and the thread is
    // idle when this returns it), else 0 once `job` is queued, or, without the thread, its result.
    int32_t Submit(Job job);
    // Waits until every job handed in has run; the first failure, 0 when none. Afterwards the
    // caller may touch what the jobs use.
    int32_t Drain();
    // The first failure so far without waiting (0 when none or not yet known).
    int32_t Error();
    bool Threaded() const { return threaded_; }

private:
    void Work();

    bool threaded_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    int32_t error_ = 0;
    std::thread worker_;
};

