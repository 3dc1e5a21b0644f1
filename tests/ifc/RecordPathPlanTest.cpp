// The plan of which bodies the records make and which records the library then need not read:
// the file's length unit, a body made from its records leaving its item bare and what only the
// item uses unmade, and an item a part the library makes shares kept whole.
#include "host/ifc/helper/RecordPathPlan.h"

#include "host/ifc/helper/ConversionHeap.h"
#include "host/ifc/helper/RecordTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

const std::string kHeader = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
                            "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n";
const std::string kEnd = "ENDSEC;\nEND-ISO-10303-21;\n";

std::string Units(const std::string& units) {
    return "#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,$,#2);\n#2=IFCUNITASSIGNMENT((#3));\n" + units;
}

// A wall of 1 m by 0.2 m by 3 m in millimetres; `more` adds records.
std::string Wall(const std::string& more = {}) {
    return kHeader + Units("#3=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n") +
           "#10=IFCCARTESIANPOINT((0.,0.,0.));\n#11=IFCAXIS2PLACEMENT3D(#10,$,$);\n#12=IFCLOCALPLACEMENT($,#11);\n"
           "#20=IFCCARTESIANPOINT((0.,0.));\n#21=IFCAXIS2PLACEMENT2D(#20,$);\n"
           "#22=IFCRECTANGLEPROFILEDEF(.AREA.,$,#21,1000.,200.);\n#23=IFCDIRECTION((0.,0.,1.));\n"
           "#24=IFCEXTRUDEDAREASOLID(#22,#11,#23,3000.);\n#25=IFCSHAPEREPRESENTATION($,'Body','SweptSolid',(#24));\n"
           "#26=IFCPRODUCTDEFINITIONSHAPE($,$,(#25));\n#30=IFCWALL('1YvctVUKr0kugbFTf53O9L',$,'W',$,$,#12,#26,$);\n" +
           more + kEnd;
}

RecordUse UseOf(const RecordPathPlan& plan, const StepScan& scan, int id) {
    return plan.use.empty() ? RecordUse::Read : plan.use[static_cast<size_t>(scan.Position(id))];
}

} // namespace

TEST(RecordPathPlan, ReadsOnlyAPlainSiLengthUnit) {
    auto unit = [](const std::string& units) {
        const std::string text = kHeader + Units(units) + kEnd;
        const StepScan scan = ScanStepEntities(text);
        return RecordLengthUnit(text, scan, RecordTypes(text, scan));
    };
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"), 0.001);
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"), 1.0);
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.LENGTHUNIT.,.CENTI.,.METRE.);\n"), 0.01);
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.LENGTHUNIT.,.KILO.,.METRE.);\n"), std::nullopt);
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.AREAUNIT.,$,.SQUARE_METRE.);\n"), std::nullopt);
    EXPECT_EQ(unit("#3=IFCCONVERSIONBASEDUNIT(#4,.LENGTHUNIT.,'FOOT',#5);\n#4=IFCDIMENSIONALEXPONENTS(1,0,0,0,0,0,0);\n"
                   "#5=IFCMEASUREWITHUNIT(IFCLENGTHMEASURE(0.3048),#6);\n#6=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"),
              std::nullopt);
}

TEST(RecordPathPlan, ReadsThePlaneAngleUnitAsTheLibraryDoes) {
    auto unit = [](const std::string& units) {
        const std::string text = kHeader + "#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,$,#2);\n#2=IFCUNITASSIGNMENT((#3));\n" +
                                 "#6=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);\n#5=IFCDIMENSIONALEXPONENTS(0,0,0,0,0,0,0);\n" + units + kEnd;
        const StepScan scan = ScanStepEntities(text);
        return RecordPlaneAngleUnit(text, scan, RecordTypes(text, scan));
    };
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);\n"), 1.0);
    EXPECT_EQ(unit("#3=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);\n"), std::nullopt);
    EXPECT_EQ(unit("#3=IFCCONVERSIONBASEDUNIT(#5,.PLANEANGLEUNIT.,'Degrees',#4);\n#4=IFCMEASUREWITHUNIT(IFCPLANEANGLEMEASURE(0.017453293),#6);\n"),
              0.017453293);
    EXPECT_EQ(unit("#3=IFCCONVERSIONBASEDUNIT(#5,.PLANEANGLEUNIT.,'DEGREE',#4);\n#4=IFCMEASUREWITHUNIT(IFCRATIOMEASURE(0.0174533),#6);\n"),
              0.0174533);
    // A value of another type leaves the name to say it.
    EXPECT_EQ(unit("#3=IFCCONVERSIONBASEDUNIT(#5,.PLANEANGLEUNIT.,'degree',#4);\n#4=IFCMEASUREWITHUNIT(IFCREAL(1.),#6);\n"), M_PI / 180.0);
    EXPECT_EQ(unit("#3=IFCCONVERSIONBASEDUNIT(#5,.PLANEANGLEUNIT.,'GRAD',#4);\n#4=IFCMEASUREWITHUNIT(IFCREAL(1.),#6);\n"), std::nullopt);
}

