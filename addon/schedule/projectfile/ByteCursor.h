#pragma once
// Reads the fields of a stored body in order, checking each length against what is left, and
// remembers the first field that did not fit: after a failure every read gives zero.
#include "bytes/LittleEndian.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class ByteCursor {
public:
    explicit ByteCursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    template <typename T> T Get() {
        if (!ok_ || bytes_.size() - pos_ < sizeof(T)) {
            ok_ = false;
            return T{};
        }
        T v = LE::Get<T>(bytes_, pos_);
        pos_ += sizeof(T);
        return v;
    }
    // A text of a 16-bit length, at most `limit` bytes, without zero bytes.
    std::string Text16(size_t limit, size_t least = 0) {
        size_t n = Get<uint16_t>();
        if (!ok_ || n > limit || n < least || bytes_.size() - pos_ < n) {
            ok_ = false;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        if (text.find('\0') != std::string::npos) ok_ = false;
        return text;
    }
    // `n` bytes as they are, when that many are left.
    std::string Text(size_t n) {
        if (!ok_ || bytes_.size() - pos_ < n) {
            ok_ = false;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
        pos_ += n;
        return text;
    }
    void Fail() { ok_ = false; }
    bool Ok() const { return ok_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};
