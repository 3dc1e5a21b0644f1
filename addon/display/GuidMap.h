#pragma once
// A hash map from element identifiers to small values, stored flat (open addressing, linear
// probing, at most half full): one lookup is one probe into one array, mostly one cache line,
// where a node-based map chases a bucket and a node. Keys are never removed one by one; the
// map is emptied whole. The null identifier is the empty-slot mark and cannot be a key.
#include "hostapi/HostGuid.h"

#include <cstddef>
#include <stdexcept>
#include <vector>

template <typename V> class GuidMap {
public:
    struct Slot {
        API_Guid key;
        V value{};
    };

    size_t size() const { return used_; }
    bool empty() const { return used_ == 0; }
    void clear() {
        slots_.clear();
        used_ = 0;
    }
    V* find(const API_Guid& key) {
        if (slots_.empty() || key.IsNull()) return nullptr;
        for (size_t i = Start(key);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& s = slots_[i];
            if (s.key == key) return &s.value;
            if (s.key.IsNull()) return nullptr;
        }
    }
    const V* find(const API_Guid& key) const { return const_cast<GuidMap*>(this)->find(key); }
    size_t count(const API_Guid& key) const { return find(key) ? 1 : 0; }
    const V& at(const API_Guid& key) const {
        const V* v = find(key);
        if (!v) throw std::out_of_range("GuidMap::at");
        return *v;
    }
    // The value of the key, added (value-initialised) when missing. A null key gets a spare.
    V& operator[](const API_Guid& key) {
        if (key.IsNull()) return nullValue_;
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        for (size_t i = Start(key);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& s = slots_[i];
            if (s.key == key) return s.value;
            if (s.key.IsNull()) {
                s.key = key;
                s.value = V{};
                ++used_;
                return s.value;
            }
        }
    }

private:
    size_t Start(const API_Guid& key) const { return API_GuidHash{}(key) & (slots_.size() - 1); }
    void Grow() {
        std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.key.IsNull()) continue;
            size_t i = Start(s.key);
            while (!slots_[i].key.IsNull()) i = (i + 1) & (slots_.size() - 1);
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
    V nullValue_{};
};