TEST(RecordPathPlan, ABodyMadeFromItsRecordsLeavesWhatOnlyItUsesUnread) {
    const std::string text = Wall();
    const StepScan scan = ScanStepEntities(text);
    RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 2);
    const size_t wall = static_cast<size_t>(scan.Position(30));
    ASSERT_TRUE(plan.ByRecords(wall));
    const ProductMesh mesh = plan.meshes.Copy(static_cast<uint32_t>(wall)).value();
    EXPECT_EQ(mesh.triangles.size(), 12u);
    double top = 0;
    for (const auto& v : mesh.vertices) top = std::max(top, v[2]);
    EXPECT_DOUBLE_EQ(top, 3.0);
    EXPECT_EQ(UseOf(plan, scan, 24), RecordUse::Bare);
    for (int unmade : {20, 21, 22, 23}) EXPECT_EQ(UseOf(plan, scan, unmade), RecordUse::Unmade) << unmade;
    // The placement the solid shares with the wall, and what leads to the solid.
    for (int read : {1, 2, 3, 10, 11, 12, 25, 26, 30}) EXPECT_EQ(UseOf(plan, scan, read), RecordUse::Read) << read;
    EXPECT_EQ(plan.Unmade(), 4u);
}

// A wall cut under a roof: made on the conversion heap, the same bytes each time, leaving nothing
// on it; the cut stays read for the colour its solid gives, the solid is bare.
TEST(RecordPathPlan, AClippedWallIsCutTheSameEachTime) {
    std::string text = Wall("#40=IFCPLANE(#42);\n#41=IFCHALFSPACESOLID(#40,.F.);\n#42=IFCAXIS2PLACEMENT3D(#43,#44,$);\n"
                            "#43=IFCCARTESIANPOINT((0.,0.,2500.));\n#44=IFCDIRECTION((0.2,0.,1.));\n"
                            "#45=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#24,#41);\n");
    const std::string body = "'Body','SweptSolid',(#24)";
    text.replace(text.find(body), body.size(), "'Body','Clipping',(#45)");
    const StepScan scan = ScanStepEntities(text);
    const size_t wall = static_cast<size_t>(scan.Position(30));
    const size_t leaks = ConversionHeap::Leaks();
    const RecordPathPlan first = PlanRecordPath(text, scan, RecordTypes(text, scan), 2);
    const RecordPathPlan second = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
    EXPECT_EQ(ConversionHeap::Leaks(), leaks);
    ASSERT_TRUE(first.ByRecords(wall) && second.ByRecords(wall));
    const ProductMesh a = first.meshes.Copy(static_cast<uint32_t>(wall)).value();
    const ProductMesh b = second.meshes.Copy(static_cast<uint32_t>(wall)).value();
    EXPECT_GT(a.triangles.size(), 12u);
    EXPECT_EQ(a.vertices, b.vertices);
    EXPECT_EQ(a.triangles, b.triangles);
    double top = 0;
    for (const auto& v : a.vertices) top = std::max(top, v[2]);
    EXPECT_LT(top, 2.75);
    EXPECT_EQ(UseOf(first, scan, 45), RecordUse::Read);
    EXPECT_EQ(UseOf(first, scan, 41), RecordUse::Read);
    EXPECT_EQ(UseOf(first, scan, 24), RecordUse::Bare);
    EXPECT_EQ(UseOf(first, scan, 22), RecordUse::Unmade);
}

