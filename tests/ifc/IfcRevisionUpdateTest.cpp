// A later IFC revision brought into the open model: matched by GlobalId, new geometry and ID
// text, everything else kept, new products added, missing ones removed; and, with the add-on
// at work, links and the pens and materials it saved survive the update.
#include "DisplayFixture.h"
#include "IfcTestData.h"

#include "display/ConstructionTypeDisplay.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/project/HostProjectFile.h"

namespace {

using enum ConstructionType;

using ifctest::Box;
using ifctest::GuidOf;

IfcModelOptions Options() { return ifctest::EveryKindNamed("Elem"); }

IfcBuildingData FirstRevision() {
    IfcBuildingData d;
    d.schema = "IFC4";
    d.products = {Box(1, "IfcWall", "Fal", {0, 0, 0}, {5, 0.3, 3}), Box(2, "IfcWall", "Fal", {0, 5, 0}, {5, 5.3, 3}),
                  Box(3, "IfcWall", "Fal", {0, 0, 0}, {0.3, 5, 3}), Box(4, "IfcSlab", "Floor", {0, 0, -0.2}, {5, 5.3, 0})};
    for (auto& p : d.products) p.storey = "Ground";
    return d;
}

// Wall 1 moved and on another layer now, wall 3 gone, a new wall first in the file, the slab renamed.
IfcBuildingData SecondRevision() {
    IfcBuildingData d = FirstRevision();
    d.products.erase(d.products.begin() + 2);
    for (auto& v : d.products[0].vertices) v[0] += 1;
    d.products[0].layer = "Walls";
    d.products[2].name = "Floor slab";
    d.products.insert(d.products.begin(), Box(6, "IfcWall", "Fal", {5, 0, 0}, {5.3, 5, 3}));
    d.products.front().storey = "Ground";
    d.skipped = {{"0x", "IfcAnnotation", "no body geometry"}};
    return d;
}

TEST(IfcRevisionUpdate, MatchesByGlobalIdKeepsWhatIsNotTheFiles) {
    auto built = BuildIfcModel(FirstRevision(), Options());
    HostModel& m = *built.model;
    Element camera;
    camera.SetKind(HostElement::Camera);
    camera.SetIdText("KAM-01");
    m.AddElement(std::move(camera));
    Element& wall1 = *m.Find(GuidOf(1));
    std::vector<uint8_t> record = wall1.record;
    LE::Put<int16_t>(record, 104, 9);
    record[HostElement::kLocked] = 1;
    m.ChangeElement(wall1, record);
    m.SetUserData(wall1, "Bauvista", UserDataBlock{103, 0x5757, std::vector<uint8_t>(88, 7)});
    m.SetUserData(wall1, "Other", UserDataBlock{1, 2, {3}});
    const auto userData = wall1.userData;
    m.Selection() = {GuidOf(1), GuidOf(3)};
    const int16_t layers = m.AttributeCount(HostAttribute::Layer);
    IfcBuildingData second = SecondRevision();

    IfcRevisionCounts counts = UpdateFromIfcRevision(m, second, Options());
    EXPECT_EQ(counts.kept, 3u);
    EXPECT_EQ(counts.added, 1u);
    EXPECT_EQ(counts.removed, 1u);
    ASSERT_EQ(counts.skipped.size(), 1u);

    Element* kept = m.Find(GuidOf(1));
    ASSERT_EQ(kept, &wall1);
    EXPECT_EQ(kept->geometry.vertices, second.products[1].vertices);
    EXPECT_EQ(kept->Index(), 1);
    EXPECT_EQ(LE::Get<int16_t>(kept->Bytes(), 104), 9);
    EXPECT_TRUE(kept->Locked());
    EXPECT_EQ(BKToUtf8(m.AttributeName(HostAttribute::Layer, kept->Layer())), "Ground"); // not the revision's layer
    EXPECT_EQ(kept->userData, userData);
    EXPECT_EQ(m.Find(GuidOf(3)), nullptr);
    EXPECT_EQ(m.Selection(), std::vector<API_Guid>{GuidOf(1)});
    EXPECT_NE(m.FindByIdText("KAM-01"), nullptr);
    // The kept walls keep their numbers; the new wall takes the name the removed one left free.
    EXPECT_EQ(m.Find(GuidOf(1))->IdText(), "Fal");
    EXPECT_EQ(m.Find(GuidOf(2))->IdText(), "Fal (2)");
    EXPECT_EQ(m.Find(GuidOf(6))->IdText(), "Fal (3)");
    EXPECT_EQ(m.Find(GuidOf(4))->IdText(), "Floor slab");
    Element* added = m.Find(GuidOf(6));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Index(), 3); // after the highest wall left
    EXPECT_EQ(m.OfKind(HostElement::Wall).size(), 3u);
    // No layer was made for the kept wall's new one.
    EXPECT_EQ(m.AttributeCount(HostAttribute::Layer), layers);
    EXPECT_EQ(BKToUtf8(m.AttributeName(HostAttribute::Layer, added->Layer())), "Ground");

