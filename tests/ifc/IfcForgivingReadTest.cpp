// What real exporters write that IFC does not allow and the reader takes all the same, said once
// in the report: records written twice with the same text, GlobalIds past 128 bits.
#include "IfcTestFiles.h"

#include "host/ifc/building/IfcGuid.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/reader/IfcReader.h"

#include <set>

namespace {

using ifctest::ErrorOf;
using ifctest::IfcText;

std::vector<std::string> Report(const IfcBuildingData& data) {
    IfcBuiltModel built = BuildIfcModel(data, IfcModelOptions{});
    return IfcOpeningReport(data.schema, built.model->Elements().size(), built.skipped, data.notes);
}

const IfcProductData* Named(const IfcBuildingData& data, const std::string& name) {
    for (const auto& p : data.products)
        if (p.name == name) return &p;
    return nullptr;
}

} // namespace

TEST(IfcForgivingRead, ARecordWrittenTwiceWithTheSameTextIsReadOnce) {
    IfcBuildingData data = ReadIfcFile(SourceFile("tests/data/ifc/repeated-records.ifc"));
    ASSERT_EQ(data.products.size(), 2u);
    EXPECT_EQ(data.products[0].name, "Wall");
    EXPECT_EQ(data.products[1].name, "Plate");
    EXPECT_TRUE(data.skipped.empty());
    EXPECT_EQ(Report(data), (std::vector<std::string>{"IFC model IFC2X3: 2 elements, 0 products left out",
                                                      "  accepted 3, a record defined twice with the same text: #22, #35, #40"}));
    // Written again differently, the file cannot say which it means.
    std::string text = IfcText("repeated-records.ifc");
    const std::string again = "#22=IFCCARTESIANPOINT((0.,0.,0.));\n#35=IFCPRODUCTDEFINITIONSHAPE($,$,(#31));";
    ASSERT_NE(text.find(again), std::string::npos);
    text.replace(text.find(again), again.size(), "#22=IFCCARTESIANPOINT((0.,0.,0.));\n#35=IFCPRODUCTDEFINITIONSHAPE('Other',$,(#31));");
    EXPECT_EQ(ErrorOf(text), "entity #35 is defined twice, differently (on lines 20 and 24)");
}

TEST(IfcForgivingRead, AGlobalIdPastIts128BitsKeepsTheProductUnderAGuidOfItsText) {
    IfcBuildingData data = ReadIfcFile(SourceFile("tests/data/ifc/out-of-range-globalids.ifc"));
    ASSERT_EQ(data.products.size(), 5u);
    std::set<API_Guid> guids;
    for (const auto& p : data.products) {
        guids.insert(p.guid);
        if (IsOutOfRangeIfcGlobalId(p.globalId)) EXPECT_EQ(p.guid, GuidOfOutOfRangeGlobalId(p.globalId, 0)) << p.name;
        else EXPECT_EQ(p.guid, *DecodeIfcGlobalId(p.globalId)) << p.name;
    }
    EXPECT_EQ(guids.size(), 5u);
    EXPECT_EQ(Named(data, "Floor slab 1")->globalId, "Kq3vX0aTb9Rm1cZpL2wYe8");
    EXPECT_EQ(Report(data), (std::vector<std::string>{
                                "IFC model IFC2X3: 5 elements, 1 product left out",
                                "  left out 1, a GlobalId an earlier product has: \"Floor slab 1 again\"",
                                "  kept 4, a GlobalId out of range: \"Floor slab 1\", \"Floor slab 2\", "
                                "\"Floor slab 3\", ..."}));

    // A well-formed GlobalId of the file that a text past 128 bits would map to keeps its GUID;
    // the other takes the next.
    std::string text = IfcText("out-of-range-globalids.ifc");
    const std::string taken = EncodeIfcGlobalId(GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 0));
    text.replace(text.find("1q3vX0aTb9Rm1cZpL2wYe8"), 22, taken);
    data = ReadIfcText(text);
    ASSERT_EQ(data.products.size(), 5u);
    EXPECT_EQ(Named(data, "Floor slab 5")->guid, GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 0));
    EXPECT_EQ(Named(data, "Floor slab 1")->guid, GuidOfOutOfRangeGlobalId("Kq3vX0aTb9Rm1cZpL2wYe8", 1));
}
