#pragma once
// A product's single-value properties as one block of bytes rather than two strings apiece. A
// large file's products carry tens of properties each, and strings of their own are the most of
// what its products hold while they wait for their elements: far more than their meshes.
// Each pair is its key and its value, each a 32-bit length in the machine's order and its bytes.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The form in which a reader gives a product's properties (IfcProductData).
enum class IfcPropertiesForm : uint8_t { Listed, Packed };

class IfcPackedProperties {
public:
    void Add(std::string_view key, std::string_view value);
    // Appends one pair in the layout above to `bytes`: what Take reads.
    static void AppendPair(std::string& bytes, std::string_view key, std::string_view value);
    // Takes `count` pairs of the layout above off the front of `bytes`, every length checked
    // against the bytes; false, with `bytes` and the pairs as they were, when they are cut short.
    bool Take(std::string_view& bytes, uint32_t count);
    size_t Size() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // `visit(key, value)` for each pair, in the order they were added.
    template <typename Visit>
    void ForEach(Visit&& visit) const {
        std::string_view rest = bytes_;
        for (uint32_t i = 0; i < count_; ++i) {
            const std::string_view key = Next(rest);
            visit(key, Next(rest));
        }
    }
    std::vector<std::pair<std::string, std::string>> Unpacked() const;
    bool operator==(const IfcPackedProperties&) const = default;

private:
    // Only over bytes Add or Take laid out, whose lengths hold.
    static std::string_view Next(std::string_view& rest) {
        uint32_t size;
        std::memcpy(&size, rest.data(), sizeof size);
        const std::string_view text = rest.substr(sizeof size, size);
        rest.remove_prefix(sizeof size + size);
        return text;
    }

    std::string bytes_;
    uint32_t count_ = 0;
};
