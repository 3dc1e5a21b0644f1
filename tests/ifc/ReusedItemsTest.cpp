// Bodies and items that say the same made once: what a record says, its number aside; and a plan
// that takes them from one made before coming out the same bytes as one that makes them all.
#include "host/HostTestFiles.h"

#include "host/ifc/helper/RecordContent.h"
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/helper/RecordTypes.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

const std::string kHeader = "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('','',(''),(''),'','','');\n"
                            "FILE_SCHEMA(('IFC2X3'));\nENDSEC;\nDATA;\n";
const std::string kEnd = "ENDSEC;\nEND-ISO-10303-21;\n";

uint32_t At(const StepScan& scan, int id) { return static_cast<uint32_t>(scan.Position(id)); }

// The file's elements (records numbered from 100 to 999) written again, numbered 1000 higher,
// and standing on a storey placement of their own 6 m up.
std::string WithCopies(const std::string& text) {
    const size_t end = text.find("ENDSEC;", text.find("DATA;"));
    std::string copies = "#9000=IFCLOCALPLACEMENT(#40,#9001);\n#9001=IFCAXIS2PLACEMENT3D(#9002,$,$);\n"
                         "#9002=IFCCARTESIANPOINT((0.,0.,6000.));\n";
    const std::regex line(R"(^#(\d+)=.*$)", std::regex::multiline);
    for (auto it = std::sregex_iterator(text.begin(), text.begin() + static_cast<long>(end), line); it != std::sregex_iterator(); ++it) {
        const int id = std::stoi((*it)[1]);
        if (id < 100 || id > 999) continue;
        std::string record = it->str(), out;
        const std::regex reference(R"(#(\d+))");
        size_t last = 0;
        for (auto r = std::sregex_iterator(record.begin(), record.end(), reference); r != std::sregex_iterator(); ++r) {
            out += record.substr(last, static_cast<size_t>(r->position()) - last);
            const int to = std::stoi((*r)[1]);
            out += "#" + std::to_string(to == 50 ? 9000 : to >= 100 && to <= 999 ? to + 1000 : to);
            last = static_cast<size_t>(r->position() + r->length());
        }
        out += record.substr(last);
        // New GlobalIds: the last letter of each turned.
        copies += std::regex_replace(out, std::regex(R"('([0-9A-Za-z_$]{21})([0-9A-Za-z_$])')"), "'$1X'") + "\n";
    }
    return text.substr(0, end) + copies + text.substr(end);
}

// Every product's mesh in the two plans, the same bytes; the count of products compared.
size_t ExpectSameMeshes(const RecordPathPlan& a, const RecordPathPlan& b, size_t records) {
    size_t compared = 0;
    for (uint32_t position = 0; position < records; ++position) {
        EXPECT_EQ(a.ByRecords(position), b.ByRecords(position)) << position;
        if (!a.ByRecords(position) || !b.ByRecords(position)) continue;
        const ProductMesh ma = a.meshes.Copy(position).value(), mb = b.meshes.Copy(position).value();
        EXPECT_TRUE(ma.vertices == mb.vertices && ma.triangles == mb.triangles) << "the product at " << position;
        ++compared;
    }
    return compared;
}

} // namespace