// A faceted box with a hole cut through it by an opening: made on the conversion heap, the same
// bytes on one thread or two, leaving nothing on it.
TEST(RecordPathPlan, AFacetedBoxWithAnOpeningIsCutTheSameEachTime) {
    const int corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    std::string box;
    for (int i = 0; i < 8; ++i)
        box += "#" + std::to_string(100 + i) + "=IFCCARTESIANPOINT((" + std::to_string(corners[i][0] * 1000) + ".," +
               std::to_string(corners[i][1] * 1000) + "." + "," + std::to_string(corners[i][2] * 1000) + ".));\n";
    std::string shell = "#130=IFCCLOSEDSHELL((";
    for (int f = 0; f < 6; ++f) {
        const std::string loop = std::to_string(110 + 3 * f), bound = std::to_string(111 + 3 * f), face = std::to_string(112 + 3 * f);
        box += "#" + loop + "=IFCPOLYLOOP((";
        for (int k = 0; k < 4; ++k) box += (k ? ",#" : "#") + std::to_string(100 + faces[f][k]);
        box += "));\n#" + bound + "=IFCFACEOUTERBOUND(#" + loop + ",.T.);\n#" + face + "=IFCFACE((#" + bound + "));\n";
        shell += (f ? ",#" : "#") + face;
    }
    box += shell + "));\n#131=IFCFACETEDBREP(#130);\n";
    std::string text = Wall(box + "#50=IFCRECTANGLEPROFILEDEF(.AREA.,$,#21,400.,400.);\n#51=IFCEXTRUDEDAREASOLID(#50,#11,#23,3000.);\n"
                                  "#52=IFCSHAPEREPRESENTATION($,'Body','SweptSolid',(#51));\n#53=IFCPRODUCTDEFINITIONSHAPE($,$,(#52));\n"
                                  "#54=IFCOPENINGELEMENT('3YvctVUKr0kugbFTf53O9L',$,'O',$,$,#12,#53,$);\n"
                                  "#55=IFCRELVOIDSELEMENT('4YvctVUKr0kugbFTf53O9L',$,$,$,#30,#54);\n");
    const std::string body = "'Body','SweptSolid',(#24)";
    text.replace(text.find(body), body.size(), "'Body','Brep',(#131)");
    const StepScan scan = ScanStepEntities(text);
    const size_t box_ = static_cast<size_t>(scan.Position(30));
    const size_t leaks = ConversionHeap::Leaks();
    const RecordPathPlan first = PlanRecordPath(text, scan, RecordTypes(text, scan), 2);
    const RecordPathPlan second = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
    EXPECT_EQ(ConversionHeap::Leaks(), leaks);
    ASSERT_TRUE(first.ByRecords(box_) && second.ByRecords(box_));
    const ProductMesh a = first.meshes.Copy(static_cast<uint32_t>(box_)).value();
    const ProductMesh b = second.meshes.Copy(static_cast<uint32_t>(box_)).value();
    EXPECT_EQ(a.vertices, b.vertices);
    EXPECT_EQ(a.triangles, b.triangles);
    // The hole's four walls and the rings about it at top and bottom.
    EXPECT_GT(a.triangles.size(), 12u);
}

// A profile whose curve names the same curve ten times over, six deep: a million segments is
// more than a body is read for; the library is left to it, and the plan ends at once.
TEST(RecordPathPlan, ACurveOfCurvesWithoutEndIsTheLibrarys) {
    std::string more = "#60=IFCARBITRARYCLOSEDPROFILEDEF(.AREA.,$,#70);\n#80=IFCPOLYLINE((#20,#81,#82,#20));\n"
                       "#81=IFCCARTESIANPOINT((1000.,0.));\n#82=IFCCARTESIANPOINT((0.,1000.));\n";
    for (int level = 0; level < 6; ++level) {
        const std::string curve = std::to_string(70 + level), segment = std::to_string(90 + level);
        const std::string below = level == 5 ? "80" : std::to_string(71 + level);
        more += "#" + curve + "=IFCCOMPOSITECURVE((";
        for (int i = 0; i < 10; ++i) more += (i ? ",#" : "#") + segment;
        more += "),.F.);\n#" + segment + "=IFCCOMPOSITECURVESEGMENT(.CONTINUOUS.,.T.,#" + below + ");\n";
    }
    std::string text = Wall(more);
    const std::string solid = "#24=IFCEXTRUDEDAREASOLID(#22,";
    text.replace(text.find(solid), solid.size(), "#24=IFCEXTRUDEDAREASOLID(#60,");
    const StepScan scan = ScanStepEntities(text);
    const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
    EXPECT_FALSE(plan.ByRecords(static_cast<size_t>(scan.Position(30))));
}

