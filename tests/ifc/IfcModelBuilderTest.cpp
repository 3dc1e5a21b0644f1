// The host model made from the IFC reader's output: kinds, ID texts, layers, materials, the
// per-kind fields the construction-type display paints, and the saved project.
#include "IfcTestData.h"

#include "basekit/BKText.h"
#include "display/ConstructionTypeDisplay.h"
#include "host/ifc/building/IdTextNamer.h"
#include "host/ifc/building/IfcElementKinds.h"
#include "host/ifc/building/IfcHostText.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/project/HostProjectFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

namespace {

using ifctest::Box;
using ifctest::GuidOf;

IfcModelOptions Options() {
    IfcModelOptions o;
    o.kindName = [](int32_t kind) { return kind == HostElement::Wall ? BKFromUtf8("Fal") : "Kind " + std::to_string(kind); };
    return o;
}

std::map<int32_t, int> KindCounts(const HostModel& model) {
    std::map<int32_t, int> counts;
    for (const auto& e : model.Elements()) ++counts[e->Kind()];
    return counts;
}

std::vector<std::string> IdTexts(const HostModel& model) {
    std::vector<std::string> ids;
    for (const auto& e : model.Elements()) ids.push_back(BKToUtf8(e->IdText()));
    return ids;
}

TEST(IfcElementKinds, ByClassAndPredefinedType) {
    const std::vector<std::tuple<const char*, const char*, int32_t>> cases = {
        {"IfcWall", "", 1},          {"IfcWallStandardCase", "", 1}, {"IFCWALLELEMENTEDCASE", "", 1},
        {"IfcColumn", "", 2},        {"IfcColumnStandardCase", "", 2}, {"IfcBeam", "", 3},
        {"IfcMember", "", 3},        {"IfcWindow", "", 4},          {"IfcDoor", "", 5},
        {"IfcFurnishingElement", "", 6}, {"IfcBuildingElementProxy", "", 6}, {"IfcStair", "", 6},
        {"IfcStairFlight", "", 6},   {"IfcRampFlight", "", 6},      {"IfcRailing", "", 6},
        {"IfcFlowTerminal", "", 6},  {"IfcFooting", "", 6},         {"IfcSlab", "", 8},
        {"IfcSlab", "FLOOR", 8},     {"IfcSlab", "ROOF", 9},        {"ifcslabstandardcase", "roof", 9},
        {"IfcRoof", "", 9},          {"IfcCovering", "", 10},       {"IfcPlate", "", 10},
        {"IfcSite", "", 10},         {"IfcSpace", "", 17},          {"IfcCurtainWall", "", 37},
        {"IfcOpeningElement", "", 0}, {"IfcVirtualElement", "", 0},
        // Names that only begin like an entity are other products.
        {"IfcDoorway", "", 6},       {"IfcBeamish", "", 6},
    };
    for (const auto& [cls, type, kind] : cases) EXPECT_EQ(ElementKindOfIfcClass(cls, type), kind) << cls << " " << type;
}

TEST(IfcModelBuilder, OneElementPerUsableProductInFileOrder) {
    IfcBuildingData data;
    data.schema = "IFC2X3";
    data.products = {Box(1, "IfcWallStandardCase", "Fal", {0, 0, 0}, {5, 0.3, 3}),
                     Box(2, "IfcWall", "Fal", {0, 0, 0}, {0.3, 5, 3}),
                     Box(3, "IfcSlab", "Floor", {0, 0, -0.2}, {5, 5, 0}),
                     Box(4, "IfcSlab", "Roof", {0, 0, 3}, {5, 5, 3.2}),
                     Box(5, "IfcWindow", "W1", {1, 0, 1}, {2, 0.3, 2}),
                     Box(6, "IfcSpace", "Room", {0, 0, 0}, {5, 5, 3}),
                     Box(7, "IfcOpeningElement", "Hole", {1, 0, 1}, {2, 0.3, 2}),
                     Box(8, "IfcFurnishingElement", "Table", {2, 2, 0}, {3, 3, 1}),
                     Box(1, "IfcColumn", "Same GlobalId", {4, 4, 0}, {4.3, 4.3, 3}),
                     Box(9, "IfcBeam", "Broken", {0, 0, 0}, {1, 1, 1})};
    data.products[3].predefinedType = "ROOF";
    data.products.back().triangles = {{0, 1, 8}, {-1, 2, 3}};
    data.products.push_back(Box(10, "IfcCurtainWall", "CW", {6, 0, 0}, {9, 0.2, 3}));
    data.products.back().vertices[7] = {std::nan(""), 0, 0}; // the three triangles at that corner go
    data.skipped = {{"2abc", "IfcAnnotation", "no body geometry"}};

    IfcBuiltModel built = BuildIfcModel(data, Options());
    HostModel& model = *built.model;
    EXPECT_EQ(KindCounts(model), (std::map<int32_t, int>{{1, 2}, {4, 1}, {6, 1}, {8, 1}, {9, 1}, {17, 1}, {37, 1}}));
    ASSERT_EQ(built.skipped.size(), 4u);
    EXPECT_EQ(built.skipped[0].reason, "no body geometry");
    EXPECT_EQ(built.skipped[1].ifcClass, "IfcOpeningElement");
    EXPECT_EQ(built.skipped[2].ifcClass, "IfcColumn"); // the second product with GlobalId 1
    EXPECT_EQ(built.skipped[3].ifcClass, "IfcBeam");

    const Element* wall = model.Find(GuidOf(1));
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->Kind(), HostElement::Wall);
    EXPECT_EQ(wall->Index(), 1);
    EXPECT_EQ(wall->geometry.shape, Geometry::Shape::Mesh);
    EXPECT_EQ(wall->geometry.vertices, data.products[0].vertices);
    EXPECT_EQ(wall->geometry.triangles, data.products[0].triangles);
    const Element* cw = model.Find(GuidOf(10));
    ASSERT_NE(cw, nullptr);
    EXPECT_EQ(cw->geometry.triangles.size(), 9u);
    for (const auto& v : cw->geometry.vertices) EXPECT_TRUE(std::isfinite(v[0]));
    for (const auto& t : cw->geometry.triangles)
        for (int32_t i : t) EXPECT_LT(static_cast<size_t>(i), cw->geometry.vertices.size());
}

