#pragma once
// The bodies made from the records before the library's parse, held until each product's turn.
// Grown vectors would hold up to twice their meshes' bytes, each block of them in a heap that
// gives nothing back; here they lie end to end in mappings of their own, in file order, and a
// mapping whose products no longer need them goes back to the system whole. After a fork each
// process gives back its own mappings: a page goes once neither maps it.
#include "host/ifc/helper/ProductMesh.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class PlannedMeshes {
public:
    PlannedMeshes() = default;
    ~PlannedMeshes();
    PlannedMeshes(PlannedMeshes&& other) noexcept;
    PlannedMeshes& operator=(PlannedMeshes&& other) noexcept;
    PlannedMeshes(const PlannedMeshes&) = delete;
    PlannedMeshes& operator=(const PlannedMeshes&) = delete;

    // The mesh of the product at `position`, which comes after every one added before; false
    // (nothing added) when it does not, when some were given back, or when no memory is had.
    bool Add(uint32_t position, const ProductMesh& mesh);
    // `later`'s meshes after this one's, when they all come after them and neither gave any
    // back; false (neither changed) otherwise.
    bool Append(PlannedMeshes&& later);

    size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    // The product's mesh; nothing when it has none here or its mapping was given back.
    std::optional<ProductMesh> Copy(uint32_t position) const;

    // No product before `position` (or from it on) asks for its mesh here again.
    void GiveBackBefore(uint32_t position);
    void GiveBackFrom(uint32_t position);
    // Bytes mapped now.
    size_t MappedBytes() const;

private:
    struct Mapping {
        unsigned char* bytes = nullptr;
        size_t size = 0, used = 0;
        uint32_t first = 0, last = 0; // the positions of its first and last meshes
    };
    struct Entry {
        uint32_t position;
        uint32_t mapping;
        size_t offset;
    };
    static void Unmap(Mapping& m);
    bool GaveBack() const { return front_ != 0 || back_ != 0; }

    std::vector<Mapping> mappings_;
    std::vector<Entry> entries_;
    size_t front_ = 0, back_ = 0; // how many mappings were given back at either end
};
