#include "host/ifc/helper/PlannedMeshes.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Large enough that a mapping costs nothing beside its meshes, small enough that one given back
// early is worth it.
constexpr size_t kMappingBytes = size_t{4} << 20;

struct Counts {
    uint32_t vertices, triangles;
};

// Set in the count of triangles whose corners are kept in 16 bits: most bodies have fewer than
// 65,536 points, and their corners were a quarter of the meshes' bytes more.
constexpr uint32_t kNarrow = uint32_t{1} << 31;

constexpr size_t kVertexBytes = sizeof(std::array<double, 3>);
constexpr size_t kTriangleBytes = sizeof(std::array<int32_t, 3>);
constexpr size_t kNarrowTriangleBytes = sizeof(std::array<uint16_t, 3>);

size_t BytesOf(size_t vertices, size_t triangles, bool narrow) {
    const size_t bytes = sizeof(Counts) + vertices * kVertexBytes + triangles * (narrow ? kNarrowTriangleBytes : kTriangleBytes);
    return (bytes + 7) & ~size_t{7};
}

bool FitsNarrow(const ProductMesh& mesh) {
    for (const auto& t : mesh.triangles)
        for (int32_t corner : t)
            if (corner < 0 || corner > UINT16_MAX) return false;
    return true;
}

} // namespace

PlannedMeshes::~PlannedMeshes() {
    for (Mapping& m : mappings_) Unmap(m);
}

PlannedMeshes::PlannedMeshes(PlannedMeshes&& other) noexcept
    : mappings_(std::exchange(other.mappings_, {})), entries_(std::exchange(other.entries_, {})),
      front_(std::exchange(other.front_, 0)), back_(std::exchange(other.back_, 0)) {}

PlannedMeshes& PlannedMeshes::operator=(PlannedMeshes&& other) noexcept {
    if (this != &other) {
        for (Mapping& m : mappings_) Unmap(m);
        mappings_ = std::exchange(other.mappings_, {});
        entries_ = std::exchange(other.entries_, {});
        front_ = std::exchange(other.front_, 0);
        back_ = std::exchange(other.back_, 0);
    }
    return *this;
}

void PlannedMeshes::Unmap(Mapping& m) {
    if (m.bytes) munmap(m.bytes, m.size);
    m.bytes = nullptr;
}

bool PlannedMeshes::Add(uint32_t position, const ProductMesh& mesh) {
    if (GaveBack() || (!entries_.empty() && position <= entries_.back().position)) return false;
    if (mesh.vertices.size() > UINT32_MAX || mesh.triangles.size() >= kNarrow) return false;
    const bool narrow = FitsNarrow(mesh);
    const size_t bytes = BytesOf(mesh.vertices.size(), mesh.triangles.size(), narrow);
    if (mappings_.empty() || mappings_.back().size - mappings_.back().used < bytes) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t size = (std::max(bytes, kMappingBytes) + page - 1) / page * page;
        void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED) return false;
        mappings_.push_back({static_cast<unsigned char*>(at), size, 0, position, position});
    }
    Mapping& m = mappings_.back();
    unsigned char* at = m.bytes + m.used;
    const Counts counts{static_cast<uint32_t>(mesh.vertices.size()), static_cast<uint32_t>(mesh.triangles.size()) | (narrow ? kNarrow : 0)};
    std::memcpy(at, &counts, sizeof counts);
    at += sizeof counts;
    if (!mesh.vertices.empty()) std::memcpy(at, mesh.vertices.data(), mesh.vertices.size() * kVertexBytes);
    at += mesh.vertices.size() * kVertexBytes;
    if (narrow) {
        for (const auto& t : mesh.triangles) {
            const std::array<uint16_t, 3> corners{static_cast<uint16_t>(t[0]), static_cast<uint16_t>(t[1]), static_cast<uint16_t>(t[2])};
            std::memcpy(at, corners.data(), kNarrowTriangleBytes);
            at += kNarrowTriangleBytes;
        }
    } else if (!mesh.triangles.empty()) {
        std::memcpy(at, mesh.triangles.data(), mesh.triangles.size() * kTriangleBytes);
    }
    entries_.push_back({position, static_cast<uint32_t>(mappings_.size() - 1), m.used});
    m.used += bytes;
    m.last = position;
    return true;
}

bool PlannedMeshes::Append(PlannedMeshes&& later) {
    if (this == &later || GaveBack() || later.GaveBack()) return false;
    if (later.entries_.empty()) return true;
    if (!entries_.empty() && later.entries_.front().position <= entries_.back().position) return false;
    const auto shift = static_cast<uint32_t>(mappings_.size());
    mappings_.insert(mappings_.end(), later.mappings_.begin(), later.mappings_.end());
    entries_.reserve(entries_.size() + later.entries_.size());
    for (Entry e : later.entries_) entries_.push_back({e.position, e.mapping + shift, e.offset});
    later.mappings_.clear();
    later.entries_.clear();
    return true;
}

std::optional<ProductMesh> PlannedMeshes::Copy(uint32_t position) const {
    const auto e = std::lower_bound(entries_.begin(), entries_.end(), position,
                                    [](const Entry& entry, uint32_t p) { return entry.position < p; });
    if (e == entries_.end() || e->position != position) return std::nullopt;
    const Mapping& m = mappings_[e->mapping];
    if (!m.bytes) return std::nullopt;
    const unsigned char* at = m.bytes + e->offset;
    Counts counts{};
    std::memcpy(&counts, at, sizeof counts);
    at += sizeof counts;
    const bool narrow = (counts.triangles & kNarrow) != 0;
    const uint32_t triangles = counts.triangles & ~kNarrow;
    ProductMesh mesh;
    mesh.vertices.resize(counts.vertices);
    mesh.triangles.resize(triangles);
    if (counts.vertices) std::memcpy(mesh.vertices.data(), at, counts.vertices * kVertexBytes);
    at += counts.vertices * kVertexBytes;
    if (narrow) {
        for (auto& t : mesh.triangles) {
            std::array<uint16_t, 3> corners{};
            std::memcpy(corners.data(), at, kNarrowTriangleBytes);
            at += kNarrowTriangleBytes;
            t = {corners[0], corners[1], corners[2]};
        }
    } else if (triangles) {
        std::memcpy(mesh.triangles.data(), at, triangles * kTriangleBytes);
    }
    return mesh;
}

void PlannedMeshes::GiveBackBefore(uint32_t position) {
    while (front_ + back_ < mappings_.size() && mappings_[front_].last < position) Unmap(mappings_[front_++]);
}

void PlannedMeshes::GiveBackFrom(uint32_t position) {
    while (front_ + back_ < mappings_.size() && mappings_[mappings_.size() - 1 - back_].first >= position)
        Unmap(mappings_[mappings_.size() - 1 - back_++]);
}

size_t PlannedMeshes::MappedBytes() const {
    size_t bytes = 0;
    for (const Mapping& m : mappings_)
        if (m.bytes) bytes += m.size;
    return bytes;
}
