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

namespace {

// Records #first.. one a line, each referring to #7 and to a product's placement and body, enough of
// them that a text holding them is read in two halves at once.
std::string Filler(int first, int count) {
    std::string data;
    for (int id = first; id < first + count; ++id)
        data += "#" + std::to_string(id) + "=IFCWALL('g',#7,$,$,$,#" + std::to_string(id + 1) + ",#" + std::to_string(id + 2) + ",$);\n";
    return data;
}

constexpr int kFillerRecords = 30'000; // 1.5 MB

// Every "line N" of a message N + `lines`.
std::string LinesOn(const std::string& message, size_t lines) {
    std::string out;
    size_t at = 0;
    for (size_t found; (found = message.find("line", at)) != std::string::npos;) {
        size_t digits = message.find_first_not_of(" s", found + 4);
        size_t end = message.find_first_not_of("0123456789", digits);
        out += message.substr(at, digits - at);
        if (end == digits) {
            at = digits;
            continue;
        }
        out += std::to_string(std::stoul(message.substr(digits, end - digits)) + lines);
        at = end;
        // "on lines A and B"
        if (message.compare(at, 5, " and ") == 0) {
            size_t second = at + 5, secondEnd = message.find_first_not_of("0123456789", second);
            out += " and " + std::to_string(std::stoul(message.substr(second, secondEnd - second)) + lines);
            at = secondEnd;
        }
    }
    return out + message.substr(at);
}

} // namespace

// A large text is read in two halves that meet at a record: the lists are those of one reader
// from the start, a record written again across the halves is read once, and every place is its
// position in file order.
TEST(StepSyntax, ALargeTextReadInHalvesGivesWhatOneReaderGives) {
    // #100 written again just past the middle, and #(100 + 3/2 kFillerRecords) in the second half.
    const int again = 100 + kFillerRecords + kFillerRecords / 2;
    const std::string data = Filler(100, kFillerRecords) + "#100=IFCWALL('g',#7,$,$,$,#101,#102,$);\n" +
                             Filler(100 + kFillerRecords, kFillerRecords / 2 + 1) + Filler(again, 1) +
                             Filler(again + 1, kFillerRecords / 2 - 1);
    const std::string text = File(data);
    const StepScan scan = ScanStepEntities(text);
    ASSERT_EQ(scan.ids.size(), 2u * kFillerRecords);
    EXPECT_EQ(scan.repeated, (std::vector<int>{100, again}));
    size_t at = text.find("DATA;\n") + 6;
    for (uint32_t p = 0; p < scan.ids.size(); ++p) {
        const int id = 100 + static_cast<int>(p);
        if (p == kFillerRecords || id == again + 1) at = text.find('\n', at) + 1; // a record written again
        const size_t end = text.find('\n', at);
        ASSERT_EQ(scan.ids[p], id) << p;
        ASSERT_EQ(scan.Position(id), p);
        ASSERT_EQ(scan.Offset(p), at) << p;
        ASSERT_EQ(scan.End(p), end) << p;
        ASSERT_EQ(std::vector<int>(scan.References(p).begin(), scan.References(p).end()), (std::vector<int>{7, id + 1, id + 2}));
        ASSERT_EQ(scan.ProductReferences(p), (std::array<int, 2>{id + 1, id + 2}));
        at = end + 1;
    }
}

// Where the line after the middle that looks like a record lies inside a string or a comment,
// the halves do not meet and the text is read from the start.
TEST(StepSyntax, ARecordLineInsideAStringOrCommentIsNoPlaceToSplit) {
    std::string lookalikes;
    for (int i = 0; i < 20'000; ++i) lookalikes += "\n#77=IFCWALL($);";
    for (const std::string& holder : {"#99=IFCTEXT('" + lookalikes + "');\n", "/*" + lookalikes + "*/\n"}) {
        const std::string data = Filler(100, kFillerRecords / 2) + holder + Filler(100 + kFillerRecords / 2, kFillerRecords / 2);
        const StepScan scan = ScanStepEntities(File(data));
        const bool string = holder[0] == '#';
        ASSERT_EQ(scan.ids.size(), size_t{kFillerRecords} + string);
        EXPECT_EQ(scan.Position(99), string ? kFillerRecords / 2 : -1);
        EXPECT_EQ(scan.Position(77), -1);
        EXPECT_EQ(scan.Position(100 + kFillerRecords - 1), kFillerRecords - 1 + string);
    }
}

// A fault in either half, or a number defined again differently across them, is named as one
// reader from the start names it.
TEST(StepSyntax, AFaultInALargeTextIsNamedAsInASmallOne) {
    const std::string filler = Filler(100, kFillerRecords);
    const size_t fillerLines = static_cast<size_t>(kFillerRecords);
    const std::pair<const char*, const char*> cases[] = {
        {"#1=IFCA('x',$);\n#2=IFCB('abc,$);\n#3=IFCC('def',#2);\n",
         "syntax error on line 10 in #2 (which begins on line 9): unexpected \"def',#2);\" where \",\" or \")\" belongs, "
         "after a string that begins on line 9 (is an apostrophe missing?)"},
        {"#1=IFCA($);\nIFCB($);\n", "syntax error on line 9 after #1: unexpected \"IFCB($);\" where a record \"#N=\" belongs"},
        {"#1=IFCA($);\n/* open\n#2=IFCB($);\n", "syntax error on line 9 after #1: a comment does not end before the end of the file"},
        {"#1=IFCA(#12345678901);\n", "syntax error on line 8 in #1: the record number #1234567890... is too large"},
    };
    for (const auto& [fault, error] : cases) {
        EXPECT_EQ(ErrorOf(filler + fault), LinesOn(error, fillerLines)) << fault;
        // Before the middle, with the rest after it; a comment left open swallows them.
        EXPECT_EQ(ErrorOf(fault + filler), error) << fault;
    }
    EXPECT_EQ(ErrorOf("#100=IFCWALL($);\n" + Filler(101, kFillerRecords) + "#100=IFCWALL(1);\n"),
              "entity #100 is defined twice, differently (on lines 8 and " + std::to_string(9 + kFillerRecords) + ")");
}

// What is handed the scan while its loops are checked sees all of it; a loop is thrown rather
// than what it throws.
TEST(StepSyntax, TheScanIsHandedOverWhileItsLoopsAreChecked) {
    size_t seen = 0;
    const StepScan scan = ScanStepEntities(File("#1=IFCA(#2);\n#2=IFCB($);\n"), [&](const StepScan& s) { seen = s.ids.size(); });
    EXPECT_EQ(seen, 2u);
    EXPECT_EQ(scan.ids.size(), 2u);
    auto refuse = [](const StepScan&) { throw EIfcFile("no room"); };
    auto errorWith = [&](const std::string& data) {
        try {
            ScanStepEntities(File(data), refuse);
        } catch (const EIfcFile& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(errorWith("#1=IFCA(#2);\n#2=IFCB(#1);\n"), "entity #1 refers back to itself through its attributes");
    EXPECT_EQ(errorWith("#1=IFCA(#2);\n#2=IFCB($);\n"), "no room");
}
