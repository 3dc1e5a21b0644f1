#pragma once
// What every stream handle is: counted references and the two operations a writer uses.
#include "avifile/AVIFile.h"

#include <cstdint>
#include <span>

struct AVIStreamObject {
    virtual ~AVIStreamObject() = default;

    virtual AVIResult SetFormat(int32_t position, std::span<const uint8_t> format) = 0;
    // Hands the samples to the file (they are copied). With `bytesWritten` it waits until they are
    // stored and counts the bytes; without it, a failure may come only with a later call or when
    // the file is finished.
    virtual AVIResult Write(int32_t start, int32_t samples, std::span<const uint8_t> data, uint32_t flags,
                            int32_t* bytesWritten) = 0;

    void AddRef() { ++refs_; }
    uint32_t Release() {
        uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    AVISTREAMINFO info;

private:
    uint32_t refs_ = 1;
};
