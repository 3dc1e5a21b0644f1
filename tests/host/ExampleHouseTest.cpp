// The bundled example house is what the demo and the end-to-end scripts run on: it must load,
// stay small, and give every displayable element pens and materials that exist.
#include "HostTestFiles.h"

#include "basekit/BKText.h"
#include "bytes/LittleEndian.h"
#include "host/project/HostProjectFile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct KindFields {
    std::vector<size_t> pens, materials;
};

// Where each displayable kind keeps the pens and materials its construction-type look replaces.
const std::map<int32_t, KindFields> kFields = {
    {1, {{104, 112}, {118, 120, 122}}},
    {2, {{104, 108, 204, 112}, {124}}},
    {3, {{104, 112, 114, 108, 294}, {120, 122, 124, 126, 128}}},
    {4, {{104}, {108}}},
    {5, {{104}, {108}}},
    {6, {{104}, {108}}},
    {7, {{104}, {108}}},
    {8, {{104, 114, 110}, {118, 120, 122}}},
    {9, {{104, 114, 110, 312, 208}, {118, 120, 122}}},
    {10, {{104, 116, 112, 192}, {118, 120, 122}}},
    {17, {{104}, {}}},
    {18, {{104, 106}, {}}},
    {19, {{104, 118}, {}}},
    {21, {{104, 118}, {}}},
    {22, {{104}, {}}},
    {23, {{104, 118}, {}}},
};

class ExampleHouse : public ::testing::Test {
protected:
    void SetUp() override {
        auto loaded = LoadHostProject(SourceFile("examples/house/house.qvp"));
        ASSERT_TRUE(loaded.model) << loaded.error;
        model = std::move(loaded.model);
    }
    Element& Get(const char* id) {
        Element* e = model->FindByIdText(id);
        if (!e) throw std::runtime_error(std::string("no ") + id);
        return *e;
    }
    std::unique_ptr<HostModel> model;
};

} // namespace

TEST_F(ExampleHouse, IsSmallAndHasTheWorkAPlannerSchedules) {
    EXPECT_LT(model->Elements().size(), 100u);
    std::set<int32_t> kinds;
    for (const auto& e : model->Elements()) kinds.insert(e->Kind());
    for (int32_t k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 17, 18, 19, 22, 26, 27}) EXPECT_TRUE(kinds.count(k)) << "kind " << k;

    auto layerOf = [&](const char* id) { return BKToUtf8(model->AttributeName(HostAttribute::Layer, Get(id).Layer())); };
    EXPECT_EQ(layerOf("ALL-01"), "Ideiglenes");
    EXPECT_EQ(layerOf("FAL-11"), "Bontandó");
    EXPECT_EQ(layerOf("TET-02"), "Bontandó");
    EXPECT_EQ(layerOf("FAL-15"), "Meglévő");
    EXPECT_EQ(layerOf("VON-03"), "Segédvonalak");
    EXPECT_TRUE(Get("TER-01").Locked());
    EXPECT_EQ(LE::Get<int16_t>(Get("FAL-06").Bytes(), HostElement::kFloor), 1);
}

TEST_F(ExampleHouse, HasOneHiddenAndOneLockedLayerAndEveryLayerInUse) {
    int hidden = 0, locked = 0;
    std::set<int16_t> used;
    for (const auto& e : model->Elements()) used.insert(e->Layer());
    for (int16_t i = 1; i <= model->AttributeCount(HostAttribute::Layer); ++i) {
        uint32_t flags = LE::Get<uint32_t>(*model->Attribute(HostAttribute::Layer, i), HostAttribute::kFlags);
        hidden += (flags & HostAttribute::kLayerHidden) != 0;
        locked += (flags & HostAttribute::kLayerLocked) != 0;
        EXPECT_TRUE(used.count(i)) << BKToUtf8(model->AttributeName(HostAttribute::Layer, i));
    }
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(locked, 1);
}

