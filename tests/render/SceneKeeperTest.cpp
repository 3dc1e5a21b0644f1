// A scene kept between pictures draws what a scene built afresh draws, pixel for pixel and
// element for element, whatever changed in between: layers, materials and pens as the display
// pass changes them, shapes, undo, a new revision of the IFC file, elements added and removed.
#include "OpenedHostTest.h"
#include "bytes/LittleEndian.h"
#include "host/app/Host.h"
#include "host/render/Renderer.h"
#include "host/render/SceneKeeper.h"
#include "host/render/ViewDepth.h"
#include "hostapi/HostAttributeRecord.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

std::string SourceDir() {
    const char* dir = std::getenv("BV_SOURCE_DIR");
    return dir ? dir : ".";
}

void PutD(AttributeRecord& r, size_t off, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    LE::Put<uint64_t>(r, off, bits);
}

class SceneKeeperTest : public OpenedHostTest {
protected:

    // The kept scene against a fresh one: both windows' pixels, and who is seen where.
    void ExpectSameAsBuilt(const std::string& when, const std::function<bool(const Element&)>& shown = {}) {
        HostModel& m = host.Model();
        const Scene& kept = keeper.Update(m, shown);
        Scene built = BuildScene(m, shown);
        EXPECT_EQ(kept.min, built.min) << when;
        EXPECT_EQ(kept.max, built.max) << when;
        const ViewCamera camera = m.view.Camera();
        for (RenderStyle style : {RenderStyle::Window3D, RenderStyle::Photo}) {
            Rgb background = style == RenderStyle::Photo ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
            Image a = renderer.Render(kept, camera, 320, 180, style, background);
            Image b = renderer.Render(built, camera, 320, 180, style, background);
            EXPECT_TRUE(a.pixels == b.pixels) << when << ", style " << static_cast<int>(style);
        }
        ViewDepth a(kept, camera, 160, 90), b(built, camera, 160, 90);
        size_t differ = 0;
        for (int32_t y = 0; y < 90; ++y)
            for (int32_t x = 0; x < 160; ++x)
                differ += a.Owner(x, y) != b.Owner(x, y) || a.InverseDepth(x, y) != b.InverseDepth(x, y);
        EXPECT_EQ(differ, 0u) << when;
    }

    Element* FirstOfKind(int32_t kind) {
        for (const auto& e : host.Model().Elements())
            if (e->Kind() == kind && HasSceneBody(*e)) return e.get();
        return nullptr;
    }

    SceneKeeper keeper;
    Renderer renderer{2};
};

TEST_F(SceneKeeperTest, LayersMaterialsAndPensChangeWithoutBuildingTheBodiesAgain) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    HostModel& m = host.Model();
    ExpectSameAsBuilt("as opened");
    ASSERT_EQ(keeper.Builds(), 1u);

    // A wall's material changed as the display pass changes it, to glass, and its pen.
    Element* wall = FirstOfKind(HostElement::Wall);
    ASSERT_NE(wall, nullptr);
    AttributeRecord glass = MakeAttributeRecord(HostAttribute::Material, "keeper glass");
    PutD(glass, HostAttribute::kMatSurfaceRed, 0.1);
    PutD(glass, HostAttribute::kMatSurfaceGreen, 0.8);
    PutD(glass, HostAttribute::kMatSurfaceBlue, 0.3);
    LE::Put<int16_t>(glass, HostAttribute::kMatTransparency, 60);
    int16_t glassIndex = m.CreateAttribute(HostAttribute::Material, glass);
    std::vector<uint8_t> record = wall->record;
    for (size_t field : {118, 120, 122}) LE::Put<int16_t>(record, field, glassIndex);
    LE::Put<int16_t>(record, 104, 20);
    m.ChangeElement(*wall, record);
    ExpectSameAsBuilt("a wall of glass");

    // A material's own colour changed in its attribute record: every element wearing it.
    int16_t worn = LE::Get<int16_t>(FirstOfKind(HostElement::Slab)->Bytes(), 118);
    AttributeRecord* material = m.Attribute(HostAttribute::Material, worn);
    ASSERT_NE(material, nullptr);
    PutD(*material, HostAttribute::kMatSurfaceRed, 1.0);
    PutD(*material, HostAttribute::kMatSurfaceGreen, 0.0);
    ExpectSameAsBuilt("a material recoloured");

    // The wall's layer hidden, then shown again; and a filter that leaves out every other element.
    AttributeRecord* layer = m.Attribute(HostAttribute::Layer, wall->Layer());
    ASSERT_NE(layer, nullptr);
    const uint32_t flags = LE::Get<uint32_t>(*layer, HostAttribute::kFlags);
    LE::Put<uint32_t>(*layer, HostAttribute::kFlags, flags | HostAttribute::kLayerHidden);
    ExpectSameAsBuilt("a layer hidden");
    LE::Put<uint32_t>(*layer, HostAttribute::kFlags, flags);
    ExpectSameAsBuilt("the layer shown again");
    ExpectSameAsBuilt("every other element", [](const Element& e) { return e.Index() % 2 == 0; });
    EXPECT_EQ(keeper.Builds(), 1u);
}