// A wall with openings is cut from the records, and so is a part of it, by the wall's openings; a
// part nested in it, or a part of two walls with openings, is the library's.
TEST(RecordPathPlan, APartOfAWallWithOpeningsIsCutFromTheRecordsByTheWallsOpenings) {
    const std::string wall = "#27=IFCSHAPEREPRESENTATION($,'Body','SweptSolid',(#24));\n#28=IFCPRODUCTDEFINITIONSHAPE($,$,(#27));\n"
                             "#31=IFCWALL('2YvctVUKr0kugbFTf53O9L',$,'V',$,$,#12,#28,$);\n"
                             "#40=IFCOPENINGELEMENT('3YvctVUKr0kugbFTf53O9L',$,'O',$,$,#12,$,$);\n"
                             "#41=IFCRELVOIDSELEMENT('4YvctVUKr0kugbFTf53O9L',$,$,$,#31,#40);\n"
                             "#42=IFCBUILDINGELEMENTPART('5YvctVUKr0kugbFTf53O9L',$,'T',$,$,#12,#28,$);\n";
    {
        const std::string text = Wall(wall + "#43=IFCRELAGGREGATES('6YvctVUKr0kugbFTf53O9L',$,$,$,#31,(#42));\n");
        const StepScan scan = ScanStepEntities(text);
        const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
        EXPECT_TRUE(plan.ByRecords(static_cast<size_t>(scan.Position(30))));
        EXPECT_TRUE(plan.ByRecords(static_cast<size_t>(scan.Position(31))));
        EXPECT_FALSE(plan.ByRecords(static_cast<size_t>(scan.Position(40))));
        EXPECT_TRUE(plan.ByRecords(static_cast<size_t>(scan.Position(42))));
        EXPECT_EQ(UseOf(plan, scan, 24), RecordUse::Bare); // every body that has it made here
    }
    {
        const std::string text = Wall(wall + "#43=IFCRELNESTS('6YvctVUKr0kugbFTf53O9L',$,$,$,#31,(#42));\n");
        const StepScan scan = ScanStepEntities(text);
        const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
        EXPECT_FALSE(plan.ByRecords(static_cast<size_t>(scan.Position(42))));
        EXPECT_EQ(UseOf(plan, scan, 24), RecordUse::Read) << "the part the library makes shares it";
    }
    {
        const std::string text = Wall(wall + "#44=IFCRELVOIDSELEMENT('7YvctVUKr0kugbFTf53O9L',$,$,$,#30,#40);\n"
                                             "#43=IFCRELAGGREGATES('6YvctVUKr0kugbFTf53O9L',$,$,$,#31,(#42));\n"
                                             "#45=IFCRELAGGREGATES('8YvctVUKr0kugbFTf53O9L',$,$,$,#30,(#42));\n");
        const StepScan scan = ScanStepEntities(text);
        const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
        EXPECT_TRUE(plan.ByRecords(static_cast<size_t>(scan.Position(31))));
        EXPECT_FALSE(plan.ByRecords(static_cast<size_t>(scan.Position(42))));
    }
}

// An opening the file does not have leaves its element to the library.
TEST(RecordPathPlan, AWallWithAnOpeningNotInTheFileIsTheLibrarys) {
    const std::string text = Wall("#41=IFCRELVOIDSELEMENT('4YvctVUKr0kugbFTf53O9L',$,$,$,#30,#40);\n");
    const StepScan scan = ScanStepEntities(text);
    const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
    EXPECT_FALSE(plan.ByRecords(static_cast<size_t>(scan.Position(30))));
}

TEST(RecordPathPlan, AFileInFeetIsTheLibrarysWhole) {
    std::string text = Wall();
    const std::string metric = "#3=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);";
    text.replace(text.find(metric), metric.size(),
                 "#3=IFCCONVERSIONBASEDUNIT(#4,.LENGTHUNIT.,'FOOT',$);\n#4=IFCDIMENSIONALEXPONENTS(1,0,0,0,0,0,0);");
    const StepScan scan = ScanStepEntities(text);
    const RecordPathPlan plan = PlanRecordPath(text, scan, RecordTypes(text, scan), 1);
    EXPECT_TRUE(plan.meshes.Empty());
    EXPECT_TRUE(plan.use.empty());
}