TEST(IfcHostText, CentralEuropeanKeptOthersNearestOrQuestionMark) {
    EXPECT_EQ(HostTextFromIfc("Fal ő ű Ł č", 63), BKFromUtf8("Fal ő ű Ł č"));
    EXPECT_EQ(HostTextFromIfc("Føtex Æble ñ", 63), "Fotex AEble n");
    EXPECT_EQ(HostTextFromIfc("漢字 wall", 63), "?? wall");
    EXPECT_EQ(HostTextFromIfc("  two\nlines\t ", 63), "two lines");
    EXPECT_EQ(HostTextFromIfc("bad \xff byte", 63), "bad ? byte");
    EXPECT_EQ(HostTextFromIfc("abcdef", 4), "abcd");
    EXPECT_EQ(HostTextFromIfc(" \n ", 63), "");
}

TEST(IdTextNamer, UniqueAndFittedNumbersNeverCut) {
    IdTextNamer names;
    EXPECT_EQ(names.Next("Fal"), "Fal");
    EXPECT_EQ(names.Next("Fal"), "Fal (2)");
    names.Reserve("Fal (3)");
    EXPECT_EQ(names.Next("Fal"), "Fal (4)");
    EXPECT_EQ(names.Next("Fal (2)"), "Fal (2) (2)");
    std::string longName(70, 'x');
    std::string first = names.Next(longName);
    EXPECT_EQ(first, std::string(63, 'x'));
    std::string second = names.Next(longName);
    EXPECT_EQ(second, std::string(59, 'x') + " (2)");
    EXPECT_TRUE(IdTextNamer::IsFormOf("Fal", "Fal"));
    EXPECT_TRUE(IdTextNamer::IsFormOf("Fal (12)", "Fal"));
    EXPECT_TRUE(IdTextNamer::IsFormOf(second, longName));
    EXPECT_FALSE(IdTextNamer::IsFormOf("Fal (1)", "Fal"));
    EXPECT_FALSE(IdTextNamer::IsFormOf("Fal (02)", "Fal"));
    EXPECT_FALSE(IdTextNamer::IsFormOf("Falak (2)", "Fal"));
}

