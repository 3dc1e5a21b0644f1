#include "host/ifc/building/IfcFingerprint.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull, kFnvPrime = 1099511628211ull;
// The shape is compared to the tenth of a millimetre, relative to its box: exporters round.
constexpr double kShapeStep = 1e-4;

void Mix(uint64_t& h, uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        h ^= (value >> (8 * i)) & 0xFF;
        h *= kFnvPrime;
    }
}

// Where the shape's points stand within its box, so that a shape moved as a whole still hashes
// alike; the box itself says where it stands.
uint64_t ShapeHash(const Geometry& g, const std::array<double, 3>& min) {
    uint64_t h = kFnvOffset;
    Mix(h, static_cast<uint64_t>(g.shape));
    Mix(h, g.vertices.size());
    Mix(h, g.triangles.size());
    for (const auto& v : g.vertices)
        for (size_t axis = 0; axis < 3; ++axis) Mix(h, static_cast<uint64_t>(std::llround((v[axis] - min[axis]) / kShapeStep)));
    for (const auto& t : g.triangles)
        for (int32_t i : t) Mix(h, static_cast<uint32_t>(i));
    if (g.shape == Geometry::Shape::Box)
        for (size_t axis = 0; axis < 3; ++axis) Mix(h, static_cast<uint64_t>(std::llround((g.max[axis] - g.min[axis]) / kShapeStep)));
    return h;
}

bool BoxOf(const Geometry& g, std::array<double, 3>& min, std::array<double, 3>& max) {
    if (g.shape == Geometry::Shape::Box) {
        min = g.min;
        max = g.max;
        return true;
    }
    if (g.vertices.empty()) return false;
    min = max = g.vertices.front();
    for (const auto& v : g.vertices)
        for (size_t axis = 0; axis < 3; ++axis) {
            min[axis] = std::min(min[axis], v[axis]);
            max[axis] = std::max(max[axis], v[axis]);
        }
    for (size_t axis = 0; axis < 3; ++axis)
        if (!std::isfinite(min[axis]) || !std::isfinite(max[axis])) return false;
    return true;
}

void AddText(std::string& key, std::string_view text) {
    key += text;
    key += '\x1f'; // a unit separator: no fact text holds it, so texts cannot run into each other
}

bool Near(const IfcFingerprint& a, const IfcFingerprint& b, double tolerance) {
    for (size_t axis = 0; axis < 3; ++axis)
        if (std::abs(a.min[axis] - b.min[axis]) > tolerance || std::abs(a.max[axis] - b.max[axis]) > tolerance) return false;
    return true;
}

} // namespace

std::optional<IfcFingerprint> FingerprintOf(int32_t kind, const IfcFingerprintTexts& texts, const Geometry& geometry) {
    IfcFingerprint f;
    if (!BoxOf(geometry, f.min, f.max)) return std::nullopt;
    f.key = std::to_string(kind);
    f.key += '\x1f';
    AddText(f.key, texts.ifcClass);
    AddText(f.key, texts.type);
    AddText(f.key, texts.storey);
    // A tag is often the authoring tool's own element number, which the same re-export changes.
    AddText(f.key, texts.name.empty() ? texts.tag : texts.name);
    f.named = !texts.name.empty() || !texts.tag.empty();
    uint64_t h = ShapeHash(geometry, f.min);
    for (int i = 0; i < 8; ++i) f.key += static_cast<char>((h >> (8 * i)) & 0xFF);
    return f;
}

std::string FingerprintParts(const IfcFingerprintTexts& texts) {
    std::string parts = "class";
    if (!texts.type.empty()) parts += "+type";
    if (!texts.storey.empty()) parts += "+storey";
    if (!texts.name.empty()) parts += "+name";
    else if (!texts.tag.empty()) parts += "+tag";
    return parts + "+box+shape";
}

IfcFingerprintTexts FingerprintTextsOf(const std::vector<std::pair<std::string_view, std::string_view>>& facts) {
    IfcFingerprintTexts t;
    for (const auto& [key, value] : facts) {
        if (key == "class") t.ifcClass = value;
        else if (key == "type") t.type = value;
        else if (key == "storey") t.storey = value;
        else if (key == "name") t.name = value;
        else if (key == "tag") t.tag = value;
    }
    return t;
}

IfcFingerprintPairs PairByFingerprint(const std::vector<std::optional<IfcFingerprint>>& products,
                                      const std::vector<std::optional<IfcFingerprint>>& elements, double tolerance) {
    // Elements by key, each group sorted along x so a product looks only at those near it.
    std::unordered_map<std::string_view, std::vector<size_t>> groups;
    for (size_t e = 0; e < elements.size(); ++e)
        if (elements[e]) groups[elements[e]->key].push_back(e);
    auto minX = [&](size_t e) { return elements[e]->min[0]; };
    for (auto& [key, members] : groups)
        std::sort(members.begin(), members.end(), [&](size_t a, size_t b) { return minX(a) < minX(b); });

    constexpr size_t kNone = SIZE_MAX, kMany = SIZE_MAX - 1;
    std::vector<size_t> fitOfProduct(products.size(), kNone), fitsOfElement(elements.size(), 0);
    for (size_t p = 0; p < products.size(); ++p) {
        if (!products[p]) continue;
        auto group = groups.find(products[p]->key);
        if (group == groups.end()) continue;
        const std::vector<size_t>& members = group->second;
        const double x = products[p]->min[0];
        auto first = std::lower_bound(members.begin(), members.end(), x - tolerance,
                                      [&](size_t e, double value) { return minX(e) < value; });
        for (auto it = first; it != members.end() && minX(*it) <= x + tolerance; ++it) {
            if (!Near(*products[p], *elements[*it], tolerance)) continue;
            ++fitsOfElement[*it];
            fitOfProduct[p] = fitOfProduct[p] == kNone ? *it : kMany;
        }
    }
    IfcFingerprintPairs out;
    for (size_t p = 0; p < products.size(); ++p) {
        const size_t e = fitOfProduct[p];
        if (e == kNone) continue;
        if (e != kMany && fitsOfElement[e] == 1) out.pairs.emplace_back(p, e);
        else out.ambiguousProducts.push_back(p);
    }
    std::vector<bool> paired(elements.size(), false);
    for (const auto& [p, e] : out.pairs) paired[e] = true;
    for (size_t e = 0; e < elements.size(); ++e)
        if (fitsOfElement[e] > 0 && !paired[e]) out.ambiguousElements.push_back(e);
    return out;
}
