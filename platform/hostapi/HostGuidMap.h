#pragma once
// A hash map from element identifiers to small values, stored flat (open addressing, linear
// probing, at most half full): one lookup is one probe into one array, mostly one cache line,
// where a node-based map chases a bucket and a node. The null identifier is the empty-slot mark
// and cannot be a key. Values move when the map grows or a key is erased: hold no pointer to a
// value across either.
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
    // Room for `n` keys without growing.
    void reserve(size_t n) {
        size_t want = 64;
        while (want < n * 2) want *= 2;
        if (want > slots_.size()) Rehash(want);
    }
    V* find(const API_Guid& key) {
        if (slots_.empty() || key.IsNull()) return nullptr;
        for (size_t i = Start(key);; i = Next(i)) {
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
        if ((used_ + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 64 : slots_.size() * 2);
        for (size_t i = Start(key);; i = Next(i)) {
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
    // Removes the key; keys probed past its slot move back so that no probe chain is broken
    // (no tombstones: lookups stay as short as after a fresh fill).
    size_t erase(const API_Guid& key) {
        if (slots_.empty() || key.IsNull()) return 0;
        size_t hole = Start(key);
        while (!(slots_[hole].key == key)) {
            if (slots_[hole].key.IsNull()) return 0;
            hole = Next(hole);
        }
        for (size_t i = Next(hole); !slots_[i].key.IsNull(); i = Next(i)) {
            // The slot's key may fill the hole only if the hole lies on its way from its start.
            size_t home = Start(slots_[i].key);
            bool homeAfterHole = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
            if (homeAfterHole) continue;
            slots_[hole] = std::move(slots_[i]);
            hole = i;
        }
        slots_[hole] = Slot{};
        --used_;
        return 1;
    }

private:
    size_t Start(const API_Guid& key) const { return API_GuidHash{}(key) & (slots_.size() - 1); }
    size_t Next(size_t i) const { return (i + 1) & (slots_.size() - 1); }
    void Rehash(size_t slotCount) {
        std::vector<Slot> old(slotCount);
        old.swap(slots_);
        for (Slot& s : old) {
            if (s.key.IsNull()) continue;
            size_t i = Start(s.key);
            while (!slots_[i].key.IsNull()) i = Next(i);
            slots_[i] = std::move(s);
        }
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
    V nullValue_{};
};