TEST(IfcModelBuilder, IdTextsFromNameTagOrKindMadeUnique) {
    IfcBuildingData data;
    data.products = {Box(1, "IfcWall", "Fal", {0, 0, 0}, {1, 1, 1}), Box(2, "IfcWall", "", {0, 0, 0}, {1, 1, 1}),
                     Box(3, "IfcWall", "Fal", {0, 0, 0}, {1, 1, 1}), Box(4, "IfcDoor", "", {0, 0, 0}, {1, 1, 1}),
                     Box(5, "IfcDoor", "Ajtó ø", {0, 0, 0}, {1, 1, 1})};
    data.products[3].tag = "D-17";
    auto built = BuildIfcModel(data, Options());
    EXPECT_EQ(IdTexts(*built.model), (std::vector<std::string>{"Fal", "Fal (2)", "Fal (3)", "D-17", "Ajtó o"}));
}

TEST(IfcModelBuilder, RepeatedNamesTakeTheirTagsAndAZeroGuidNamesNothing) {
    IfcBuildingData data;
    auto add = [&](const char* name, const char* tag) {
        data.products.push_back(Box(static_cast<int>(data.products.size()) + 1, "IfcBeam", name, {0, 0, 0}, {1, 1, 1}));
        data.products.back().tag = tag;
    };
    add("LIGGER", "B/1");
    add("LIGGER", "B/2");
    add("LIGGER", "B/2");
    add("LIGGER", "");
    add("Fal", "W-1"); // a name of its own needs no tag
    add("00000000-0000-0000-00-00-000000000000", "T-6");
    add("{00000000-0000-0000-0000-000000000000}", "0000000000000000");
    add("0", "");
    const std::string longName(70, 'x');
    add(longName.c_str(), "P-1");
    add(longName.c_str(), "P-2");
    auto built = BuildIfcModel(data, Options());
    EXPECT_EQ(IdTexts(*built.model),
              (std::vector<std::string>{"LIGGER B/1", "LIGGER B/2", "LIGGER B/2 (2)", "LIGGER", "Fal", "T-6", "Kind 3", "0",
                                        std::string(59, 'x') + " P-1", std::string(59, 'x') + " P-2"}));
    // A revision names its products the same way, so the kept elements keep their ID texts.
    IfcRevisionCounts counts = UpdateFromIfcRevision(*built.model, data, Options());
    EXPECT_EQ(counts.kept, data.products.size());
    EXPECT_EQ(IdTexts(*built.model)[2], "LIGGER B/2 (2)");
}

TEST(IfcModelBuilder, AMaterialForEachIfcMaterialAndColourFoundAgainByARevision) {
    IfcBuildingData data;
    auto add = [&](const char* material, std::array<double, 3> rgb) {
        data.products.push_back(Box(static_cast<int>(data.products.size()) + 1, "IfcWall", "W", {0, 0, 0}, {1, 1, 1}));
        if (*material) data.products.back().materials = {material, "Hőszigetelés"};
        data.products.back().hasColour = true;
        data.products.back().rgb = rgb;
    };
    add("Beton C30/37", {0.6, 0.6, 0.6});
    add("Beton C30/37", {0.8, 0.4, 0.2});
    add("Beton C30/37", {0.6, 0.6, 0.6});
    add("", {0.8, 0.4, 0.2});
    auto built = BuildIfcModel(data, Options());
    HostModel& m = *built.model;
    ASSERT_EQ(m.AttributeCount(HostAttribute::Material), 3);
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 1), "Beton C30/37");
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 2), "Beton C30/37 CC6633");
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 3), "IFC CC6633");
    auto wallMaterial = [&m](size_t i) { return LE::Get<int16_t>(m.Elements()[i]->Bytes(), 118); };
    EXPECT_EQ(wallMaterial(2), 1);
    // New products of a revision: the same concrete in both colours, and in a third.
    IfcBuildingData revision = data;
    add("Beton C30/37", {0.8, 0.4, 0.2});
    add("Beton C30/37", {0.6, 0.6, 0.6});
    add("Beton C30/37", {0.2, 0.2, 0.2});
    revision.products.insert(revision.products.end(), data.products.begin() + 4, data.products.end());
    UpdateFromIfcRevision(m, revision, Options());
    ASSERT_EQ(m.AttributeCount(HostAttribute::Material), 4);
    EXPECT_EQ(wallMaterial(4), 2);
    EXPECT_EQ(wallMaterial(5), 1);
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 4), "Beton C30/37 333333");
}

