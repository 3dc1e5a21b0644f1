// The data section held to the exchange-file syntax before the IFC library sees it: every form
// exporters write passes, and each fault is named by its line and record, including the ones
// the library reads past without a word.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/step/ReferenceSearch.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepEntityScan.h"

#include <gtest/gtest.h>

namespace {

// The data section begins on line 8.
std::string File(const std::string& data) {
    return "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('x','',(''),(''),'','','');\n"
           "FILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n" + data + "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::string ErrorOf(const std::string& data) {
    try {
        ScanStepEntities(File(data));
    } catch (const EIfcFile& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(StepSyntax, TakesEveryFormExportersWrite) {
    const std::string data =
        "#1= IFCPERSON('Johan-PC\\\\Johan','it''s; #9 /* not a comment */',$,*,$);\n" // Tekla's blank after '='
        "#2 = IfcCartesianPoint ( ( 0. , -1.5E-3, +2 , 1.E-009, .5 ) ) ;\n"
        "/* a comment */ #3=IFCPROPERTYSINGLEVALUE('A',$,IFCLABEL('x'),$);\n"
        "#4=IFCX(.T.,.NOTDEFINED.,\"0FF\",(),((#1,#2),(#3)),IFCLIST((1,2)),!USERTYPE(1));\n"
        "#5=IFCY('a name\nover two lines',#99);\n"    // a line break inside a string; a reference to nothing
        "#6=(IFCA(#5)IFCB(3.) /* parts */ IFCC());\n" // a complex instance
        "#7=IFCZ(/* in between */#6\t,\r\n#1);";
    EXPECT_EQ(ErrorOf(data), "");
    StepScan scan = ScanStepEntities(File(data + "\n"));
    EXPECT_EQ(scan.ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(std::vector<int>(scan.References(3).begin(), scan.References(3).end()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(StepLineAt(File(data), scan.Offset(6)), 15u); // #7, after the string of two lines
    EXPECT_EQ(StepTypeAt(File(data), scan.Offset(1)), "IfcCartesianPoint");
    EXPECT_EQ(StepTypeAt(File(data), scan.Offset(5)), "IFCA");
}

TEST(StepSyntax, NamesTheLineAndTheRecordOfEachFault) {
    const std::pair<const char*, const char*> cases[] = {
        // An apostrophe too few: the string swallows the rest of the record and the next one.
        {"#1=IFCA('x',$);\n#2=IFCB('abc,$);\n#3=IFCC('def',#2);\n",
         "syntax error on line 10 in #2 (which begins on line 9): unexpected \"def',#2);\" where \",\" or \")\" belongs, "
         "after a string that begins on line 9 (is an apostrophe missing?)"},
        {"#1=IFCA(abc',$);\n", "syntax error on line 8 in #1: unexpected \"abc',$);\" where a value belongs "
                               "(text outside a string: is an apostrophe missing?)"},
        {"#1=IFCA($);\n#2=IFCB('abc);\n", "syntax error on line 9 in #2: a string does not end before the end of the file "
                                          "(is an apostrophe missing?)"},
        // What the library reads on without a word.
        {"#1=IFCA((0.,0.);\n", "syntax error on line 8 in #1: unexpected \";\" where \",\" or \")\" belongs"},
        {"#1=IFCA($) foo;\n", "syntax error on line 8 in #1: unexpected \"foo;\" where \";\" ends the record"},
        {"#1=IFCA($)\n#2=IFCB($);\n", "syntax error on line 9 in #1 (which begins on line 8): unexpected \"#2=IFCB($);\" "
                                      "where \";\" ends the record"},
        {"#1=IFCA($);\nIFCB($);\n", "syntax error on line 9 after #1: unexpected \"IFCB($);\" where a record \"#N=\" belongs"},
        {"#1=IFCA($);\n/* open\n#2=IFCB($);\n", "syntax error on line 9 after #1: a comment does not end before the end of the file"},
        {"#1=IFCA(1,,2);\n", "syntax error on line 8 in #1: unexpected \",2);\" where a value belongs"},
        {"#1=IFCA(.T);\n", "syntax error on line 8 in #1: unexpected \".T);\" where a value belongs"},
        {"#1=IFCA(1.5E);\n", "syntax error on line 8 in #1: unexpected \"1.5E);\" where a value belongs"},
        {"#1=IFCA(\"0G\");\n", "syntax error on line 8 in #1: a binary value is not hexadecimal digits between quotation marks"},
        {"#1=IFCA(#);\n", "syntax error on line 8 in #1: unexpected \"#);\" where a record number belongs"},
        {"#1=IFCA(#12345678901);\n", "syntax error on line 8 in #1: the record number #1234567890... is too large"},
        {"#1=();\n", "syntax error on line 8 in #1: unexpected \");\" where an entity name belongs"},
        {"#1=IFCA($);\n#2=IFCB(\xC3\xA9\xC3\xA9);\n", "syntax error on line 9 in #2: unexpected \"??\?\?);\" where a value belongs"},
    };
    for (const auto& [data, error] : cases) EXPECT_EQ(ErrorOf(data), error) << data;
    // The section's end is ENDSEC; without it the closing line is no record.
    EXPECT_EQ(ErrorOf("#1=IFCA($);\nEND-ISO-10303-21;\n"),
              "syntax error on line 9 after #1: unexpected \"END-ISO-10303-21;\" where a record \"#N=\" belongs");
}

TEST(ReferenceSearch, FindsTheFirstPickedReferenceBelowARecordOnce) {
    StepScan scan = ScanStepEntities(File("#1=IFCA(#2,#3);\n#2=IFCB(#4);\n#3=IFCC(#98);\n#4=IFCD(#99,#5);\n#5=IFCE($);\n"));
    int asked = 0;
    ReferenceSearch missing(scan, [&](int id) {
        ++asked;
        return !scan.Defined(id);
    });
    auto found = missing.Through(1, 2);
    EXPECT_EQ(found.holder, 4);
    EXPECT_EQ(found.target, 99);
    found = missing.Below(1);
    EXPECT_EQ(found.holder, 4); // through #2, the first attribute, before #3
    EXPECT_EQ(found.target, 99);
    EXPECT_EQ(missing.Through(3, 98).holder, 3);
    EXPECT_FALSE(missing.Below(5));
    EXPECT_FALSE(missing.Through(1, -1));
    const int afterAll = asked;
    missing.Below(2);
    missing.Below(4);
    EXPECT_EQ(asked, afterAll); // known from before
}

TEST(StepSyntax, FindsRecordsNumberedNearAndFar) {
    // Numbers far past the file's size beside small ones, out of order; #7 and #900000000 are
    // referred to and not there.
    const std::string data = "#5=IFCA(#999999000);\n#999999000=IFCB(#3);\n#3=IFCC(#7,#900000000);\n#1=IFCD(#5);\n";
    EXPECT_EQ(ErrorOf(data), "");
    StepScan scan = ScanStepEntities(File(data));
    EXPECT_EQ(scan.ids, (std::vector<int>{5, 999999000, 3, 1}));
    for (auto [id, place] : {std::pair{5, 0}, {999999000, 1}, {3, 2}, {1, 3}, {7, -1}, {900000000, -1}, {0, -1}, {-4, -1}}) {
        EXPECT_EQ(scan.Position(id), place) << id;
        EXPECT_EQ(scan.Defined(id), place >= 0) << id;
    }
    EXPECT_EQ(scan.InNumberOrder(), (std::vector<uint32_t>{3, 2, 0, 1}));
    EXPECT_EQ(ErrorOf("#999999000=IFCB($);\n#999999000=IFCB(1);\n"), "entity #999999000 is defined twice, differently (on lines 8 and 9)");
    EXPECT_EQ(ErrorOf("#5=IFCA(#999999000);\n#999999000=IFCB(#5);\n"), "entity #5 refers back to itself through its attributes");
}