TEST_F(ExampleHouse, MaterialNamesAreHungarian) {
    int accented = 0;
    for (int16_t i = 1; i <= model->AttributeCount(HostAttribute::Material); ++i) {
        std::string name = model->AttributeName(HostAttribute::Material, i);
        EXPECT_EQ(name.find('?'), std::string::npos) << "not representable: " << BKToUtf8(name);
        for (unsigned char c : name) accented += c >= 0x80;
    }
    EXPECT_GT(accented, 5);
}

TEST_F(ExampleHouse, DisplayableElementsHaveRealPensAndMaterials) {
    int16_t materials = model->AttributeCount(HostAttribute::Material);
    for (const auto& e : model->Elements()) {
        std::string id = e->IdText();
        auto it = kFields.find(e->Kind());
        if (it == kFields.end()) continue;
        for (size_t off : it->second.pens) {
            int16_t pen = LE::Get<int16_t>(e->Bytes(), off);
            // The five last pens belong to the construction types.
            EXPECT_TRUE(pen >= 1 && pen <= 250) << id << " pen at " << off << " is " << pen;
        }
        for (size_t off : it->second.materials) {
            int16_t m = LE::Get<int16_t>(e->Bytes(), off);
            EXPECT_TRUE(m >= 1 && m <= materials) << id << " material at " << off << " is " << m;
        }
    }
}

TEST_F(ExampleHouse, EveryBodyHasAGeometryInsideTheSite) {
    for (const auto& e : model->Elements()) {
        std::string id = e->IdText();
        if (!HostElement::HasBody(e->Kind())) {
            EXPECT_EQ(e->geometry.shape, Geometry::Shape::None) << id;
            continue;
        }
        const Geometry& g = e->geometry;
        ASSERT_NE(g.shape, Geometry::Shape::None) << id;
        std::vector<std::array<double, 3>> points = g.shape == Geometry::Shape::Box
                                                        ? std::vector<std::array<double, 3>>{g.min, g.max}
                                                        : g.vertices;
        if (g.shape == Geometry::Shape::Box) {
            for (size_t k = 0; k < 3; ++k) EXPECT_LT(g.min[k], g.max[k]) << id << " is flat";
        } else {
            EXPECT_GE(g.triangles.size(), 4u) << id;
        }
        for (const auto& p : points) {
            EXPECT_TRUE(p[0] >= -6 && p[0] <= 21 && p[1] >= -6 && p[1] <= 14 && p[2] >= -0.6 && p[2] <= 9)
                << id << " reaches outside the site";
        }
    }
}

TEST_F(ExampleHouse, CameraPathsChainTheirOwnCameras) {
    auto paths = model->ElementsOfKind(HostElement::CameraPath);
    ASSERT_EQ(paths.size(), 2u);
    std::set<int32_t> seen;
    for (Element* path : paths) {
        EXPECT_EQ(LE::Get<int32_t>(path->Bytes(), HostElement::kPathInactive), 0);
        int count = 0;
        for (int32_t next = LE::Get<int32_t>(path->Bytes(), HostElement::kPathFirstCamera); next != 0;) {
            ASSERT_TRUE(seen.insert(next).second) << "camera " << next << " chained twice";
            Element* camera = model->FindByIndex(HostElement::Camera, next);
            ASSERT_TRUE(camera) << "no camera " << next;
            EXPECT_EQ(LE::Get<int32_t>(camera->Bytes(), HostElement::kCameraPathIndex), path->Index());
            EXPECT_GE(LE::Get<int16_t>(camera->Bytes(), HostElement::kCameraFrames), 0);
            next = LE::Get<int32_t>(camera->Bytes(), HostElement::kCameraNextIndex);
            ++count;
        }
        EXPECT_GE(count, 2) << "a path needs two cameras to be offered";
    }
    EXPECT_EQ(seen.size(), model->ElementsOfKind(HostElement::Camera).size());
    EXPECT_EQ(model->windows.view3D.width, 640);
    EXPECT_EQ(model->windows.view3D.height, 480);
}
