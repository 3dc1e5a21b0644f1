#pragma once
// Bounded copies into fixed-size, zero-terminated text fields.
#include <cstddef>
#include <cstring>
#include <string_view>

// Copies at most size-1 bytes of text and always terminates; returns the bytes copied.
inline size_t BKCopyText(char* dest, size_t size, std::string_view text) {
    if (dest == nullptr || size == 0) return 0;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n) std::memmove(dest, text.data(), n);
    dest[n] = 0;
    return n;
}

template <size_t N> inline size_t BKCopyText(char (&dest)[N], std::string_view text) {
    return BKCopyText(dest, N, text);
}

// Length of a fixed field's text: up to the first zero byte, never past the field.
template <size_t N> inline std::string_view BKTextOf(const char (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != 0) ++n;
    return {field, n};
}
