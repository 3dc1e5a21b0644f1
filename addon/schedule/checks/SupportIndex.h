#pragma once
// Which elements an element stands on, from the boxes round their bodies: an element carries
// another when its top meets the other's base within a tolerance, its bottom lies lower than that
// base, and the two overlap in plan by more than the tolerance each way. A grid over the plan
// keeps the search near linear, so a model of thousands of elements is paired at once.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct ElementBox {
    std::array<double, 3> min{}, max{};
};

class SupportIndex {
public:
    // `carriers[i]` false: element i stands on others but carries none (an opening, a lamp).
    SupportIndex(std::span<const ElementBox> boxes, std::span<const uint8_t> carriers, double tolerance);

    // The elements element i stands on, in increasing order.
    std::span<const uint32_t> Below(size_t i) const {
        return {below_.data() + first_[i], below_.data() + first_[i + 1]};
    }

private:
    std::vector<uint32_t> first_; // per element, its first entry in below_; one more at the end
    std::vector<uint32_t> below_;
};
