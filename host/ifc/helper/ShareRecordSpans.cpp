#include "host/ifc/helper/ShareRecordSpans.h"

#include <new>
#include <sys/mman.h>

static_assert(std::atomic<uint64_t>::is_always_lock_free, "the spans are shared between processes without a lock");

ShareRecordSpans::ShareRecordSpans(size_t count) {
    if (count == 0) return;
    const size_t bytes = count * sizeof(Slot);
    // Shared memory comes zeroed: every slot reads as not begun.
    void* at = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED) return;
    slots_ = static_cast<Slot*>(at);
    for (size_t i = 0; i < count; ++i) new (&slots_[i]) Slot{{0}, {0}};
    count_ = count;
    bytes_ = bytes;
}

ShareRecordSpans::~ShareRecordSpans() {
    if (slots_) munmap(slots_, bytes_);
}

void ShareRecordSpans::Began(size_t index, uint64_t at) {
    if (slots_ && index < count_) slots_[index].begin.store(at + 1, std::memory_order_release);
}

void ShareRecordSpans::Ended(size_t index, uint64_t end) {
    if (slots_ && index < count_) slots_[index].end.store(end + 1, std::memory_order_release);
}

ShareRecordSpans::Span ShareRecordSpans::Of(size_t index) const {
    Span span;
    if (!slots_ || index >= count_) return span;
    const uint64_t end = slots_[index].end.load(std::memory_order_acquire);
    const uint64_t begin = slots_[index].begin.load(std::memory_order_acquire);
    span.begun = begin != 0;
    span.ended = span.begun && end != 0 && end >= begin;
    if (span.begun) span.begin = begin - 1;
    if (span.ended) span.end = end - 1;
    return span;
}
