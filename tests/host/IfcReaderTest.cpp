// The IFC reader on a real file written by another program and on small files made for the
// cases a building model brings: units, placements, mapped and Boolean geometry, openings,
// styles, layers, storeys, encoded texts, and files that are not usable at all.
#include "HostTestFiles.h"

#include "host/ifc/IfcGuid.h"
#include "host/ifc/IfcReader.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string IfcFile(const std::string& name) { return SourceFile("tests/data/ifc/" + name); }

std::map<std::string, int> CountByClass(const IfcBuildingData& data) {
    std::map<std::string, int> counts;
    for (const auto& p : data.products) ++counts[p.ifcClass];
    return counts;
}

const IfcProductData* FindNamed(const IfcBuildingData& data, const std::string& name) {
    for (const auto& p : data.products)
        if (p.name == name) return &p;
    return nullptr;
}

struct Box {
    std::array<double, 3> min{1e300, 1e300, 1e300}, max{-1e300, -1e300, -1e300};
};
Box BoundsOf(const IfcProductData& p) {
    Box b;
    for (const auto& v : p.vertices)
        for (size_t k = 0; k < 3; ++k) {
            b.min[k] = std::min(b.min[k], v[k]);
            b.max[k] = std::max(b.max[k], v[k]);
        }
    return b;
}

void ExpectBox(const IfcProductData& p, std::array<double, 3> min, std::array<double, 3> max) {
    Box b = BoundsOf(p);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(b.min[k], min[k], 1e-6) << p.name << " axis " << k;
        EXPECT_NEAR(b.max[k], max[k], 1e-6) << p.name << " axis " << k;
    }
}

void ExpectWellFormedMesh(const IfcProductData& p) {
    ASSERT_FALSE(p.triangles.empty()) << p.name;
    for (const auto& t : p.triangles)
        for (int32_t i : t) ASSERT_TRUE(i >= 0 && static_cast<size_t>(i) < p.vertices.size()) << p.name;
}

} // namespace

TEST(IfcReaderOpenHouse, ReadsEveryProductWithABodyInFileOrder) {
    IfcBuildingData data = ReadIfcFile(IfcFile("IfcOpenHouse.ifc"));
    EXPECT_EQ(data.schema, "IFC2X3");
    // The windows and the roof are wholes without a shape of their own: their parts are read.
    std::map<std::string, int> expected = {{"IfcSite", 1},   {"IfcWallStandardCase", 4}, {"IfcFooting", 1},
                                           {"IfcSlab", 2},   {"IfcStairFlight", 1},      {"IfcDoor", 1},
                                           {"IfcMember", 20}, {"IfcPlate", 5}};
    EXPECT_EQ(CountByClass(data), expected);
    EXPECT_TRUE(data.skipped.empty());
    for (const auto& p : data.products) {
        ExpectWellFormedMesh(p);
        auto guid = DecodeIfcGlobalId(p.globalId);
        ASSERT_TRUE(guid);
        EXPECT_EQ(p.guid, *guid);
    }
    EXPECT_EQ(data.products.front().ifcClass, "IfcSite");
    EXPECT_EQ(data.products.front().globalId, "0FRAPtqID7kRy$DVcyG4N5");
    EXPECT_EQ(data.products[1].name, "South wall");
}

TEST(IfcReaderOpenHouse, PlacesTheHouseInMetresWithItsColours) {
    IfcBuildingData data = ReadIfcFile(IfcFile("IfcOpenHouse.ifc"));
    const IfcProductData* south = FindNamed(data, "South wall");
    ASSERT_TRUE(south);
    EXPECT_EQ(south->globalId, "1eD3QeZNj1tRskKKcN6FdP");
    EXPECT_EQ(south->guid.ToString(), "683436A8-8D7B-41DD-BDAE-51499718F9D9");
    ExpectBox(*south, {-5, -0.18, 0}, {5, 0.18, 3});
    ASSERT_TRUE(south->hasColour);
    EXPECT_NEAR(south->rgb[0], 0.75, 1e-9);
    EXPECT_NEAR(south->rgb[1], 0.73, 1e-9);
    EXPECT_NEAR(south->rgb[2], 0.68, 1e-9);
    EXPECT_EQ(south->transparency, 0.0);
    const IfcProductData* roof = FindNamed(data, "South roof");
    ASSERT_TRUE(roof);
    EXPECT_EQ(roof->predefinedType, "ROOF");
    ExpectBox(*roof, {-5.1, -0.4, 2.52}, {5.1, 2.5, 5.78});
}
