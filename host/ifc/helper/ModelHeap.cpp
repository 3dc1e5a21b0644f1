#include "host/ifc/helper/ModelHeap.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define BV_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BV_ADDRESS_SANITIZER
#endif
#endif

namespace {

constexpr size_t kReserve = size_t{64} << 30;
constexpr size_t kPageBits = 16; // every page holds blocks of one size
constexpr size_t kPages = kReserve >> kPageBits;
constexpr size_t kClasses = ModelHeap::kLargest / 16;

// Constant-initialised: operator new may run before any constructor of this file.
char* base = nullptr;
uint8_t* classOfPage = nullptr; // the reserve's first pages
std::atomic<size_t> nextPage{0};

struct Free {
    Free* next;
};

// The class of a page of Scratch blocks.
constexpr uint8_t kScratch = 0xff;

struct ThreadBlocks {
    Free* free[kClasses];
    char* at[kClasses];
    char* end[kClasses];
    bool scratch;
    char* scratchAt;
    char* scratchEnd;
};
thread_local ThreadBlocks blocks{};

} // namespace

bool ModelHeap::Enable() {
#if defined(BV_ADDRESS_SANITIZER)
    return false; // the sanitizer's own heap finds what this one would hide
#else
    if (base) return true;
    void* at = mmap(nullptr, kReserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (at == MAP_FAILED) return false;
    // The model only grows while the file is read: in 2 MB pages it takes a page fault where
    // it took 512, and faults are a large part of a big model's parse. Advice only.
    madvise(at, kReserve, MADV_HUGEPAGE);
    classOfPage = static_cast<uint8_t*>(at);
    nextPage = (kPages + (size_t{1} << kPageBits) - 1) >> kPageBits; // past the table of classes
    base = static_cast<char*>(at);
    return true;
#endif
}

void* ModelHeap::Allocate(size_t n) noexcept {
    if (!base || n > kLargest) return nullptr;
    const size_t c = n == 0 ? 0 : (n - 1) / 16;
    ThreadBlocks& b = blocks;
    if (b.scratch) {
        const size_t size = (c + 1) * 16;
        if (!b.scratchAt || size > static_cast<size_t>(b.scratchEnd - b.scratchAt)) {
            const size_t page = nextPage.fetch_add(1, std::memory_order_relaxed);
            if (page >= kPages) return nullptr;
            classOfPage[page] = kScratch;
            b.scratchAt = base + (page << kPageBits);
            b.scratchEnd = b.scratchAt + (size_t{1} << kPageBits);
        }
        void* p = b.scratchAt;
        b.scratchAt += size;
        return p;
    }
    if (Free* f = b.free[c]) {
        b.free[c] = f->next;
        return f;
    }
    const size_t size = (c + 1) * 16;
    if (!b.at[c] || size > static_cast<size_t>(b.end[c] - b.at[c])) {
        const size_t page = nextPage.fetch_add(1, std::memory_order_relaxed);
        if (page >= kPages) return nullptr;
        classOfPage[page] = static_cast<uint8_t>(c);
        b.at[c] = base + (page << kPageBits);
        b.end[c] = b.at[c] + (size_t{1} << kPageBits);
    }
    void* p = b.at[c];
    b.at[c] += size;
    return p;
}

void ModelHeap::Renew() noexcept { blocks = ThreadBlocks{}; }

ModelHeap::Scratch::Scratch() noexcept { blocks.scratch = true; }

ModelHeap::Scratch::~Scratch() {
    blocks.scratch = false;
    blocks.scratchAt = blocks.scratchEnd = nullptr; // its pages are for it alone
}

void ModelHeap::DropScratch() noexcept {
    if (!base) return;
    const size_t used = std::min(nextPage.load(), kPages);
    for (size_t page = 0; page < used;) {
        if (classOfPage[page] != kScratch) {
            ++page;
            continue;
        }
        size_t run = page;
        while (run < used && classOfPage[run] == kScratch) ++run;
        madvise(base + (page << kPageBits), (run - page) << kPageBits, MADV_DONTNEED);
        page = run;
    }
}

bool ModelHeap::Owns(const void* p) noexcept {
    return base && static_cast<const char*>(p) >= base && static_cast<const char*>(p) < base + kReserve;
}

void ModelHeap::Release(void* p) noexcept {
    const size_t page = static_cast<size_t>(static_cast<char*>(p) - base) >> kPageBits;
    auto* f = static_cast<Free*>(p);
    ThreadBlocks& b = blocks;
    const size_t c = classOfPage[page];
    if (c == kScratch) return;
    f->next = b.free[c];
    b.free[c] = f;
}