TEST_F(SceneKeeperTest, ANewShapeItsUndoAndRedo) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    HostModel& m = host.Model();
    ExpectSameAsBuilt("as opened");
    // Undo copies the old mesh back into the same lists: only the shape's revision tells.
    Element* roof = FirstOfKind(HostElement::Roof);
    ASSERT_NE(roof, nullptr);
    ASSERT_EQ(roof->geometry.shape, Geometry::Shape::Mesh);
    Geometry raised = roof->geometry;
    for (auto& v : raised.vertices) v[2] += 3;
    const Image before = renderer.Render(BuildScene(m), m.view.Camera(), 320, 180, RenderStyle::Window3D, {1, 1, 1});
    ASSERT_TRUE(m.Undo().Open("raise"));
    m.SetGeometry(*roof, raised);
    ASSERT_TRUE(m.CloseUndoStep());
    ASSERT_NE(renderer.Render(BuildScene(m), m.view.Camera(), 320, 180, RenderStyle::Window3D, {1, 1, 1}).pixels, before.pixels);
    ExpectSameAsBuilt("the roof raised");
    std::string name;
    ASSERT_TRUE(m.ApplyUndo(name));
    ExpectSameAsBuilt("undone");
    ASSERT_TRUE(m.ApplyRedo(name));
    ExpectSameAsBuilt("redone");
    EXPECT_EQ(keeper.Builds(), 4u);
}

TEST_F(SceneKeeperTest, ElementsComingAndGoingAndBoxesWrittenInPlace) {
    Open(SourceDir() + "/examples/house/house.qvp");
    HostModel& m = host.Model();
    ExpectSameAsBuilt("as opened");

    // Geometry written straight into an element, as a program filling a model does.
    Element* wall = FirstOfKind(HostElement::Wall);
    ASSERT_NE(wall, nullptr);
    wall->geometry.shape = Geometry::Shape::Box;
    wall->geometry.min = {0, 0, 0};
    wall->geometry.max = {4, 0.3, 6};
    ExpectSameAsBuilt("a wall's box written in place");

    // One element removed, another added.
    ASSERT_EQ(m.RemoveElements({wall->Guid()}), 1u);
    ExpectSameAsBuilt("a wall removed");
    Element column;
    column.SetKind(HostElement::Column);
    column.geometry.shape = Geometry::Shape::Box;
    column.geometry.min = {2, 2, 0};
    column.geometry.max = {2.4, 2.4, 7};
    m.AddElement(std::move(column));
    ExpectSameAsBuilt("a column added");
}

