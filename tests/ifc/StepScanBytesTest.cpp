// The reader's scan as the helper takes it: the same scan back, and bytes cut short or pointing
// outside their lists refused rather than trusted.
#include "IfcTestFiles.h"

#include "host/ifc/step/StepScanBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

namespace {

std::string BytesOf(const StepScan& scan) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    std::string bytes;
    // Small scans only: the pipe holds them whole.
    WriteStepScan(scan, fds[1]);
    close(fds[1]);
    char block[4096];
    for (ssize_t n; (n = read(fds[0], block, sizeof block)) > 0;) bytes.append(block, static_cast<size_t>(n));
    close(fds[0]);
    return bytes;
}

} // namespace

TEST(StepScanBytes, TheScanComesBackAsItWasAndNothingElseIsTaken) {
    const std::string text = ifctest::IfcText("repeated-records.ifc");
    StepScan scan = ScanStepEntities(text);
    scan.farPlaces.emplace(2'000'000'000, 0); // a number past the table, as a large file may have
    const std::string bytes = BytesOf(scan);
    StepScan back;
    ASSERT_TRUE(ReadStepScan(bytes, text.size(), back));
    EXPECT_EQ(back.ids, scan.ids);
    EXPECT_EQ(back.repeated, scan.repeated);
    EXPECT_EQ(back.places, scan.places);
    EXPECT_EQ(back.farPlaces, scan.farPlaces);
    EXPECT_EQ(back.firstRef, scan.firstRef);
    EXPECT_EQ(back.refs, scan.refs);
    EXPECT_EQ(back.offsets, scan.offsets);
    EXPECT_EQ(back.ends, scan.ends);
    EXPECT_EQ(back.productRefs, scan.productRefs);

    for (size_t cut = 0; cut < bytes.size(); ++cut) EXPECT_FALSE(ReadStepScan(bytes.substr(0, cut), text.size(), back)) << cut;
    EXPECT_FALSE(ReadStepScan(bytes + "x", text.size(), back));
    // A record that ends past the text.
    EXPECT_FALSE(ReadStepScan(bytes, scan.ends.back() - 1, back));
    // A place past the records, a list of references past its end.
    StepScan bad = scan;
    bad.places[static_cast<size_t>(scan.ids.front())] = static_cast<uint32_t>(scan.ids.size());
    EXPECT_FALSE(ReadStepScan(BytesOf(bad), text.size(), back));
    bad = scan;
    bad.firstRef.back() += 1;
    EXPECT_FALSE(ReadStepScan(BytesOf(bad), text.size(), back));
    bad = scan;
    bad.firstRef[1] = bad.firstRef[2] + 1;
    EXPECT_FALSE(ReadStepScan(BytesOf(bad), text.size(), back));
    // A count larger than the bytes could hold.
    std::string huge = bytes;
    const uint64_t count = uint64_t{1} << 62;
    std::memcpy(huge.data(), &count, sizeof count);
    EXPECT_FALSE(ReadStepScan(huge, text.size(), back));
}

TEST(ProductRefList, GivesBackEachRecordsReferencesAcrossItsWords) {
    ProductRefList list;
    std::vector<std::array<int, 2>> written;
    for (int i = 0; i < 200; ++i) {
        std::array<int, 2> refs = ProductRefList::kNone;
        if (i == 0 || i == 63 || i == 64 || i == 130 || i == 199) refs = {i * 10, i % 2 ? -1 : i};
        if (i == 65) refs = {-1, 7}; // a representation without a placement
        written.push_back(refs);
        list.push_back(refs);
    }
    ASSERT_EQ(list.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) EXPECT_EQ(list[i], written[i]) << i;
    ProductRefList front;
    front.Append(list, 131);
    ASSERT_EQ(front.size(), 131u);
    for (size_t i = 0; i < front.size(); ++i) EXPECT_EQ(front[i], written[i]) << i;
    EXPECT_FALSE(front == list);
}
