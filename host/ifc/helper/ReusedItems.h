#pragma once
// Meshes made once for every body or item of a file that says the same (RecordContent.h), shared
// by the threads that make bodies. What is made is kept only when the product it was made for
// came out whole, so what is kept made nothing to say. What is kept is bounded: half the bound
// for what was seen once, the rest for what was seen again.
#include "host/ifc/helper/MeshParts.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What a mesh was made of: the records it says (by place in the file) and the numbers it was
// made with besides, such as the placements of openings cut from it.
struct MadeOf {
    std::vector<uint32_t> records;
    std::vector<double> numbers;
};

class ReusedItems {
public:
    struct Kept {
        MadeOf of;
        std::vector<MeshItem> items;
        size_t curves = 0; // the curves its making read
    };

    // One thread's product: what it offers is kept once the product is.
    class Turn {
    public:
        explicit Turn(ReusedItems& shared) : shared_(shared) {}
        ~Turn() { Drop(); }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

        // What was kept for `hash`, when `alike` says it was made of what says the same; it
        // stays as it is while the shared store lives.
        const Kept* Find(uint64_t hash, const std::function<bool(const MadeOf&)>& alike);
        void Offer(uint64_t hash, MadeOf of, const std::vector<MeshItem>& items, size_t curves);
        void Commit();
        void Drop();

    private:
        struct Offered {
            uint64_t hash;
            Kept kept;
            size_t bytes;
            bool firstSight;
        };
        ReusedItems& shared_;
        std::vector<Offered> pending_;
    };

    explicit ReusedItems(size_t maxBytes) : maxBytes_(maxBytes) {}

    size_t Reused() const;

private:
    static size_t BytesOf(const Kept& kept);

    mutable std::mutex lock_;
    size_t maxBytes_;
    size_t bytes_ = 0;      // kept and offered
    size_t onceBytes_ = 0;  // of those, kept at their first sight
    size_t reused_ = 0;
    std::unordered_set<uint64_t> seen_;
    std::unordered_map<uint64_t, Kept> kept_; // never erased: what Find gives stays
};

// Whether what `a` and `b` were made of says the same: their records alike (RecordContent.h)
// and their numbers the same bits.
bool SameMadeOf(std::string_view text, const StepScan& scan, const MadeOf& a, const MadeOf& b);

// A hash of what `of` says; nothing when a record of it cannot be hashed (RecordContentHash).
std::optional<uint64_t> HashMadeOf(std::string_view text, const StepScan& scan, const MadeOf& of);
