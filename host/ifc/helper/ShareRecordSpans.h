#pragma once
// Where the second converting process wrote each product's records in its memory file, kept in
// memory both processes share: the first passes them on without reading them through, and knows
// which product the second began and never finished.
#include <atomic>
#include <cstddef>
#include <cstdint>

class ShareRecordSpans {
public:
    // For `count` products, numbered as their claims; without shared memory, Valid() is false.
    explicit ShareRecordSpans(size_t count);
    ~ShareRecordSpans();
    ShareRecordSpans(const ShareRecordSpans&) = delete;
    ShareRecordSpans& operator=(const ShareRecordSpans&) = delete;

    bool Valid() const { return slots_ != nullptr; }
    // The product's records begin at `at` in the file; then they end at `end`.
    void Began(size_t index, uint64_t at);
    void Ended(size_t index, uint64_t end);

    struct Span {
        bool begun = false;
        bool ended = false;
        uint64_t begin = 0, end = 0;
    };
    Span Of(size_t index) const;

private:
    struct Slot {
        std::atomic<uint64_t> begin; // one past the offset, 0 before
        std::atomic<uint64_t> end;   // one past the offset, 0 before
    };
    Slot* slots_ = nullptr;
    size_t count_ = 0;
    size_t bytes_ = 0;
};
