#pragma once
// Numbers as planning programs write them in their files: the whole text is the number, with no
// blank, sign of plus or unit around it.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

inline std::optional<int64_t> IntegerOf(std::string_view text) {
    int64_t value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

inline std::optional<double> DecimalOf(std::string_view text) {
    double value = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}
