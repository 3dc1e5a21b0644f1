#pragma once
// The memory of a process that reads one IFC file and ends: the library's model is millions of
// small objects that live as long as the process, each with its own allocation. Taken from
// pages of one size each, they need no header and no search, and the threads that read the
// file share no lock. Nothing goes back to the system before the process ends.
//
// Once enabled, operator new takes blocks of up to kLargest bytes from here outside a
// ConversionHeap::Scope; operator delete gives back whatever lies here, on any thread, to that
// thread's free blocks. Larger blocks come from the process's heap as before.
#include <cstddef>

class ModelHeap {
public:
    static constexpr size_t kLargest = 1024;

    // From now on in this process; false when its addresses could not be had.
    static bool Enable();
    // This thread's blocks from new pages from now on, none of those it was given back: after a
    // fork, writing into a page the other process shares copies the page.
    static void Renew() noexcept;
    // While one lives on a thread, the thread's blocks come from pages of their own that
    // DropScratch gives back to the system whole; giving back one of their blocks does nothing.
    class Scratch {
    public:
        Scratch() noexcept;
        ~Scratch();
        Scratch(const Scratch&) = delete;
        Scratch& operator=(const Scratch&) = delete;
    };
    // Nothing may be used of what was made in a Scratch after this.
    static void DropScratch() noexcept;
    // Null when not enabled, `n` is larger than kLargest or the heap is full.
    static void* Allocate(size_t n) noexcept;
    static bool Owns(const void* p) noexcept;
    // `p` must be Owned.
    static void Release(void* p) noexcept;
};
