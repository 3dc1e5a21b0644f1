#include "host/gltf/ShapeGroups.h"

#include <cmath>
#include <unordered_map>

namespace {

constexpr double kMicrometre = 1e-6;

int64_t Grid(double v) { return static_cast<int64_t>(std::llround(v / kMicrometre)); }

// Points on a micrometre grid relative to the first one; a body whose numbers do not fit
// the grid (broken or astronomically far) stays a shape of its own.
bool RelativeGrid(const TriangleBody& body, std::vector<int64_t>& out) {
    out.clear();
    const Vec3& origin = body.points.front();
    for (const Vec3& p : body.points)
        for (int axis = 0; axis < 3; ++axis) {
            const double d = p[static_cast<size_t>(axis)] - origin[static_cast<size_t>(axis)];
            if (!std::isfinite(d) || std::fabs(d) > 1e9) return false;
            out.push_back(Grid(d));
        }
    return true;
}

uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

uint64_t HashOf(const TriangleBody& body, const std::vector<int64_t>& grid) {
    uint64_t h = Mix(body.points.size(), body.triangles.size());
    for (int64_t g : grid) h = Mix(h, static_cast<uint64_t>(g));
    for (const auto& t : body.triangles)
        for (uint32_t i : t) h = Mix(h, i);
    return h;
}

} // namespace

std::vector<ShapeGroup> GroupShapes(std::span<const TriangleBody> bodies) {
    std::vector<ShapeGroup> groups;
    std::vector<std::vector<int64_t>> grids; // per group, its shape's grid
    std::unordered_map<uint64_t, std::vector<size_t>> byHash;
    std::vector<int64_t> grid;
    for (size_t b = 0; b < bodies.size(); ++b) {
        const TriangleBody& body = bodies[b];
        if (body.points.empty() || body.triangles.empty()) continue;
        const bool gridded = RelativeGrid(body, grid);
        if (gridded) {
            std::vector<size_t>& candidates = byHash[HashOf(body, grid)];
            bool joined = false;
            for (size_t g : candidates) {
                if (grids[g] != grid || bodies[groups[g].shape].triangles != body.triangles) continue;
                groups[g].bodies.push_back(b);
                groups[g].offsets.push_back(body.points.front());
                joined = true;
                break;
            }
            if (joined) continue;
            candidates.push_back(groups.size());
        }
        groups.push_back({b, {b}, {body.points.front()}});
        grids.push_back(gridded ? grid : std::vector<int64_t>{});
    }
    return groups;
}