TEST(IfcLeftOutReport, OneLineEachCauseThenEachThingAcceptedWithTheFirstThree) {
    std::vector<IfcSkippedProduct> leftOut = {{"0a", "IfcWall", "no body", IfcLeftOutCause::NoBody, "A"},
                                              {"0b", "IfcWall", "no body", IfcLeftOutCause::NoBody, "B"}};
    std::vector<IfcNote> notes = {{IfcNoteKind::DuplicateRecord, "#34"},
                                  {IfcNoteKind::GlobalIdOutOfRange, "\"SL-101\""},
                                  {IfcNoteKind::DuplicateRecord, "#35"},
                                  {IfcNoteKind::DuplicateRecord, "#36"},
                                  {IfcNoteKind::DuplicateRecord, "#37"}};
    EXPECT_EQ(IfcOpeningReport("IFC2X3", 280, leftOut, notes),
              (std::vector<std::string>{"IFC model IFC2X3: 280 elements, 2 products left out",
                                        "  left out 2, no body: \"A\", \"B\"",
                                        "  kept 1, a GlobalId out of range: \"SL-101\"",
                                        "  accepted 4, a record defined twice with the same text: #34, #35, #36, ..."}));
    IfcRevisionCounts counts;
    counts.kept = 1;
    counts.notes = {notes[1]};
    EXPECT_EQ(IfcRevisionReport("IFC4", counts),
              (std::vector<std::string>{"IFC revision IFC4: kept 1, added 0, removed 0, 0 products left out",
                                        "  kept 1, a GlobalId out of range: \"SL-101\""}));
}

TEST(IfcModelBuilder, LayersFromLayerElseStoreyElseTheDefault) {
    IfcBuildingData data;
    data.products = {Box(1, "IfcWall", "a", {0, 0, 0}, {1, 1, 1}), Box(2, "IfcWall", "b", {0, 0, 0}, {1, 1, 1}),
                     Box(3, "IfcSlab", "c", {0, 0, 0}, {1, 1, 1}), Box(4, "IfcWall", "d", {0, 0, 0}, {1, 1, 1})};
    data.products[0].layer = "A-WALL";
    data.products[0].storey = "Földszint";
    data.products[1].storey = "Földszint";
    data.products[2].layer = "A-WALL";
    auto built = BuildIfcModel(data, Options());
    HostModel& m = *built.model;
    ASSERT_EQ(m.AttributeCount(HostAttribute::Layer), 3);
    EXPECT_EQ(m.AttributeName(HostAttribute::Layer, 1), "A-WALL");
    EXPECT_EQ(m.AttributeName(HostAttribute::Layer, 2), BKFromUtf8("Földszint"));
    EXPECT_EQ(m.AttributeName(HostAttribute::Layer, 3), kHostDefaultLayer);
    std::vector<int16_t> layers;
    for (const auto& e : m.Elements()) layers.push_back(e->Layer());
    EXPECT_EQ(layers, (std::vector<int16_t>{1, 2, 1, 3}));
    for (int16_t i = 1; i <= 3; ++i)
        EXPECT_EQ(LE::Get<uint32_t>(*m.Attribute(HostAttribute::Layer, i), HostAttribute::kFlags), 0u); // shown, unlocked

    // By storey: every storey of the file in its order, the layer ignored, no storey on the default.
    data.storeys = {"Pince", "Földszint", "Padlás"};
    IfcModelOptions byStorey = Options();
    byStorey.layersByStorey = true;
    auto storeys = BuildIfcModel(data, byStorey);
    HostModel& s = *storeys.model;
    ASSERT_EQ(s.AttributeCount(HostAttribute::Layer), 4);
    EXPECT_EQ(s.AttributeName(HostAttribute::Layer, 1), "Pince");
    EXPECT_EQ(s.AttributeName(HostAttribute::Layer, 4), kHostDefaultLayer);
    layers.clear();
    for (const auto& e : s.Elements()) layers.push_back(e->Layer());
    EXPECT_EQ(layers, (std::vector<int16_t>{2, 2, 4, 4}));
    EXPECT_TRUE(s.layersByStorey);
}

