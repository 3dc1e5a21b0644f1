#pragma once
// Reads the entries host operations hand over as zero-terminated texts, one field after the
// other; every read stays inside the bytes and says whether the field was there.
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

class EntryFields {
public:
    explicit EntryFields(std::string_view bytes) : bytes_(bytes) {}
    bool Next(std::string_view& field) {
        size_t end = bytes_.find('\0', at_);
        if (end == std::string_view::npos) return false;
        field = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }
    bool Next(std::string& field) {
        std::string_view view;
        if (!Next(view)) return false;
        field = std::string(view);
        return true;
    }
    template <typename Int> bool Number(Int& value, Int low, Int high) {
        std::string_view text;
        if (!Next(text)) return false;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        return ec == std::errc() && end == text.data() + text.size() && !text.empty() && value >= low && value <= high;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};
