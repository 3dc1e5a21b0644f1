// Elements whose GlobalIds an exporter re-issued are found again by their fingerprint and keep
// what the user gave them; where the fingerprint cannot tell elements apart, none is matched.
#include "IfcTestData.h"
#include "IfcTestFiles.h"

#include "host/ifc/building/IfcFingerprint.h"
#include "host/ifc/building/IfcRevisionUpdate.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using ifctest::Box;
using ifctest::GuidOf;

IfcModelOptions Options() { return ifctest::EveryKindNamed("Elem"); }

std::optional<IfcFingerprint> Print(std::string_view name, std::array<double, 3> lo, std::array<double, 3> hi) {
    IfcProductData p = Box(1, "IfcWall", std::string(name), lo, hi);
    Geometry g;
    g.shape = Geometry::Shape::Mesh;
    g.vertices = p.vertices;
    g.triangles = p.triangles;
    return FingerprintOf(1, {"IfcWall", "", "Ground", name, ""}, g);
}

// A user data block telling which product the element was made from.
UserDataBlock Mark(uint32_t n) {
    UserDataBlock b{103, 0x5757, std::vector<uint8_t>(88, 0)};
    LE::Put<uint32_t>(b.bytes, 0, n);
    return b;
}

uint32_t MarkOf(const Element& e) { return LE::Get<uint32_t>(std::span<const uint8_t>(e.userData.at("Bauvista").bytes), 0); }

API_Guid Reissued(size_t i) {
    API_Guid g;
    g.bytes[0] = 0xEE;
    g.bytes[12] = static_cast<uint8_t>(i >> 16);
    g.bytes[13] = static_cast<uint8_t>(i >> 8);
    g.bytes[14] = static_cast<uint8_t>(i);
    g.bytes[15] = 0x5A;
    return g;
}

} // namespace

TEST(IfcFingerprint, PairsOnlyWhereEachSideHasOneFit) {
    // Within the tolerance a box may move; beyond it, or with another name or shape, no fit.
    auto pairs = PairByFingerprint({Print("A", {0, 0, 0}, {1, 1, 3}), Print("B", {5, 0, 0}, {6, 1, 3}),
                                    Print("C", {9, 0, 0}, {10, 1, 3}), Print("D", {20, 0, 0}, {21, 1, 3}), std::nullopt},
                                   {Print("A", {0.004, 0, 0}, {1.004, 1, 3}), Print("B", {5.2, 0, 0}, {6.2, 1, 3}),
                                    Print("X", {9, 0, 0}, {10, 1, 3}), Print("D", {20, 0, 0}, {21, 1, 3.5})});
    EXPECT_EQ(pairs.pairs, (std::vector<std::pair<size_t, size_t>>{{0, 0}}));
    EXPECT_TRUE(pairs.ambiguousProducts.empty());
    EXPECT_TRUE(pairs.ambiguousElements.empty());

    // Two elements alike in one place: the product fits both, and neither is taken.
    auto twins = PairByFingerprint({Print("A", {0, 0, 0}, {1, 1, 3})}, {Print("A", {0, 0, 0}, {1, 1, 3}), Print("A", {0, 0, 0}, {1, 1, 3})});
    EXPECT_TRUE(twins.pairs.empty());
    EXPECT_EQ(twins.ambiguousProducts, std::vector<size_t>{0});
    EXPECT_EQ(twins.ambiguousElements, (std::vector<size_t>{0, 1}));
    // Two products fitting one element: neither takes it.
    auto rivals = PairByFingerprint({Print("A", {0, 0, 0}, {1, 1, 3}), Print("A", {0.005, 0, 0}, {1.005, 1, 3})},
                                    {Print("A", {0, 0, 0}, {1, 1, 3})});
    EXPECT_TRUE(rivals.pairs.empty());
    EXPECT_EQ(rivals.ambiguousProducts, (std::vector<size_t>{0, 1}));
    // Many alike in a row, each where it was: each finds its own.
    std::vector<std::optional<IfcFingerprint>> row, rowBefore;
    for (int i = 0; i < 50; ++i) {
        row.push_back(Print("Column", {i * 0.5, 0, 0}, {i * 0.5 + 0.3, 0.3, 3}));
        rowBefore.insert(rowBefore.begin(), Print("Column", {i * 0.5, 0, 0}, {i * 0.5 + 0.3, 0.3, 3}));
    }
    auto columns = PairByFingerprint(row, rowBefore);
    ASSERT_EQ(columns.pairs.size(), 50u);
    for (const auto& [p, e] : columns.pairs) EXPECT_EQ(e, 49 - p);
}

