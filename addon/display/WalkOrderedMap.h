#pragma once
// A map from element identifiers to small values for callers that look keys up in nearly the
// same order every time, as display passes walk the model. Entries lie in one array in the
// order they were first added; a cursor follows the caller, so a walk in that order reads the
// array front to back (the processor streams it) and touches the hash map only where the walk
// leaves the order. The null identifier cannot be a key. Values move when entries are added:
// hold no pointer to a value across an add.
#include "hostapi/HostGuidMap.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

template <typename V> class WalkOrderedMap {
public:
    size_t size() const { return entries_.size(); }
    void clear() {
        entries_.clear();
        positions_.clear();
        cursor_ = 0;
    }
    V* find(const API_Guid& key) {
        if (cursor_ < entries_.size() && entries_[cursor_].key == key) return &entries_[cursor_++].value;
        if (cursor_ > 0 && entries_[cursor_ - 1].key == key) return &entries_[cursor_ - 1].value; // asked again
        const uint32_t* at = positions_.find(key);
        if (!at) return nullptr;
        cursor_ = size_t{*at} + 1;
        return &entries_[*at].value;
    }
    size_t count(const API_Guid& key) const { return positions_.count(key); }
    const V& at(const API_Guid& key) const {
        const uint32_t* p = positions_.find(key);
        if (!p) throw std::out_of_range("WalkOrderedMap::at");
        return entries_[*p].value;
    }
    // The value of the key, added (value-initialised) when missing. A null key gets a spare.
    V& operator[](const API_Guid& key) {
        if (key.IsNull()) return nullValue_;
        if (V* v = find(key)) return *v;
        positions_[key] = static_cast<uint32_t>(entries_.size());
        entries_.push_back({key, V{}});
        cursor_ = entries_.size();
        return entries_.back().value;
    }

private:
    struct Entry {
        API_Guid key;
        V value{};
    };
    std::vector<Entry> entries_;
    GuidMap<uint32_t> positions_;
    size_t cursor_ = 0;
    V nullValue_{};
};