TEST(RecordContent, RecordsThatSayTheSameButForTheirNumbersAreAlike) {
    const std::string text = kHeader +
                             "#1=IFCCARTESIANPOINT((0.,0.,0.));\n#2=IFCCARTESIANPOINT((0.,0.,0.));\n#3=IFCCARTESIANPOINT((0.,0.,1.));\n"
                             "#10=IFCAXIS2PLACEMENT3D(#1,$,$);\n#11=IFCAXIS2PLACEMENT3D(#2,$,$);\n#12=IFCAXIS2PLACEMENT3D(#3,$,$);\n"
                             "#20=IFCPOLYLOOP((#1,#2,#1));\n#21=IFCPOLYLOOP((#2,#1,#2));\n#22=IFCPOLYLOOP((#1,#1,#3));\n"
                             "#30=IFCPROPERTYSINGLEVALUE('#1',$,$,$);\n#31=IFCPROPERTYSINGLEVALUE('#2',$,$,$);\n"
                             "#40=IFCAXIS2PLACEMENT3D(#99,$,$);\n" +
                             kEnd;
    const StepScan scan = ScanStepEntities(text);
    auto alike = [&](int a, int b) {
        const auto ha = RecordContentHash(text, scan, At(scan, a)), hb = RecordContentHash(text, scan, At(scan, b));
        const bool same = SameRecordContent(text, scan, At(scan, a), At(scan, b));
        // Alike records hash alike; the hashes of these others differ too.
        EXPECT_EQ(same, ha == hb) << a << " and " << b;
        return same;
    };
    EXPECT_TRUE(alike(1, 2));
    EXPECT_TRUE(alike(10, 11));
    EXPECT_FALSE(alike(10, 12)) << "a point below differs";
    EXPECT_TRUE(alike(20, 21)) << "every point the same, whichever its number";
    EXPECT_FALSE(alike(20, 22));
    EXPECT_FALSE(alike(30, 31)) << "a number in a string is text";
    EXPECT_EQ(RecordContentHash(text, scan, At(scan, 40)), std::nullopt) << "it refers to a record not in the file";
    EXPECT_FALSE(SameRecordContent(text, scan, At(scan, 40), At(scan, 40) + 1));
}

TEST(ReusedItems, CopiesOfBodiesWithOpeningsComeOutAsIfMadeEachAlone) {
    const std::string text = WithCopies(ReadWholeFile(SourceFile("tests/data/ifc/openings.ifc")));
    const StepScan scan = ScanStepEntities(text);
    const RecordTypes types(text, scan);
    // One thread: with more, a copy may be made while its original is.
    const RecordPathPlan reused = PlanRecordPath(text, scan, types, 1, true);
    const RecordPathPlan alone = PlanRecordPath(text, scan, types, 1, false);
    EXPECT_EQ(alone.reusedItems, 0u);
    // Each element has openings. Their copies are cut as the originals were, but for the wall
    // with windows: 6 m up, its windows' placements in its coordinates come out a bit apart.
    EXPECT_EQ(reused.reusedItems, 3u);
    EXPECT_EQ(ExpectSameMeshes(reused, alone, scan.ids.size()), 8u);
    const ProductMesh box = reused.meshes.Copy(At(scan, 337)).value(), copy = reused.meshes.Copy(At(scan, 1337)).value();
    ASSERT_EQ(box.vertices.size(), copy.vertices.size());
    EXPECT_EQ(box.triangles, copy.triangles);
    for (size_t i = 0; i < box.vertices.size(); ++i) EXPECT_NEAR(copy.vertices[i][2] - box.vertices[i][2], 6.0, 1e-9);
}

TEST(ReusedItems, RealFilesComeOutTheSameBytesWithItemsReused) {
    for (const char* name : {"../shared/data/ifc/duplex.ifc", "../shared/data/ifc/MULTICOM-Prefab.ifc", "tests/data/ifc/IfcOpenHouse.ifc"}) {
        const std::filesystem::path path = SourceFile(name);
        if (!std::filesystem::exists(path)) continue;
        SCOPED_TRACE(name);
        const std::string text = ReadWholeFile(path);
        const StepScan scan = ScanStepEntities(text);
        const RecordTypes types(text, scan);
        const RecordPathPlan reused = PlanRecordPath(text, scan, types, 2, true);
        const RecordPathPlan alone = PlanRecordPath(text, scan, types, 2, false);
        EXPECT_GT(reused.reusedItems, 0u);
        EXPECT_GT(ExpectSameMeshes(reused, alone, scan.ids.size()), 0u);
    }
}