TEST(IfcRematch, ReissuedGlobalIdsKeepTheElementAndAmbiguousOnesAreLost) {
    IfcBuildingData first;
    first.schema = "IFC4";
    first.products = {Box(1, "IfcWall", "Fal", {0, 0, 0}, {5, 0.3, 3}), Box(2, "IfcWall", "Fal", {0, 5, 0}, {5, 5.3, 3}),
                      Box(3, "IfcColumn", "Pillar", {1, 1, 0}, {1.3, 1.3, 3}), Box(4, "IfcColumn", "Pillar", {1, 1, 0}, {1.3, 1.3, 3})};
    for (auto& p : first.products) p.storey = "Ground";
    auto built = BuildIfcModel(first, Options());
    HostModel& m = *built.model;
    for (int n = 1; n <= 4; ++n) {
        Element& e = *m.Find(GuidOf(n));
        m.SetUserData(e, "Bauvista", Mark(static_cast<uint32_t>(n)));
        m.SetLook(e, LookOverride{});
    }
    Element& wall2 = *m.Find(GuidOf(2));
    std::vector<uint8_t> record = wall2.record;
    LE::Put<int16_t>(record, 104, 9);
    m.ChangeElement(wall2, record);
    const int32_t wall2Index = wall2.Index();

    // Every GlobalId re-issued; wall 1 moved as well; the twin columns cannot be told apart.
    IfcBuildingData second = first;
    for (size_t i = 0; i < second.products.size(); ++i) {
        second.products[i].guid = GuidOf(static_cast<int>(100 + i));
        second.products[i].globalId = "1" + std::to_string(i);
    }
    for (auto& v : second.products[0].vertices) v[0] += 1;

    ASSERT_TRUE(m.Undo().Open("IFC update"));
    IfcRevisionCounts counts = UpdateFromIfcRevision(m, second, Options());
    m.CloseUndoStep();
    EXPECT_EQ(counts.kept, 1u);
    EXPECT_EQ(counts.rematched, 1u);
    EXPECT_EQ(counts.added, 3u);
    EXPECT_EQ(counts.removed, 3u);
    EXPECT_EQ(counts.ambiguous, 2u);

    // Wall 2 under its new GlobalId: its record, index, user data and look came along.
    EXPECT_EQ(m.Find(GuidOf(2)), nullptr);
    const Element* wall = m.Find(GuidOf(101));
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(LE::Get<int16_t>(wall->Bytes(), 104), 9);
    EXPECT_EQ(wall->Index(), wall2Index);
    EXPECT_EQ(MarkOf(*wall), 2u);
    EXPECT_TRUE(wall->look.has_value());
    EXPECT_EQ(wall->Guid(), GuidOf(101));
    std::string_view globalId;
    for (const auto& [key, value] : m.FactsOf(*wall))
        if (key == "globalid") globalId = value;
    EXPECT_EQ(globalId, "11"); // its facts are the revision's: the new GlobalId

    const ModelRevision& r = m.lastRevision;
    ASSERT_EQ(r.rematched.size(), 1u);
    EXPECT_EQ(r.rematched[0].was, GuidOf(2));
    EXPECT_EQ(r.rematched[0].now, GuidOf(101));
    EXPECT_EQ(r.rematched[0].how, "class+storey+name+box+shape");
    std::map<API_Guid, bool> lost;
    for (const auto& l : r.lost) lost[l.guid] = l.ambiguous;
    EXPECT_EQ(lost, (std::map<API_Guid, bool>{{GuidOf(1), false}, {GuidOf(3), true}, {GuidOf(4), true}}));
    EXPECT_EQ(r.added.size(), 3u);

    // Undo gives wall 2 back its old GlobalId; redo the new one.
    std::string step;
    ASSERT_TRUE(m.ApplyUndo(step));
    ASSERT_NE(m.Find(GuidOf(2)), nullptr);
    EXPECT_EQ(m.Find(GuidOf(101)), nullptr);
    EXPECT_EQ(MarkOf(*m.Find(GuidOf(2))), 2u);
    ASSERT_TRUE(m.ApplyRedo(step));
    EXPECT_EQ(m.Find(GuidOf(2)), nullptr);
    ASSERT_NE(m.Find(GuidOf(101)), nullptr);

    // The same revision again finds every element by its GlobalId.
    IfcRevisionCounts none = UpdateFromIfcRevision(m, second, Options());
    EXPECT_EQ(none.rematched, 0u);
    EXPECT_EQ(none.kept, 4u);
}

