// What the reader checks in the STEP text before the IFC library sees it: the header and the
// schema, the closing line, the entities' order and loops of references the library would leak.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/step/StepEntityScan.h"
#include "host/ifc/step/StepHeader.h"

#include <gtest/gtest.h>

namespace {

std::string File(const std::string& schema, const std::string& data) {
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('x','',(''),(''),'','','');\n"
           "FILE_SCHEMA(('" + schema + "'));\nENDSEC;\nDATA;\n" + data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::string ErrorOf(const std::string& text) {
    try {
        ScanStepEntities(text);
        CheckStepText(text);
    } catch (const EIfcFile& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(StepHeader, NamesTheSchemasTheLibraryReads) {
    EXPECT_EQ(CheckStepText(File("IFC2X3", "")), "IFC2X3");
    EXPECT_EQ(CheckStepText(File("IFC2X3_TC1", "")), "IFC2X3");
    EXPECT_EQ(CheckStepText(File("IFC4", "")), "IFC4");
    EXPECT_EQ(CheckStepText(File("ifc4", "")), "IFC4");
    EXPECT_EQ(CheckStepText(File("IFC4ADD2_TC1", "")), "IFC4");
    EXPECT_EQ(ErrorOf(File("IFC4X3", "")), "schema IFC4X3 is not read (only IFC2X3 and IFC4)");
    EXPECT_EQ(ErrorOf(File("IFC2X2_FINAL", "")), "schema IFC2X2_FINAL is not read (only IFC2X3 and IFC4)");
    EXPECT_EQ(ErrorOf(File("", "")), "not an IFC file (its header names no schema)");
    std::string noSchema = File("IFC4", "");
    noSchema.replace(noSchema.find("FILE_SCHEMA"), 11, "FILE_SCHEME");
    EXPECT_EQ(ErrorOf(noSchema), "not an IFC file (its header names no schema)");
    EXPECT_EQ(ErrorOf("PK\x03\x04"), "not an IFC file (it does not begin with ISO-10303-21;)");
    EXPECT_EQ(ErrorOf("ISO-10303-21;\nHEADER;\nFILE_SCHEMA(('IFC4'));\nENDSEC;\n"), "truncated: no DATA section");
}

TEST(StepEntityScan, GivesTheFileOrderPastStringsAndComments) {
    std::string data = "#5=IFCA('#1=IFCB(#2);',$);\n/* #7=IFCC(#5); */\n#3=IFCC(#5,'it''s;#9');\n"
                       "#10 = IFCD((#3,#5));\n#2=(IFCE(#10)IFCF(#3));\n";
    EXPECT_EQ(ScanStepEntities(File("IFC4", data)).ids, (std::vector<int>{5, 3, 10, 2}));
    EXPECT_TRUE(ScanStepEntities(File("IFC4", "")).ids.empty());
    // A reference to nothing is the library's to report, not a loop.
    EXPECT_EQ(ScanStepEntities(File("IFC4", "#1=IFCA(#99);\n")).ids, (std::vector<int>{1}));
}

TEST(StepEntityScan, RefusesLoopsOfReferencesAndNumbersGivenTwice) {
    EXPECT_EQ(ErrorOf(File("IFC4", "#1=IFCLOCALPLACEMENT(#1,$);\n")), "entity #1 refers back to itself through its attributes");
    EXPECT_EQ(ErrorOf(File("IFC4", "#1=IFCA(#2);\n#2=IFCB((#3));\n#3=IFCC(#1);\n")),
              "entity #1 refers back to itself through its attributes");
    EXPECT_EQ(ErrorOf(File("IFC4", "#1=IFCA($);\n#2=IFCB(#1);\n#1=IFCC(#2);\n")),
              "entity #1 is defined twice, differently (on lines 8 and 10)");
    EXPECT_EQ(ErrorOf(File("IFC4", "#1=IFCA($);\n#1=IFCA( $);\n")), "entity #1 is defined twice, differently (on lines 8 and 9)");
    // Written again as it was: read once, and the repeat told.
    StepScan twice = ScanStepEntities(File("IFC4", "#1=IFCA($);\n#2=IFCB(#1);\n#1=IFCA($);\n#2=IFCB(#1);\n#1=IFCA($);\n"));
    EXPECT_EQ(twice.ids, (std::vector<int>{1, 2}));
    EXPECT_EQ(twice.repeated, (std::vector<int>{1, 2}));
    // Shared references are no loop.
    EXPECT_EQ(ErrorOf(File("IFC4", "#1=IFCA($);\n#2=IFCB(#1,#1);\n#3=IFCC(#1,#2);\n")), "");
    // Deep chains are followed without recursion.
    std::string chain;
    for (int i = 1; i < 200000; ++i) chain += "#" + std::to_string(i) + "=IFCA(#" + std::to_string(i + 1) + ");\n";
    EXPECT_EQ(ErrorOf(File("IFC4", chain + "#200000=IFCA(#1);\n")), "entity #1 refers back to itself through its attributes");
}
