#include "schedule/checks/SupportIndex.h"

#include <algorithm>
#include <cmath>

namespace {

// Cells a side at most, so one large element (the terrain, a slab) covers a bounded count.
constexpr size_t kMaxCellsPerSide = 256;

struct Grid {
    double x0 = 0, y0 = 0, cell = 1;
    size_t nx = 1, ny = 1;
    size_t Column(double x) const { return Clamp((x - x0) / cell, nx); }
    size_t Row(double y) const { return Clamp((y - y0) / cell, ny); }
    static size_t Clamp(double v, size_t n) {
        if (!(v > 0)) return 0;
        if (v >= static_cast<double>(n)) return n - 1;
        return static_cast<size_t>(v);
    }
};

Grid MakeGrid(std::span<const ElementBox> boxes, std::span<const uint8_t> carriers) {
    Grid g;
    double x1 = 0, y1 = 0;
    bool any = false;
    std::vector<double> sides;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (!carriers[i]) continue;
        const ElementBox& b = boxes[i];
        if (!any) {
            g.x0 = b.min[0];
            g.y0 = b.min[1];
            x1 = b.max[0];
            y1 = b.max[1];
            any = true;
        }
        g.x0 = std::min(g.x0, b.min[0]);
        g.y0 = std::min(g.y0, b.min[1]);
        x1 = std::max(x1, b.max[0]);
        y1 = std::max(y1, b.max[1]);
        sides.push_back(std::max(b.max[0] - b.min[0], b.max[1] - b.min[1]));
    }
    if (!any) return g;
    // A cell about as large as a typical carrier: each is then entered in a few cells.
    std::nth_element(sides.begin(), sides.begin() + static_cast<std::ptrdiff_t>(sides.size() / 2), sides.end());
    double span = std::max(x1 - g.x0, y1 - g.y0);
    if (!std::isfinite(span)) return Grid{}; // one cell: coordinates too far apart to divide
    g.cell = std::max({sides[sides.size() / 2], span / static_cast<double>(kMaxCellsPerSide), 1e-3});
    g.nx = Grid::Clamp((x1 - g.x0) / g.cell, kMaxCellsPerSide) + 1;
    g.ny = Grid::Clamp((y1 - g.y0) / g.cell, kMaxCellsPerSide) + 1;
    return g;
}

} // namespace

SupportIndex::SupportIndex(std::span<const ElementBox> boxes, std::span<const uint8_t> carriers, double tolerance) {
    const size_t n = boxes.size();
    const Grid g = MakeGrid(boxes, carriers);
    // Carriers by cell, as one array with each cell's start (counted, then filled).
    std::vector<uint32_t> cellStart(g.nx * g.ny + 1, 0);
    auto forCells = [&g](const ElementBox& b, auto&& use) {
        for (size_t r = g.Row(b.min[1]), r1 = g.Row(b.max[1]); r <= r1; ++r)
            for (size_t c = g.Column(b.min[0]), c1 = g.Column(b.max[0]); c <= c1; ++c) use(r * g.nx + c);
    };
    for (size_t i = 0; i < n; ++i)
        if (carriers[i]) forCells(boxes[i], [&](size_t cell) { ++cellStart[cell + 1]; });
    for (size_t k = 1; k < cellStart.size(); ++k) cellStart[k] += cellStart[k - 1];
    std::vector<uint32_t> inCell(cellStart.back());
    std::vector<uint32_t> fill(cellStart.begin(), cellStart.end() - 1);
    for (size_t i = 0; i < n; ++i)
        if (carriers[i]) forCells(boxes[i], [&](size_t cell) { inCell[fill[cell]++] = static_cast<uint32_t>(i); });

    // An element met in several cells is looked at once per element above it.
    std::vector<uint32_t> seenFor(n, UINT32_MAX);
    first_.assign(n + 1, 0);
    std::vector<uint32_t> found;
    for (size_t u = 0; u < n; ++u) {
        const ElementBox& top = boxes[u];
        found.clear();
        forCells(top, [&](size_t cell) {
            for (uint32_t k = cellStart[cell]; k < cellStart[cell + 1]; ++k) {
                uint32_t s = inCell[k];
                if (s == u || seenFor[s] == u) continue;
                seenFor[s] = static_cast<uint32_t>(u);
                const ElementBox& b = boxes[s];
                if (!(std::fabs(b.max[2] - top.min[2]) <= tolerance) || !(b.min[2] < top.min[2])) continue;
                double ox = std::min(b.max[0], top.max[0]) - std::max(b.min[0], top.min[0]);
                double oy = std::min(b.max[1], top.max[1]) - std::max(b.min[1], top.min[1]);
                if (ox > tolerance && oy > tolerance) found.push_back(s);
            }
        });
        std::sort(found.begin(), found.end());
        below_.insert(below_.end(), found.begin(), found.end());
        first_[u + 1] = static_cast<uint32_t>(below_.size());
    }
}
