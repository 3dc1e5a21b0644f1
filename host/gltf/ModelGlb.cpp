#include "host/gltf/ModelGlb.h"

#include "host/gltf/GlbBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using nlohmann::json;

// A batch holds at most this many points, so its shared mesh stays a size a viewer uploads whole.
constexpr size_t kBatchPoints = size_t{1} << 20;
constexpr double kSteps = 65535.0;

// Points to 16-bit steps over their box: q = (p - origin) / step, one step for all axes.
struct Quantizer {
    Vec3 origin{};
    double step = 1.0;

    explicit Quantizer(std::span<const Vec3> points) {
        Vec3 lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                std::numeric_limits<double>::max()};
        Vec3 hi{-lo[0], -lo[1], -lo[2]};
        for (const Vec3& p : points)
            for (size_t a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], p[a]);
                hi[a] = std::max(hi[a], p[a]);
            }
        origin = lo;
        const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
        step = extent > 0 ? extent / kSteps : 1.0;
    }
    uint16_t At(const Vec3& p, size_t axis) const {
        return static_cast<uint16_t>(std::clamp(std::lround((p[axis] - origin[axis]) / step), 0L, 65535L));
    }
};

bool Finite(const Vec3& p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

// One mesh's primitive from points (each with its body's index) and triangles over them.
struct PrimitiveData {
    std::vector<Vec3> points;
    std::vector<float> elements;
    std::vector<uint32_t> indexes;
};

// The mesh of a primitive quantized by `q`, which its node undoes; returns its index.
size_t AddMesh(GlbBuilder& glb, const PrimitiveData& data, const Quantizer& q, bool perVertexElement) {
    std::vector<uint16_t> packed(data.points.size() * 4, 0); // 8-byte stride: views align to 4
    std::array<uint16_t, 3> lo{65535, 65535, 65535}, hi{0, 0, 0};
    for (size_t i = 0; i < data.points.size(); ++i)
        for (size_t a = 0; a < 3; ++a) {
            const uint16_t v = q.At(data.points[i], a);
            packed[4 * i + a] = v;
            lo[a] = std::min(lo[a], v);
            hi[a] = std::max(hi[a], v);
        }
    const size_t n = data.points.size();
    const size_t positionView = glb.AddView({reinterpret_cast<const uint8_t*>(packed.data()), packed.size() * 2}, n, 8,
                                            GlbBuilder::ViewKind::Attributes);
    json attributes = {{"POSITION", glb.AddAccessor(positionView, kGltfUnsignedShort, "VEC3", n,
                                                    json{lo[0], lo[1], lo[2]}, json{hi[0], hi[1], hi[2]})}};
    if (perVertexElement) {
        const size_t view = glb.AddView({reinterpret_cast<const uint8_t*>(data.elements.data()), n * 4}, n, 4,
                                        GlbBuilder::ViewKind::Attributes);
        attributes["_ELEMENT"] = glb.AddAccessor(view, kGltfFloat, "SCALAR", n);
    }
    const size_t indexView = glb.AddTriangleView(data.indexes);
    const size_t indexes = glb.AddAccessor(indexView, kGltfUnsignedInt, "SCALAR", data.indexes.size());
    json& meshes = glb.Document()["meshes"];
    meshes.push_back({{"primitives", json::array({{{"attributes", attributes}, {"indices", indexes}, {"mode", 4}}})}});
    return meshes.size() - 1;
}

// The body's triangles appended, its points placed less `offset`; false when it has none usable.
bool Append(PrimitiveData& data, const TriangleBody& body, const Vec3& offset, float element) {
    const size_t base = data.points.size();
    size_t kept = 0;
    for (const auto& t : body.triangles) {
        if (t[0] >= body.points.size() || t[1] >= body.points.size() || t[2] >= body.points.size()) continue;
        if (!Finite(body.points[t[0]]) || !Finite(body.points[t[1]]) || !Finite(body.points[t[2]])) continue;
        for (uint32_t i : t) data.indexes.push_back(static_cast<uint32_t>(base + i));
        ++kept;
    }
    if (kept == 0) return false;
    for (const Vec3& p : body.points) {
        data.points.push_back(Finite(p) ? Sub3(p, offset) : Vec3{});
        data.elements.push_back(element);
    }
    return true;
}

json QuantizedNode(size_t mesh, const Quantizer& q) {
    return {{"mesh", mesh}, {"translation", {q.origin[0], q.origin[1], q.origin[2]}}, {"scale", {q.step, q.step, q.step}}};
}

} // namespace

std::vector<uint8_t> WriteModelGlb(std::span<const TriangleBody> bodies) {
    GlbBuilder glb;
    json& doc = glb.Document();
    // -90 degrees about x: the model's z up becomes y up.
    const double half = std::sqrt(0.5);
    doc["nodes"] = json::array({{{"name", "model"}, {"rotation", {-half, 0.0, 0.0, half}}}});
    doc["scenes"] = json::array({{{"nodes", {0}}}});
    doc["scene"] = 0;
    json children = json::array();
    auto addNode = [&doc, &children](json node) {
        doc["nodes"].push_back(std::move(node));
        children.push_back(doc["nodes"].size() - 1);
    };

    PrimitiveData batch;
    auto flush = [&] {
        if (batch.indexes.empty()) return;
        const Quantizer q(batch.points);
        const size_t mesh = AddMesh(glb, batch, q, true);
        addNode(QuantizedNode(mesh, q));
        batch = {};
    };
    for (const ShapeGroup& group : GroupShapes(bodies)) {
        const TriangleBody& shape = bodies[group.shape];
        if (group.bodies.size() == 1) {
            if (batch.points.size() + shape.points.size() > kBatchPoints) flush();
            Append(batch, shape, Vec3{}, static_cast<float>(group.shape));
            continue;
        }
        // Stored once about its first point; each copy is an instance moved to its own.
        PrimitiveData one;
        if (!Append(one, shape, group.offsets.front(), 0.0f)) continue;
        const Quantizer q(one.points);
        const size_t mesh = AddMesh(glb, one, q, false);
        const size_t n = group.bodies.size();
        std::vector<float> translations, scales, elements;
        for (size_t i = 0; i < n; ++i) {
            for (size_t a = 0; a < 3; ++a) {
                translations.push_back(static_cast<float>(group.offsets[i][a] + q.origin[a]));
                scales.push_back(static_cast<float>(q.step));
            }
            elements.push_back(static_cast<float>(group.bodies[i]));
        }
        auto floats = [&glb, n](const std::vector<float>& v, size_t width, const char* type) {
            const size_t view = glb.AddView({reinterpret_cast<const uint8_t*>(v.data()), v.size() * 4}, n, 4 * width,
                                            GlbBuilder::ViewKind::Attributes);
            return glb.AddAccessor(view, kGltfFloat, type, n);
        };
        json instancing = {{"attributes",
                            {{"TRANSLATION", floats(translations, 3, "VEC3")},
                             {"SCALE", floats(scales, 3, "VEC3")},
                             {"_ELEMENT", floats(elements, 1, "SCALAR")}}}};
        addNode({{"mesh", mesh}, {"extensions", {{"EXT_mesh_gpu_instancing", std::move(instancing)}}}});
    }
    flush();
    if (!children.empty()) doc["nodes"][0]["children"] = std::move(children);
    return glb.Finish();
}
