#include "utilkit/UTBeep.h"
#include "utilkit/UTErrorReport.h"

#include <gtest/gtest.h>

namespace {

TEST(UtilKitTest, ReportsAreRecordedWithTheirTextsAndHeardByTheListener) {
    UTResetReports();
    std::vector<std::string> heard;
    UTSetReportListener([&](const UTReport& r) { heard.push_back(r.text); });
    UTReportError(kUTErrorMovieFile);
    UTReportSystemError(kUTCategoryAVIFile, static_cast<int32_t>(0x8004406E));
    UTReportSystemError(9, 5);
    UTSetReportListener(nullptr);

    ASSERT_EQ(UTReports().size(), 3u);
    EXPECT_EQ(UTReports()[0].kind, UTReportKind::ErrorNumber);
    EXPECT_EQ(UTReports()[0].number, 57);
    EXPECT_EQ(UTReports()[0].text, "The movie file cannot be written.");
    EXPECT_EQ(UTReports()[1].kind, UTReportKind::SystemError);
    EXPECT_EQ(UTReports()[1].category, 4);
    EXPECT_EQ(UTReports()[1].text, "Video file error 0x8004406E: the file cannot be written.");
    EXPECT_EQ(heard.size(), 3u);
    UTResetReports();
    EXPECT_TRUE(UTReports().empty());
}

TEST(UtilKitTest, BeepsAreCounted) {
    UTResetBeeps();
    uint32_t lastKind = 99;
    UTSetBeepListener([&](uint32_t kind) { lastKind = kind; });
    UTBeep(0);
    UTBeep(0);
    UTSetBeepListener(nullptr);
    EXPECT_EQ(UTBeepCount(), 2);
    EXPECT_EQ(lastKind, 0u);
}

} // namespace
