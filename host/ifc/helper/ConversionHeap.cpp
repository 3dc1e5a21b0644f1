#include "host/ifc/helper/ConversionHeap.h"

#include "host/ifc/helper/ModelHeap.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

// Far from where Linux puts programs, their heaps and their mappings, above the sanitizers'
// shadow memory and below their allocators' space (from 0x600000000000).
constexpr uintptr_t kBase = 0x3e0000000000;
constexpr size_t kReserve = size_t{64} << 30;
// What a product left resident above this goes back to the system after it.
constexpr size_t kKeptResident = size_t{64} << 20;
constexpr size_t kHeader = 16; // the block's size class, then its link while free
constexpr size_t kSmall = 1024;
constexpr size_t kClasses = kSmall / 16 + 4 * 27;

// Sizes up to 1 KB by 16 bytes, above by quarters of a power of two.
size_t ClassOf(size_t n, size_t& block) {
    if (n <= kSmall) {
        block = n == 0 ? 16 : (n + 15) & ~size_t{15};
        return block / 16 - 1;
    }
    const size_t p = static_cast<size_t>(std::bit_width(n - 1)) - 1; // 2^p < n <= 2^(p+1)
    const size_t quarter = size_t{1} << (p - 2);
    const size_t k = (n - (size_t{1} << p) + quarter - 1) / quarter;
    block = (size_t{1} << p) + k * quarter;
    return kSmall / 16 + (p - 10) * 4 + (k - 1);
}

// Constant-initialised: operator new may run before any constructor of this file.
struct Heap {
    char* base;
    bool givenUp;
    size_t top;
    size_t highWater;
    size_t live;
    size_t leaks;
    void* free[kClasses];
};
Heap heap{};
thread_local bool active = false;

bool InHeap(const void* p) {
    return heap.base && static_cast<const char*>(p) >= heap.base && static_cast<const char*>(p) < heap.base + kReserve;
}

void* HeapAllocate(size_t n) {
    if (n > kReserve) return nullptr;
    size_t block = 0;
    const size_t c = ClassOf(n, block);
    char* header;
    if (heap.free[c]) {
        header = static_cast<char*>(heap.free[c]);
        std::memcpy(&heap.free[c], header + 8, sizeof(void*));
    } else {
        if (heap.top + kHeader + block > kReserve) return nullptr;
        header = heap.base + heap.top;
        heap.top += kHeader + block;
        if (heap.top > heap.highWater) heap.highWater = heap.top;
    }
    const auto cls = static_cast<uint32_t>(c);
    std::memcpy(header, &cls, sizeof cls);
    ++heap.live;
    return header + kHeader;
}

void HeapFree(void* p) {
    char* header = static_cast<char*>(p) - kHeader;
    uint32_t c;
    std::memcpy(&c, header, sizeof c);
    std::memcpy(header + 8, &heap.free[c], sizeof(void*));
    heap.free[c] = header;
    --heap.live;
}

bool MapHeap() {
    if (heap.base) return true;
    if (heap.givenUp) return false;
    void* at = mmap(reinterpret_cast<void*>(kBase), kReserve, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0);
    if (at == MAP_FAILED) {
        heap.givenUp = true;
        return false;
    }
    if (at != reinterpret_cast<void*>(kBase)) { // a kernel that takes the address as a hint
        munmap(at, kReserve);
        heap.givenUp = true;
        return false;
    }
    heap.base = static_cast<char*>(at);
    return true;
}

void* Allocate(size_t n) {
    if (active)
        if (void* p = HeapAllocate(n)) return p;
    if (void* p = ModelHeap::Allocate(n)) return p;
    for (;;) {
        if (void* p = std::malloc(n ? n : 1)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void* AllocateAligned(size_t n, std::align_val_t alignment) {
    const auto a = static_cast<size_t>(alignment);
    if (a <= kHeader) return Allocate(n);
    for (;;) {
        if (void* p = std::aligned_alloc(a, (n + a - 1) / a * a)) return p;
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void Release(void* p) noexcept {
    if (!p) return;
    if (InHeap(p)) HeapFree(p);
    else if (ModelHeap::Owns(p)) ModelHeap::Release(p);
    else std::free(p);
}

} // namespace

ConversionHeap::Scope::Scope() {
    if (active || heap.givenUp || !MapHeap()) return;
    heap.top = 0;
    heap.live = 0;
    std::memset(heap.free, 0, sizeof heap.free);
    active = true;
    fixed_ = true;
}

ConversionHeap::Scope::~Scope() {
    if (!fixed_) return;
    active = false;
    if (heap.live != 0) {
        // Something of the product's lives on: its memory stays as it is from now on.
        ++heap.leaks;
        heap.givenUp = true;
        return;
    }
    if (heap.highWater > kKeptResident) {
        madvise(heap.base + kKeptResident, heap.highWater - kKeptResident, MADV_DONTNEED);
        heap.highWater = kKeptResident;
    }
}

ConversionHeap::Pause::Pause() : was_(active) { active = false; }
ConversionHeap::Pause::~Pause() { active = was_; }

void ConversionHeap::GiveBack() {
    if (!heap.base || active || heap.live != 0 || heap.highWater == 0) return;
    madvise(heap.base, heap.highWater, MADV_DONTNEED);
    heap.highWater = 0;
}

size_t ConversionHeap::Leaks() { return heap.leaks; }

// Weak: a program with its own (a test that makes allocations fail) keeps its own, and its
// conversions their process's heap.
[[gnu::weak]] void* operator new(size_t n) { return Allocate(n); }
[[gnu::weak]] void* operator new[](size_t n) { return Allocate(n); }
[[gnu::weak]] void* operator new(size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
[[gnu::weak]] void* operator new[](size_t n, const std::nothrow_t&) noexcept {
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
[[gnu::weak]] void* operator new(size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
[[gnu::weak]] void* operator new[](size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
[[gnu::weak]] void* operator new(size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(n, a);
    } catch (...) {
        return nullptr;
    }
}
[[gnu::weak]] void* operator new[](size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return AllocateAligned(n, a);
    } catch (...) {
        return nullptr;
    }
}
[[gnu::weak]] void operator delete(void* p) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p) noexcept { Release(p); }
[[gnu::weak]] void operator delete(void* p, size_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p, size_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
[[gnu::weak]] void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete(void* p, size_t, std::align_val_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p, size_t, std::align_val_t) noexcept { Release(p); }
[[gnu::weak]] void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
[[gnu::weak]] void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
