// The reader takes a whole file or none of it: a syntax error anywhere, or a product that needs
// a record the file does not have, refuses the file with the record named. Products left out
// for other causes are counted by cause and named in the report.
#include "IfcTestFiles.h"

#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/reader/IfcReader.h"

#include <map>

namespace {

using ifctest::ErrorOf;
using ifctest::IfcText;

// `text` with its one `from` made `to`.
std::string Changed(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::map<std::string, IfcSkippedProduct> LeftOutByName(const IfcBuildingData& data) {
    std::map<std::string, IfcSkippedProduct> byName;
    for (const auto& s : data.skipped) byName[s.name.empty() ? s.globalId : s.name] = s;
    return byName;
}

} // namespace

TEST(IfcStrictRead, ASyntaxErrorInTheMiddleOfARealFileRefusesIt) {
    const std::string house = IfcText("IfcOpenHouse.ifc");
    ASSERT_EQ(ReadIfcText(house).products.size(), 35u);
    // The east wall's name loses its closing apostrophe: the string runs on into the west wall's
    // record, and the library would read no record after it.
    EXPECT_EQ(ErrorOf(Changed(house, "'East wall'", "'East wall")),
              "syntax error on line 306 in #292 (which begins on line 299): unexpected \"0k8AeTlozCOOD5U2sjIt1l',...\" "
              "where \",\" or \")\" belongs, after a string that begins on line 299 (is an apostrophe missing?)");
    EXPECT_EQ(ErrorOf(Changed(house, "'Brick'", "Brick'")),
              "syntax error on line 2590 in #2583: unexpected \"Brick');\" where a value belongs "
              "(text outside a string: is an apostrophe missing?)");
    std::string lastGone = house;
    lastGone.erase(lastGone.rfind('\''), 1);
    EXPECT_NE(ErrorOf(lastGone).find(": a string does not end before the end of the file"), std::string::npos) << ErrorOf(lastGone);
    // A parenthesis too few, which the library reads on past without a word.
    EXPECT_EQ(ErrorOf(Changed(house, "IFCAREAMEASURE(523.31397507897),$);", "IFCAREAMEASURE(523.31397507897,$);")),
              "syntax error on line 328 in #321: unexpected \";\" where \",\" or \")\" belongs");
}

TEST(IfcStrictRead, AProductThatNeedsARecordTheFileDoesNotHaveRefusesIt) {
    EXPECT_EQ(ErrorOf(IfcText("dangling-body.ifc")),
              "record #63 (IfcWall \"Missing profile\", line 28): its representation leads through #61 to #999, which is not in the file");
    const std::string storeys = IfcText("two-storeys-mm.ifc");
    EXPECT_EQ(ErrorOf(Changed(storeys, "$,#100,#103,'W-01'", "$,#98,#103,'W-01'")),
              "record #102 (IfcWallStandardCase \"Zeď\", line 40): its placement refers to #98, which is not in the file");
    // The ground floor's placement, that of everything on it too: the storey comes first in the file.
    EXPECT_EQ(ErrorOf(Changed(storeys, "#50=IFCLOCALPLACEMENT(#40,#51);", "#50=IFCLOCALPLACEMENT(#49,#51);")),
              "record #52 (IfcBuildingStorey \"Földszint\", line 29): its placement leads through #50 to #49, which is not in the file");
    // A representation of the window's that is not there might have been its body.
    EXPECT_EQ(ErrorOf(Changed(storeys, "(#145));", "(#145,#1450));")),
              "record #143 (IfcWindow \"Ablak\", line 71): its representation leads through #144 to #1450, which is not in the file");
    // An opening is never an element, but it cuts one.
    EXPECT_EQ(ErrorOf(Changed(storeys, "#120,#124,$);", "#120,#1240,$);")),
              "record #123 (IfcOpeningElement \"Nyilás\", line 59): its representation refers to #1240, which is not in the file");
    // A missing record that no placement or shape leads to is no fault.
    std::string unused = Changed(storeys, "ENDSEC;\nEND-ISO", "#990=IFCRELDEFINESBYPROPERTIES('0WnZ3IJ1r5xvKWFrtTVk2$',$,$,$,(#102),#991);\nENDSEC;\nEND-ISO");
    EXPECT_EQ(ReadIfcText(unused).products.size(), 5u);
}

TEST(IfcStrictRead, ProductsLeftOutAreCountedByCauseAndNamed) {
    IfcBuildingData data = ReadIfcFile(SourceFile("tests/data/ifc/broken-products.ifc"));
    auto leftOut = LeftOutByName(data);
    ASSERT_EQ(data.skipped.size(), 6u);
    EXPECT_EQ(leftOut["Twin"].cause, IfcLeftOutCause::RepeatedGlobalId);
    for (const char* name : {"Dash", "None", "Blank"}) EXPECT_EQ(leftOut[name].cause, IfcLeftOutCause::NoGlobalId) << name;
    EXPECT_EQ(leftOut["Fantasy"].cause, IfcLeftOutCause::GeometryNotMade);
    EXPECT_EQ(leftOut["Fantasy"].reason,
              "geometry not converted: its body uses #50 (IFCFANTASYSOLID), an entity the IFC library does not know");
    EXPECT_EQ(leftOut["Fantasy"].record, 53);
    EXPECT_EQ(leftOut["3t1d$gYgn6OhHVS5mN5vNh"].cause, IfcLeftOutCause::NoBody); // a line has no body

    IfcBuiltModel built = BuildIfcModel(data, IfcModelOptions{});
    EXPECT_EQ(IfcOpeningReport(data.schema, built.model->Elements().size(), built.skipped, data.notes),
              (std::vector<std::string>{"IFC model IFC2X3: 3 elements, 6 products left out",
                                        "  left out 1, no body: 3t1d$gYgn6OhHVS5mN5vNh",
                                        "  left out 1, a geometry the IFC library cannot make: \"Fantasy\"",
                                        "  left out 3, no usable GlobalId: \"Dash\", \"None\", \"Blank\"",
                                        "  left out 1, a GlobalId an earlier product has: \"Twin\"",
                                        "  kept 1, a GlobalId out of range: \"Too big\""}));
    IfcRevisionCounts counts;
    counts.kept = 34;
    counts.added = 1;
    counts.removed = 2;
    counts.skipped = {{"", "IfcWall", "no GlobalId", IfcLeftOutCause::NoGlobalId, "", 12},
                      {"", "IfcVirtualElement", "not built", IfcLeftOutCause::NotBuilding},
                      {"0x", "IfcBeam", "attributes not read", IfcLeftOutCause::AttributesNotRead},
                      {"0y", "IfcOpeningElement", "not built", IfcLeftOutCause::NotBuilding, "Two\nlines"}};
    EXPECT_EQ(IfcRevisionReport("IFC4", counts),
              (std::vector<std::string>{"IFC revision IFC4: kept 34, added 1, removed 2, 4 products left out",
                                        "  left out 1, attributes the IFC library cannot read: 0x",
                                        "  left out 1, no usable GlobalId: IfcWall #12",
                                        "  left out 2, an opening or virtual element: IfcVirtualElement, \"Two lines\""}));
}

TEST(IfcStrictRead, AProductWhosePlacementTheLibraryCannotReadIsLeftOutNotMoved) {
    const std::string storeys = IfcText("two-storeys-mm.ifc");
    // The wall's axes in an entity the library does not know; the window and the opening sit in the wall's placement.
    IfcBuildingData data = ReadIfcText(Changed(storeys, "#101=IFCAXIS2PLACEMENT3D(#22,#23,#24);", "#101=IFCAXIS2PLACEMENT3X(#22,#23,#24);"));
    EXPECT_EQ(data.products.size(), 3u);
    auto leftOut = LeftOutByName(data);
    ASSERT_EQ(data.skipped.size(), 2u);
    EXPECT_EQ(leftOut["Zeď"].reason,
              "geometry not converted: its placement uses #101 (IFCAXIS2PLACEMENT3X), an entity the IFC library does not know");
    EXPECT_EQ(leftOut["Ablak"].cause, IfcLeftOutCause::GeometryNotMade);
    // The window's one representation unread: without it the window has no body at all.
    data = ReadIfcText(Changed(storeys, "#145=IFCSHAPEREPRESENTATION(", "#145=IFCSHAPEREPRESENTATIONX("));
    EXPECT_EQ(data.products.size(), 4u);
    ASSERT_EQ(data.skipped.size(), 1u);
    EXPECT_EQ(data.skipped[0].reason, "geometry not converted: its representation uses #145 (IFCSHAPEREPRESENTATIONX), "
                                      "an entity the IFC library does not know");
    // A complex instance is good STEP that the library does not read: every shape uses the origin.
    std::string complex = Changed(storeys, "#22=IFCCARTESIANPOINT((0.,0.,0.));", "#22=(IFCCARTESIANPOINT((0.,0.,0.))IFCPOINT());");
    EXPECT_EQ(ErrorOf(complex), "no product with usable body geometry (5 left out; the first: geometry not converted: its placement "
                                "uses #22 (IFCCARTESIANPOINT) on line 15, which the IFC library could not read)");
}
