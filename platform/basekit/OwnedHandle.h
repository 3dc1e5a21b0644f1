#pragma once
// The one owner of a BaseKit block, on either side of the host's table: disposed of when the owner
// goes, handed on when it is moved, so no path (an early return, an exception) leaks or frees twice.
#include "basekit/BKMemory.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(BKHandle handle) : handle_(handle) {}
    ~OwnedHandle() { BKDisposeHandle(handle_); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    BKHandle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    uint8_t* Data() const { return BKHandleData(handle_); }
    size_t Size() const { return BKHandleSize(handle_); }
    std::span<const uint8_t> Bytes() const { return {Data(), Size()}; }

    // Gives the block up without disposing of it.
    BKHandle Release() { return std::exchange(handle_, 0); }
    // Disposes of the block held, then holds this one.
    void Reset(BKHandle handle = 0) {
        if (handle != handle_) BKDisposeHandle(std::exchange(handle_, handle));
    }
    // For an operation that hands a new block out through a pointer: the block held so far is
    // disposed of, and whatever the host writes is owned.
    BKHandle* Receive() {
        Reset();
        return &handle_;
    }

private:
    BKHandle handle_ = 0;
};