TEST(IfcRematch, ARealModelRevisedWithAThirdOfItsGlobalIdsReissuedKeepsItsLinks) {
    IfcBuildingData first = ReadIfcFile(ifctest::IfcFile("duplex.ifc"));
    auto built = BuildIfcModel(first, Options());
    HostModel& m = *built.model;
    std::map<API_Guid, uint32_t> productOf;
    for (size_t i = 0; i < first.products.size(); ++i) productOf[first.products[i].guid] = static_cast<uint32_t>(i);
    std::set<uint32_t> made; // the products that became elements
    for (const auto& e : m.Elements()) {
        made.insert(productOf.at(e->Guid()));
        m.SetUserData(*e, "Bauvista", Mark(productOf.at(e->Guid())));
    }
    ASSERT_GT(m.Elements().size(), 200u);

    // Every third GlobalId re-issued; some elements moved, reshaped or deleted; two new.
    IfcBuildingData second = first;
    std::map<uint32_t, API_Guid> expected; // product -> the identifier its element should have now
    std::vector<IfcProductData> products;
    size_t unchanged = 0;
    for (size_t i = 0; i < second.products.size(); ++i) {
        IfcProductData p = second.products[i];
        const bool reissue = i % 3 == 0;
        if (reissue) {
            p.guid = Reissued(i);
            p.globalId = "R" + std::to_string(i);
        }
        if (i % 17 == 4) continue; // deleted
        if (i % 17 == 1)
            for (auto& v : p.vertices) v[1] += 0.5; // moved
        if (i % 17 == 2 && !p.vertices.empty()) p.vertices[0][2] += 0.2; // reshaped
        const bool changed = i % 17 == 1 || i % 17 == 2;
        if (!changed) {
            unchanged += made.count(static_cast<uint32_t>(i));
            expected[static_cast<uint32_t>(i)] = p.guid;
        } else if (!reissue) {
            expected[static_cast<uint32_t>(i)] = p.guid; // the GlobalId keeps a moved or reshaped element
        }
        products.push_back(std::move(p));
    }
    products.push_back(Box(9001, "IfcWall", "New wall", {50, 50, 0}, {55, 50.3, 3}));
    products.push_back(Box(9002, "IfcSlab", "New slab", {50, 50, -0.3}, {55, 55, 0}));
    second.products = std::move(products);

    IfcRevisionCounts counts = UpdateFromIfcRevision(m, second, Options());
    EXPECT_GT(counts.rematched, 0u);

    // No link went to a wrong element: every element carrying a mark is its own product's.
    size_t keptUnchanged = 0;
    for (const auto& e : m.Elements()) {
        if (!e->userData.count("Bauvista")) continue;
        const uint32_t product = MarkOf(*e);
        auto it = expected.find(product);
        ASSERT_NE(it, expected.end()) << "product " << product << " has no element to keep its link";
        EXPECT_EQ(e->Guid(), it->second) << "product " << product;
        if (product % 17 != 1 && product % 17 != 2) ++keptUnchanged;
    }
    EXPECT_GE(keptUnchanged * 100, unchanged * 99) << keptUnchanged << " of " << unchanged;
    // Each link that went is named with its element.
    size_t gone = 0;
    for (uint32_t i : made)
        if (!expected.count(i)) ++gone;
    EXPECT_EQ(m.lastRevision.lost.size(), gone + (unchanged - keptUnchanged));
    for (const auto& l : m.lastRevision.lost) EXPECT_FALSE(l.idText.empty());
}
