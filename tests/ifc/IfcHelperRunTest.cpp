// The reader and its helper program: the phases it reports, a cancel that ends the helper and
// its second process wherever the read is, even while the helper says nothing, and a product
// made off its fixed heap told in the report.
#include "IfcReadRecorder.h"
#include "IfcTestFiles.h"

#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/reader/IfcReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

using ifctest::IfcText;

} // namespace

TEST(IfcHelperRun, ReportsTheTextCheckThenEveryProductAsItArrives) {
    // The duplex holds ten times as many records that might be products as products: the total
    // must count only the products.
    for (const char* file : {"IfcOpenHouse.ifc", "duplex.ifc"}) {
        SCOPED_TRACE(file);
        ifctest::ReadRecorder recorder;
        const IfcBuildingData data = ReadIfcText(IfcText(file), &recorder);
        ASSERT_GE(recorder.reports.size(), 3u);
        EXPECT_EQ(recorder.reports.front().phase, IfcReadPhase::CheckingText);
        EXPECT_EQ(recorder.reports[1].phase, IfcReadPhase::Converting);
        EXPECT_EQ(recorder.reports[1].done, 0u);
        // The total, once the helper has said how many it converts.
        const size_t total = recorder.reports.back().total;
        EXPECT_EQ(total, data.products.size() + data.skipped.size());
        size_t last = 0;
        for (size_t i = 1; i < recorder.reports.size(); ++i) {
            EXPECT_EQ(recorder.reports[i].phase, IfcReadPhase::Converting);
            EXPECT_TRUE(recorder.reports[i].total == 0 || recorder.reports[i].total == total);
            EXPECT_GE(recorder.reports[i].done, last);
            last = recorder.reports[i].done;
        }
        EXPECT_EQ(last, data.products.size() + data.skipped.size());
    }
}

// On a file shared between two processes, cancelled once the first product came: the read
// throws, and neither the helper nor its second process is left.
TEST(IfcHelperRun, ACancelEndsTheHelperAndItsSecondProcess) {
    ifctest::ReadRecorder recorder;
    recorder.cancelAfterProducts = 1;
    EXPECT_THROW(ReadIfcText(IfcText("duplex.ifc"), &recorder), EIfcCancelled);
    EXPECT_FALSE(recorder.helpers.empty());
    EXPECT_TRUE(ifctest::AllEnded(recorder.helpers));
    EXPECT_TRUE(ifctest::ChildrenOf(getpid()).empty());
}

// A helper that hangs on its first product, with the default time-outs of a minute: the cancel
// is heard within a poll's time all the same.
TEST(IfcHelperRun, ACancelIsHeardWhileTheHelperSaysNothing) {
    setenv("BV_IFC_FAULT", "hang:0", 1);
    ifctest::ReadRecorder recorder;
    recorder.cancelAfter = 400ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(ReadIfcText(IfcText("IfcOpenHouse.ifc"), &recorder), EIfcCancelled);
    unsetenv("BV_IFC_FAULT");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 400ms + 2s);
    EXPECT_TRUE(ifctest::AllEnded(recorder.helpers));
    EXPECT_TRUE(ifctest::ChildrenOf(getpid()).empty());
}

TEST(IfcHelperRun, ACancelBeforeTheHelperStartsStartsNone) {
    ifctest::ReadRecorder recorder;
    recorder.cancelAfterReports = 1;
    EXPECT_THROW(ReadIfcText(IfcText("IfcOpenHouse.ifc"), &recorder), EIfcCancelled);
    EXPECT_TRUE(recorder.helpers.empty());
}

TEST(IfcHelperRun, AProductOffItsFixedHeapIsOneLineOfTheReport) {
    const IfcBuildingData clean = ReadIfcText(IfcText("IfcOpenHouse.ifc"));
    // The first product converted with a body: those before have none to make.
    IfcBuildingData noted;
    for (int n = 0; n < 10 && noted.notes.size() <= clean.notes.size(); ++n) {
        setenv("BV_IFC_FAULT", ("offheap:" + std::to_string(n)).c_str(), 1);
        noted = ReadIfcText(IfcText("IfcOpenHouse.ifc"));
    }
    unsetenv("BV_IFC_FAULT");
    ASSERT_EQ(noted.products.size(), clean.products.size());
    ASSERT_EQ(noted.notes.size(), clean.notes.size() + 1);
    EXPECT_EQ(noted.notes.back().kind, IfcNoteKind::OffFixedHeap);
    const auto lines = IfcOpeningReport(noted.schema, noted.products.size(), noted.skipped, noted.notes);
    const auto cleanLines = IfcOpeningReport(clean.schema, clean.products.size(), clean.skipped, clean.notes);
    ASSERT_EQ(lines.size(), cleanLines.size() + 1);
    EXPECT_EQ(lines.back(), "  kept 1, a shape not made on its fixed heap, not the same bytes on every open: " + noted.notes.back().label);
}

// A fault asked for in words the seam does not know is not taken for no fault.
TEST(IfcHelperRun, AFaultNotUnderstoodStopsTheHelper) {
    for (const char* fault : {"crash", "crash:x", "melt:3", "hang:3:third"}) {
        setenv("BV_IFC_FAULT", fault, 1);
        EXPECT_THROW(ReadIfcText(IfcText("IfcOpenHouse.ifc")), EIfcFile) << fault;
    }
    unsetenv("BV_IFC_FAULT");
}

TEST(IfcHelperRun, AHelperNotThereIsAFileError) {
    setenv("BV_IFC_HELPER", "/nonexistent/quorvel-ifc", 1);
    try {
        ReadIfcText(IfcText("IfcOpenHouse.ifc"));
        ADD_FAILURE() << "read without its helper";
    } catch (const EIfcFile& e) {
        EXPECT_NE(std::string(e.what()).find("cannot start the IFC conversion: /nonexistent/quorvel-ifc"), std::string::npos) << e.what();
    }
    unsetenv("BV_IFC_HELPER");
    // Programs that speak no record stream: one that says nothing, one that says something else.
    setenv("BV_IFC_HELPER", "/bin/true", 1);
    try {
        ReadIfcText(IfcText("IfcOpenHouse.ifc"));
        ADD_FAILURE() << "read by a helper that said nothing";
    } catch (const EIfcFile& e) {
        EXPECT_EQ(std::string(e.what()), "cannot start the IFC conversion: /bin/true ended before it began");
    }
    const std::string other = testing::TempDir() + "/other-stream-" + std::to_string(getpid());
    std::ofstream(other) << "#!/bin/sh\nprintf 'QVIFCREC\\002\\000\\000\\000' >&3\n";
    ASSERT_EQ(chmod(other.c_str(), 0755), 0);
    setenv("BV_IFC_HELPER", other.c_str(), 1);
    try {
        ReadIfcText(IfcText("IfcOpenHouse.ifc"));
        ADD_FAILURE() << "read by a helper of another version";
    } catch (const EIfcFile& e) {
        EXPECT_EQ(std::string(e.what()), "cannot convert: " + other + " is not the reader's own version");
    }
    unsetenv("BV_IFC_HELPER");
    std::remove(other.c_str());
}
