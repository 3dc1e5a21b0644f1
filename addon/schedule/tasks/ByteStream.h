#pragma once
// The byte streams the stored forms are written to and read from. Files implement these in the
// project-file code; memory streams serve tests and in-memory round trips.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class IOutStream {
public:
    virtual ~IOutStream() = default;
    virtual bool WriteBytes(const void* data, size_t size) = 0;
};

class IInStream {
public:
    virtual ~IInStream() = default;
    // All `size` bytes or false.
    virtual bool ReadBytes(void* data, size_t size) = 0;
};

class MemoryOutStream final : public IOutStream {
public:
    bool WriteBytes(const void* data, size_t size) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

class MemoryInStream final : public IInStream {
public:
    MemoryInStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemoryInStream(const std::vector<uint8_t>& bytes) : MemoryInStream(bytes.data(), bytes.size()) {}
    bool ReadBytes(void* out, size_t size) override {
        if (size > size_ - pos_) return false;
        if (size) std::memcpy(out, data_ + pos_, size);
        pos_ += size;
        return true;
    }
    size_t Position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
