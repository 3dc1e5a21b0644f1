// Record names numbered once give each record the name StepTypeAt reads (and RecordTypeAt upper
// case), the same on one thread or several, find records by name in either case or as written
// and in number order, and a file with more names than a number holds reads the rest from its text.
#include "host/ifc/helper/RecordTypes.h"

#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepDataReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kHeader = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
                            "FILE_SCHEMA(('IFC4'));\nENDSEC;\nDATA;\n";
const std::string kEnd = "ENDSEC;\nEND-ISO-10303-21;\n";

// `count` records numbered from the top down, cycling through `names`, one in every 1000 complex.
std::string ManyRecords(size_t count, const std::vector<std::string>& names) {
    std::string text = kHeader;
    for (size_t i = 0; i < count; ++i) {
        const std::string id = "#" + std::to_string(count - i) + "=";
        const std::string& name = names[i % names.size()];
        text += i % 1000 == 7 ? id + "( " + name + "($) IFCB($));\n" : id + name + "($);\n";
    }
    return text + kEnd;
}

void ExpectSameAsText(const std::string& text, const StepScan& scan, const RecordTypes& types) {
    ASSERT_EQ(types.Count(), scan.ids.size());
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        ASSERT_EQ(types.WrittenAt(position), StepTypeAt(text, scan.Offset(position))) << position;
        ASSERT_EQ(types.UpperAt(position), RecordTypeAt(text, scan, position)) << position;
        ASSERT_EQ(types.ComplexAt(position), position % 1000 == 7) << position;
    }
}

} // namespace

TEST(RecordTypes, NameEveryRecordAsTheTextDoesOnOneThreadOrMany) {
    const std::vector<std::string> names{"IFCWALL", "IfcWall", "IFCRELAGGREGATES", "IFCCARTESIANPOINT", "IFCCARTESIANPOINT",
                                         "IFCRELNESTS", "IfcRelAggregates", "IFCPROJECT"};
    // Enough records for stretches on several threads, each writing some names first.
    const std::string text = ManyRecords(300'000, names);
    const StepScan scan = ScanStepEntities(text);
    const RecordTypes one(text, scan, 1), four(text, scan, 4);
    ExpectSameAsText(text, scan, one);
    ExpectSameAsText(text, scan, four);
    for (uint32_t position = 0; position < scan.ids.size(); ++position)
        ASSERT_EQ(one.NumberAt(position), four.NumberAt(position)) << position;
    // Numbered as first written; each spelling its own.
    EXPECT_EQ(one.Written(0), "IFCWALL");
    EXPECT_EQ(one.Written(1), "IfcWall");
    EXPECT_NE(one.NumberAt(0), one.NumberAt(1));

    std::vector<uint32_t> aggregates;
    std::vector<uint32_t> exactly;
    for (uint32_t position = 0; position < scan.ids.size(); ++position) {
        if (RecordTypeIs(StepTypeAt(text, scan.Offset(position)), "IFCRELAGGREGATES")) aggregates.push_back(position);
        if (StepTypeAt(text, scan.Offset(position)) == "IFCRELAGGREGATES") exactly.push_back(position);
    }
    EXPECT_EQ(four.Find({"IFCRELAGGREGATES"}), aggregates);
    EXPECT_EQ(four.FindAsWritten({"IFCRELAGGREGATES"}), exactly);
    EXPECT_TRUE(four.Is(aggregates.back(), "IFCRELAGGREGATES"));
    EXPECT_FALSE(four.Is(aggregates.back(), "IFCRELNESTS"));
    std::vector<bool> isAggregates(scan.ids.size(), false);
    for (uint32_t position : aggregates) isAggregates[position] = true;
    std::vector<uint32_t> byNumber;
    for (uint32_t position : scan.InNumberOrder())
        if (isAggregates[position]) byNumber.push_back(position);
    EXPECT_EQ(four.FindInNumberOrder({"IFCRELAGGREGATES"}), byNumber);
    EXPECT_TRUE(four.Find({"IFCSLAB"}).empty());
}

TEST(RecordTypes, NamesPastTheNumbersAreReadFromTheText) {
    std::vector<std::string> names;
    for (int i = 0; i < RecordTypes::kUnnumbered + 500; ++i) names.push_back("IFCX" + std::to_string(i));
    names.push_back("IFCRELNESTS");
    const std::string text = ManyRecords(names.size() * 3, names);
    const StepScan scan = ScanStepEntities(text);
    const RecordTypes types(text, scan, 2);
    ExpectSameAsText(text, scan, types);
    EXPECT_EQ(types.NumberAt(static_cast<uint32_t>(names.size() - 1)), RecordTypes::kUnnumbered);
    EXPECT_EQ(types.FindAsWritten({"IFCRELNESTS"}).size(), 3u);
    EXPECT_EQ(types.Find({"IFCX40"}).size(), 3u);
    EXPECT_EQ(types.Find({"IFCX33000"}).size(), 3u);
}