    // Another building is no revision: nothing changes.
    IfcBuildingData other;
    other.products = {Box(99, "IfcWall", "Other", {0, 0, 0}, {1, 1, 1})};
    EXPECT_TRUE(UpdateFromIfcRevision(m, other, Options()).unrelated);
    EXPECT_EQ(m.Find(GuidOf(99)), nullptr);
    EXPECT_EQ(m.OfKind(HostElement::Wall).size(), 3u);

    // The same revision again changes nothing more.
    std::string before = SerializeHostProject(m);
    counts = UpdateFromIfcRevision(m, second, Options());
    EXPECT_EQ(counts.kept, 4u);
    EXPECT_EQ(counts.added + counts.removed, 0u);
    EXPECT_TRUE(SerializeHostProject(m) == before);
}

// The add-on paints a wall under work and hides one not yet built; the revision moves the
// painted wall, removes another, adds one. Afterwards the links are there, and when the work
// is done the moved wall wears its own pens and materials again.
class IfcRevisionWithAddon : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        auto built = BuildIfcModel(FirstRevision(), Options());
        EnsureDefaultPens(*built.model);
        host->ReplaceModel(std::move(built.model));
    }
    Element& ById(int n) { return *host->Model().Find(GuidOf(n)); }
};

TEST_F(IfcRevisionWithAddon, LinksAndSavedLooksSurvive) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Falazás");
    AddTask(2, Construction, DateTime(2009, 3, 10), DateTime(2009, 3, 12), "Födém");
    Link(ById(1), {1});
    Link(ById(3), {1});
    Link(ById(4), {2});
    const std::vector<uint8_t> ownRecord = ById(1).record;
    const int16_t ownLayer = ById(4).Layer();

    ShowAt(DateTime(2009, 3, 3));
    ASSERT_EQ(Pen(ById(1)), hider.TypePen(Construction));
    ASSERT_TRUE(TypeDisplay::IsOverridden(LinkOf(ById(1))));
    ASSERT_NE(ById(4).Layer(), ownLayer); // not built yet: on the add-on's hidden layer
    const auto paintedLink = ById(1).userData;
    const std::vector<uint8_t> paintedRecord = ById(1).record;
    const auto hiddenLink = ById(4).userData;

    auto counts = UpdateFromIfcRevision(host->Model(), SecondRevision(), Options());
    host->Model().Undo().Clear();
    EXPECT_EQ(counts.kept, 3u);
    EXPECT_EQ(counts.added, 1u);
    EXPECT_EQ(counts.removed, 1u);
    EXPECT_EQ(ById(1).userData, paintedLink);
    EXPECT_EQ(ById(4).userData, hiddenLink);
    EXPECT_EQ(LinkOf(ById(1)).Slot(0), 1);
    EXPECT_EQ(LE::Get<int16_t>(ById(1).Bytes(), 104), LE::Get<int16_t>(paintedRecord, 104));
    EXPECT_EQ(ById(1).geometry.vertices[0][0], 1.0);

    // Everything built: own pens, materials and flags back, the slab on its layer.
    ShowAt(DateTime(2009, 3, 20));
    std::vector<uint8_t> restored = ById(1).record;
    std::vector<uint8_t> own = ownRecord;
    for (auto* r : {&restored, &own}) LE::Put<uint32_t>(*r, HostElement::kModiStamp, 0);
    EXPECT_EQ(restored, own);
    EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(ById(1))));
    EXPECT_EQ(ById(4).Layer(), ownLayer);
    EXPECT_TRUE(ById(6).userData.empty());
}

} // namespace