double SurfaceRed(HostModel& m, int16_t material) {
    double d;
    uint64_t bits = LE::Get<uint64_t>(*m.Attribute(HostAttribute::Material, material), HostAttribute::kMatSurfaceRed);
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

TEST(IfcModelBuilder, OneMaterialPerColourAndTransparency) {
    IfcBuildingData data;
    data.products = {Box(1, "IfcWall", "a", {0, 0, 0}, {1, 1, 1}), Box(2, "IfcSlab", "b", {0, 0, 0}, {1, 1, 1}),
                     Box(3, "IfcWindow", "c", {0, 0, 0}, {1, 1, 1}), Box(4, "IfcWindow", "d", {0, 0, 0}, {1, 1, 1}),
                     Box(5, "IfcSpace", "e", {0, 0, 0}, {1, 1, 1}), Box(6, "IfcColumn", "f", {0, 0, 0}, {1, 1, 1})};
    for (size_t i : {0u, 1u}) {
        data.products[i].hasColour = true;
        data.products[i].rgb = {0.8, 0.4, 0.2};
    }
    data.products[2].hasColour = true;
    data.products[2].rgb = {0.6, 0.8, 1.0};
    data.products[2].transparency = 0.6;
    auto built = BuildIfcModel(data, Options());
    HostModel& m = *built.model;
    // The shared colour, the clear glass, the uncoloured window's and column's own.
    ASSERT_EQ(m.AttributeCount(HostAttribute::Material), 4);
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 1), "IFC CC6633");
    EXPECT_EQ(m.AttributeName(HostAttribute::Material, 2), "IFC 99CCFF 60%");
    EXPECT_EQ(LE::Get<int16_t>(*m.Attribute(HostAttribute::Material, 2), HostAttribute::kMatTransparency), 60);
    EXPECT_EQ(LE::Get<int16_t>(*m.Attribute(HostAttribute::Material, 1), HostAttribute::kMatShine), 2500);
    EXPECT_NEAR(SurfaceRed(m, 1), 0.8, 1e-9);
    const auto& e = m.Elements();
    EXPECT_EQ(LE::Get<int16_t>(e[0]->Bytes(), 118), 1);
    EXPECT_EQ(LE::Get<int16_t>(e[1]->Bytes(), 120), 1);
    EXPECT_EQ(LE::Get<int16_t>(e[2]->Bytes(), 108), 2);
    EXPECT_EQ(LE::Get<int16_t>(e[3]->Bytes(), 108), 3);
    EXPECT_EQ(LE::Get<int16_t>(e[5]->Bytes(), 124), 4);
}

// The construction-type display must find on an IFC element what it finds on the example
// house's element of the same kind: every pen and material it replaces set, the same flags.
TEST(IfcModelBuilder, PaintedFieldsFilledAsOnTheExampleHouse) {
    const char* source = std::getenv("BV_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    auto house = LoadHostProject(std::string(source) + "/examples/house/house.qvp");
    ASSERT_TRUE(house.model) << house.error;
    const std::map<int32_t, const char*> classes = {{1, "IfcWall"},   {2, "IfcColumn"}, {3, "IfcBeam"},
                                                    {4, "IfcWindow"}, {5, "IfcDoor"},   {6, "IfcRailing"},
                                                    {8, "IfcSlab"},   {9, "IfcRoof"},   {10, "IfcSite"},
                                                    {17, "IfcSpace"}, {37, "IfcCurtainWall"}};
    IfcBuildingData data;
    int n = 0;
    for (const auto& [kind, cls] : classes) data.products.push_back(Box(++n, cls, cls, {0, 0, 0}, {1, 1, 1}));
    auto built = BuildIfcModel(data, Options());
    ASSERT_EQ(built.model->Elements().size(), classes.size());
    for (const auto& e : built.model->Elements()) {
        SCOPED_TRACE(e->Kind());
        std::vector<uint8_t> painted = e->record, mask(HostElement::kRecordSize, 0);
        ElementLinkRecord link;
        TypeDisplay::OverrideAttributes(painted, mask, link, 255, 99);
        const auto& ofKind = house.model->OfKind(e->Kind());
        const Element* model = ofKind.empty() ? nullptr : ofKind.front();
        size_t marked = 0;
        for (size_t off = HostElement::kHeaderSize; off + 1 < mask.size(); ++off) {
            bool word = LE::Get<int16_t>(mask, off) == -1;
            if (!word && mask[off] != 1) continue;
            ++marked;
            if (word) {
                EXPECT_GT(LE::Get<int16_t>(e->Bytes(), off), 0) << "offset " << off;
                ++off;
            } else if (model) {
                EXPECT_EQ(e->record[off], model->record[off]) << "flag " << off;
            } else {
                EXPECT_EQ(e->record[off], 1) << "flag " << off;
            }
        }
        EXPECT_GT(marked, 0u);
        // And back as it was.
        TypeDisplay::RestoreAttributes(painted, mask, link);
        EXPECT_EQ(painted, e->record);
    }
}

} // namespace
