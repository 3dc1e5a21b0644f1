#pragma once
// Field-by-field little-endian access for stored forms. Readers take a span and an offset
// and never look past the span. Callers check lengths first, so a field outside the span is
// a fault of the caller: debug builds stop there, release builds read 0 and write nothing.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

namespace LE {

template <typename T> inline T Get(std::span<const uint8_t> bytes, size_t offset) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U v = 0;
    assert(offset <= bytes.size() && bytes.size() - offset >= sizeof(T));
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return T{};
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<U>(static_cast<U>(bytes[offset + i]) << (8 * i));
    return static_cast<T>(v);
}

template <typename T> inline void Put(std::span<uint8_t> bytes, size_t offset, T value) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U v = static_cast<U>(value);
    assert(offset <= bytes.size() && bytes.size() - offset >= sizeof(T));
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return;
    for (size_t i = 0; i < sizeof(T); ++i) bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
}

template <typename T> inline void Append(std::vector<uint8_t>& out, T value) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U v = static_cast<U>(value);
    for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Copies a zero-terminated text of at most size-1 bytes into a fixed field, zero-filling the rest.
inline void PutText(std::span<uint8_t> bytes, size_t offset, size_t size, std::string_view text) {
    if (size == 0 || offset > bytes.size() || bytes.size() - offset < size) return;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memset(bytes.data() + offset, 0, size);
    if (n) std::memcpy(bytes.data() + offset, text.data(), n);
}

// Reads a fixed text field up to its first zero byte or its end.
inline std::string_view GetText(std::span<const uint8_t> bytes, size_t offset, size_t size) {
    if (offset > bytes.size() || bytes.size() - offset < size) return {};
    const char* p = reinterpret_cast<const char*>(bytes.data() + offset);
    size_t n = 0;
    while (n < size && p[n] != 0) ++n;
    return {p, n};
}

} // namespace LE
