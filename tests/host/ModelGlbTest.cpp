// The model as a glTF binary: its chunks and views read back, the compressed positions decoded
// and set against the bodies they came from, translated copies drawn as instances.
#include "GlbReader.h"
#include "host/gltf/GeometryBody.h"
#include "host/gltf/ModelGlb.h"

#include <array>
#include <cmath>
#include <map>

namespace {

TriangleBody Box(Vec3 lo, Vec3 hi) {
    Geometry g;
    g.shape = Geometry::Shape::Box;
    g.min = lo;
    g.max = hi;
    return BodyOfGeometry(g);
}

TriangleBody Prism(Vec3 at) {
    TriangleBody b;
    b.points = {at, Add3(at, {2, 0, 0}), Add3(at, {0, 1, 0}), Add3(at, {0, 0, 3})};
    b.triangles = {{0, 1, 2}, {0, 1, 3}, {1, 2, 3}, {0, 2, 3}};
    return b;
}

// Every point each element's triangles reach in the file, in model metres: the node's transform
// (or an instance's) undone, the root's turn to y up left aside.
std::map<size_t, std::vector<Vec3>> PlacedPoints(const GlbParts& glb) {
    std::map<size_t, std::vector<Vec3>> out;
    const nlohmann::json& nodes = glb.doc["nodes"];
    for (size_t child : nodes[0]["children"]) {
        const nlohmann::json& node = nodes[child];
        const nlohmann::json& primitive = glb.doc["meshes"][node["mesh"].get<size_t>()]["primitives"][0];
        const auto positions = DecodeAccessor<uint16_t>(glb, primitive["attributes"]["POSITION"], 3);
        const auto indexes = DecodeAccessor<uint32_t>(glb, primitive["indices"], 1);
        for (uint32_t i : indexes) EXPECT_LT(size_t{i} * 3, positions.size());
        auto point = [&](size_t i, Vec3 origin, Vec3 scale) {
            return Vec3{origin[0] + scale[0] * positions[3 * i], origin[1] + scale[1] * positions[3 * i + 1],
                        origin[2] + scale[2] * positions[3 * i + 2]};
        };
        if (node.contains("extensions")) {
            const nlohmann::json& attributes = node["extensions"]["EXT_mesh_gpu_instancing"]["attributes"];
            const auto t = DecodeAccessor<float>(glb, attributes["TRANSLATION"], 3);
            const auto s = DecodeAccessor<float>(glb, attributes["SCALE"], 3);
            const auto e = DecodeAccessor<float>(glb, attributes["_ELEMENT"], 1);
            for (size_t k = 0; k < e.size(); ++k)
                for (uint32_t i : indexes)
                    out[static_cast<size_t>(e[k])].push_back(point(i, {t[3 * k], t[3 * k + 1], t[3 * k + 2]}, {s[3 * k], s[3 * k + 1], s[3 * k + 2]}));
        } else {
            const auto e = DecodeAccessor<float>(glb, primitive["attributes"]["_ELEMENT"], 1);
            const Vec3 origin{node["translation"][0], node["translation"][1], node["translation"][2]};
            const Vec3 scale{node["scale"][0], node["scale"][1], node["scale"][2]};
            for (uint32_t i : indexes) out[static_cast<size_t>(e[i])].push_back(point(i, origin, scale));
        }
    }
    return out;
}

TEST(ModelGlb, BodiesComeBackWithinAQuantizationStepAndCopiesAreInstances) {
    std::vector<TriangleBody> bodies = {Box({0, 0, 0}, {6, 0.3, 3}), Prism({10, 0, 0}), Box({0, 5, 0}, {4, 5.2, 3}),
                                        Prism({10, 4, 0}), Prism({13.5, 4, 2.25}), TriangleBody{}};
    const std::vector<uint8_t> file = WriteModelGlb(bodies);
    GlbParts glb;
    ASSERT_TRUE(ReadGlb(file, glb));
    for (const char* required : {"EXT_meshopt_compression", "KHR_mesh_quantization", "EXT_mesh_gpu_instancing"})
        EXPECT_NE(std::find(glb.doc["extensionsRequired"].begin(), glb.doc["extensionsRequired"].end(), required),
                  glb.doc["extensionsRequired"].end())
            << required;
    EXPECT_EQ(glb.doc["buffers"][0]["byteLength"].get<size_t>(), glb.bin.size());
    // The root turns z up to y up.
    EXPECT_NEAR(glb.doc["nodes"][0]["rotation"][0].get<double>(), -std::sqrt(0.5), 1e-12);

    // Two batched bodies (the boxes differ in size) and one shape for the three prisms.
    size_t instanced = 0, batched = 0;
    for (size_t child : glb.doc["nodes"][0]["children"])
        (glb.doc["nodes"][child].contains("extensions") ? instanced : batched)++;
    EXPECT_EQ(instanced, 1u);
    EXPECT_EQ(batched, 1u);
    EXPECT_EQ(glb.doc["meshes"].size(), 2u);

    const auto placed = PlacedPoints(glb);
    ASSERT_EQ(placed.size(), 5u); // the empty body draws nothing
    for (size_t b = 0; b < 5; ++b) {
        ASSERT_TRUE(placed.count(b)) << b;
        const TriangleBody& body = bodies[b];
        const std::vector<Vec3>& got = placed.at(b);
        ASSERT_EQ(got.size(), body.triangles.size() * 3) << b;
        // The batch spans 6 m (a 0.1 mm step), the prism 3 m; the index codec may turn a triangle's
        // corners round, keeping its winding.
        auto near = [](const Vec3& a, const Vec3& p) {
            return std::fabs(a[0] - p[0]) < 1e-4 && std::fabs(a[1] - p[1]) < 1e-4 && std::fabs(a[2] - p[2]) < 1e-4;
        };
        for (size_t t = 0; t < body.triangles.size(); ++t) {
            bool found = false;
            for (size_t turn = 0; turn < 3 && !found; ++turn) {
                found = true;
                for (size_t c = 0; c < 3; ++c) found = found && near(got[3 * t + (c + turn) % 3], body.points[body.triangles[t][c]]);
            }
            EXPECT_TRUE(found) << "body " << b << " triangle " << t;
        }
    }
}

TEST(ModelGlb, AnEmptyModelIsAValidFileWithoutBuffers) {
    GlbParts glb;
    ASSERT_TRUE(ReadGlb(WriteModelGlb({}), glb));
    EXPECT_FALSE(glb.doc.contains("buffers"));
    EXPECT_FALSE(glb.doc.contains("extensionsRequired"));
    EXPECT_EQ(glb.doc["scenes"][0]["nodes"][0], 0);
}

TEST(ModelGlb, BrokenTrianglesAndPointsAreLeftOut) {
    TriangleBody body = Prism({0, 0, 0});
    body.triangles.push_back({0, 1, 9}); // a point the body lacks
    body.points.push_back({NAN, 0, 0});
    body.triangles.push_back({0, 1, 4}); // a point that is not a number
    GlbParts glb;
    ASSERT_TRUE(ReadGlb(WriteModelGlb(std::vector<TriangleBody>{body}), glb));
    EXPECT_EQ(PlacedPoints(glb).at(0).size(), 12u);

    Geometry mesh;
    mesh.shape = Geometry::Shape::Mesh;
    mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.triangles = {{0, 1, 2}, {0, -1, 2}, {0, 1, 3}};
    EXPECT_EQ(BodyOfGeometry(mesh).triangles.size(), 1u);
}

} // namespace
