#pragma once
// Each record's product references (a placement and a representation, StepRecord::productRefs),
// {-1, -1} for most: a file of millions of points, loops and faces has some thousands of records
// with any. Those are kept end to end, found by a bit for every record and a count of them
// before every 64 records; the others cost a bit.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

class ProductRefList {
public:
    static constexpr std::array<int, 2> kNone{-1, -1};

    void reserve(size_t records) {
        words_.reserve(records / 64 + 1);
        before_.reserve(records / 64 + 1);
    }
    void push_back(const std::array<int, 2>& refs) {
        if (count_ % 64 == 0) {
            words_.push_back(0);
            before_.push_back(static_cast<uint32_t>(held_.size()));
        }
        if (refs != kNone) {
            words_.back() |= uint64_t{1} << (count_ % 64);
            held_.push_back(refs);
        }
        ++count_;
    }
    // The first `count` of `other`'s appended.
    void Append(const ProductRefList& other, size_t count) {
        for (size_t i = 0; i < count; ++i) push_back(other[i]);
    }

    size_t size() const { return count_; }
    std::array<int, 2> operator[](size_t i) const {
        const uint64_t word = words_[i / 64], bit = uint64_t{1} << (i % 64);
        if (!(word & bit)) return kNone;
        return held_[before_[i / 64] + static_cast<size_t>(std::popcount(word & (bit - 1)))];
    }
    bool operator==(const ProductRefList& other) const {
        return count_ == other.count_ && words_ == other.words_ && held_ == other.held_;
    }

private:
    std::vector<uint64_t> words_;  // a bit for every record that has references
    std::vector<uint32_t> before_; // for every word, how many records before it have
    std::vector<std::array<int, 2>> held_;
    size_t count_ = 0;
};