TEST_F(SceneKeeperTest, ANewRevisionOfTheIfcFileAndItsUndo) {
    Open(SourceDir() + "/tests/data/ifc/IfcOpenHouse.ifc");
    ExpectSameAsBuilt("the first revision");
    std::string error;
    ASSERT_TRUE(host.UpdateFromIfc(SourceDir() + "/tests/data/ifc/IfcOpenHouse_rev2.ifc", error)) << error;
    ExpectSameAsBuilt("the second revision");
    std::string name;
    ASSERT_TRUE(host.Model().ApplyUndo(name));
    ExpectSameAsBuilt("the update undone");
}

// A scrub: one view drawn again and again with other elements shown, then from elsewhere and at
// another size, by a renderer that keeps what it worked out for the view; each picture is the
// one a renderer drawing it for the first time gives.
TEST_F(SceneKeeperTest, OneViewDrawnAgainWithOtherElementsShownAndFromElsewhere) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    HostModel& m = host.Model();
    ViewCamera near = m.view.Camera();
    near.eye = Scale3(Add3(near.eye, near.target), 0.5);
    const ViewCamera cameras[] = {m.view.Camera(), m.view.Camera(), near};
    const int32_t sizes[][2] = {{320, 180}, {200, 150}, {320, 180}};
    for (size_t view = 0; view < 3; ++view)
        for (int step = 0; step < 4; ++step) {
            size_t n = 0;
            auto shown = [&n, step](const Element&) { return n++ % 4 <= static_cast<size_t>(step); };
            const Scene& kept = keeper.Update(m, shown);
            const auto [w, h] = sizes[view];
            Image again = renderer.Render(kept, cameras[view], w, h, RenderStyle::Window3D, {1, 1, 1});
            Image first = Renderer(2).Render(kept, cameras[view], w, h, RenderStyle::Window3D, {1, 1, 1});
            EXPECT_TRUE(again.pixels == first.pixels) << "view " << view << ", step " << step;
        }
    EXPECT_EQ(keeper.Builds(), 1u);
}

// A scrub with growth: the cut pieces' triangles and edges follow the kept bodies' and change
// at every step, while a renderer keeps what it worked out for the bodies' own.
TEST_F(SceneKeeperTest, OneViewDrawnAgainWhileElementsGrowAndFade) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    HostModel& m = host.Model();
    const ViewCamera camera = m.view.Camera();
    for (int step = 0; step < 5; ++step) {
        size_t n = 0;
        for (const auto& e : m.Elements()) {
            LookOverride look;
            if (n % 3 == 0) {
                look.clipAxis = 1;
                look.drawn = 0.15 + 0.2 * step;
            } else if (n % 3 == 1) {
                look.coloured = true;
                look.red = static_cast<uint8_t>(40 * step);
                look.green = 200;
                look.transparency = static_cast<uint8_t>(85 - 10 * step);
            }
            e->look = look;
            ++n;
        }
        const Scene& kept = keeper.Update(m);
        Image again = renderer.Render(kept, camera, 320, 180, RenderStyle::Window3D, {1, 1, 1});
        Image first = Renderer(2).Render(kept, camera, 320, 180, RenderStyle::Window3D, {1, 1, 1});
        EXPECT_TRUE(again.pixels == first.pixels) << "step " << step;
    }
    EXPECT_EQ(keeper.Builds(), 1u);
}

// Every element growing at once, each along another axis: the cut pieces are added to the lists
// their bodies are read from, many times a frame, and must come out as a scene built afresh cuts them.
TEST_F(SceneKeeperTest, EveryElementGrowingAtOnce) {
    Open(SourceDir() + "/tests/data/ifc/duplex.ifc");
    HostModel& m = host.Model();
    for (double drawn : {0.3, 0.7, 0.5}) {
        uint8_t axis = 0;
        for (const auto& e : m.Elements()) {
            LookOverride look;
            look.clipAxis = static_cast<uint8_t>(1 + axis++ % 6);
            look.drawn = drawn;
            e->look = look;
        }
        ExpectSameAsBuilt("drawn " + std::to_string(drawn));
    }
    EXPECT_EQ(keeper.Builds(), 1u);
}

} // namespace
