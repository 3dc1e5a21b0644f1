#pragma once
// The facts, layer and colour the check of a file's records read for each product, kept packed
// until the product's turn, so its records are read once rather than again as it is converted.
// A product's block is its body representations' numbers and its texts, each text a 32-bit
// length in the machine's order and its bytes, its properties last as the numbers of distinct
// pairs, each kept once in IfcPackedProperties' own layout: a large file's products repeat most
// of their keys and values, which held apiece were more than a tenth of the helper's memory.
// Kept once in ascending order of the products' places; nothing is given back before the
// process ends after its file.
#include "host/ifc/building/IfcBuildingData.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class KeptRecordFacts {
public:
    // Keeps the facts of `p` for the product at `position`, read for these bodies; one at a place
    // not past the last kept is not kept.
    void Keep(uint32_t position, const std::vector<int>& bodies, const IfcProductData& p);
    // Gives `p` the facts kept for the product at `position` when they were read for these
    // bodies, its properties packed; false, `p` untouched, otherwise.
    bool Give(uint32_t position, const std::vector<int>& bodies, IfcProductData& p) const;
    size_t Size() const { return positions_.size(); }

private:
    void PutU32(uint32_t value);
    void PutText(std::string_view text);
    void PutPair(std::string_view key, std::string_view value);

    std::vector<uint32_t> positions_; // ascending
    std::vector<size_t> begins_;      // where each one's block begins in bytes_
    std::string bytes_;
    std::deque<std::string> pairs_; // never moved, so the views below hold
    std::unordered_map<std::string_view, uint32_t> pairNumbers_;
    std::string pair_;              // the one being kept
};
