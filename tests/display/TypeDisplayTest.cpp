#include "display/ConstructionTypeDisplay.h"
#include "hostapi/HostElementRecord.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> ElementOf(int32_t kind) {
    std::vector<uint8_t> e(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(e, HostElement::kKind, kind);
    return e;
}

TEST(TypeDisplay, WallFlagsAreSavedAllOrNothing) {
    auto wall = ElementOf(1);
    LE::Put<int16_t>(wall, 104, 3);
    LE::Put<int16_t>(wall, 118, 9);
    wall[131] = 1;
    wall[132] = 1;
    wall[133] = 0;
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0);
    ElementLinkRecord link;
    TypeDisplay::OverrideAttributes(wall, mask, link, 255, 40);
    EXPECT_EQ(LE::Get<int16_t>(wall, 104), 255);
    EXPECT_EQ(LE::Get<int16_t>(wall, 122), 40);
    EXPECT_EQ(LE::Get<int16_t>(mask, 104), -1);
    EXPECT_EQ(mask[131], 1);
    EXPECT_EQ(mask[134], 0);
    EXPECT_EQ(LE::Get<int32_t>(link.Span(), TypeDisplay::kFlag1), 0);
    TypeDisplay::RestoreAttributes(wall, mask, link);
    EXPECT_EQ(LE::Get<int16_t>(wall, 104), 3);
    EXPECT_EQ(LE::Get<int16_t>(wall, 118), 9);
    EXPECT_EQ(wall[131] + wall[132] + wall[133], 0);
    EXPECT_FALSE(TypeDisplay::IsOverridden(link));
}

TEST(TypeDisplay, FirstPenZeroStillCountsAsOverridden) {
    auto wall = ElementOf(1);
    LE::Put<int16_t>(wall, 104, 0);
    LE::Put<int16_t>(wall, 112, 4);
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0);
    ElementLinkRecord link;
    TypeDisplay::OverrideAttributes(wall, mask, link, 255, 40);
    EXPECT_TRUE(TypeDisplay::IsOverridden(link));
    TypeDisplay::RestoreAttributes(wall, mask, link);
    EXPECT_EQ(LE::Get<int16_t>(wall, 104), 0);
    EXPECT_EQ(LE::Get<int16_t>(wall, 112), 4);
    EXPECT_FALSE(TypeDisplay::IsOverridden(link));

    // A record of an earlier version, overridden with only its first saved pen as the mark.
    ElementLinkRecord earlier;
    LE::Put<int16_t>(earlier.Span(), TypeDisplay::kPen1, 3);
    EXPECT_TRUE(TypeDisplay::IsOverridden(earlier));
    TypeDisplay::RestoreAttributes(wall, mask, earlier);
    EXPECT_EQ(LE::Get<int16_t>(wall, 104), 3);
    EXPECT_EQ(earlier, ElementLinkRecord());
}

TEST(TypeDisplay, DoorFlagsComeBackEachToItsOwnField) {
    auto door = ElementOf(5);
    LE::Put<int16_t>(door, 104, 6);
    door[120] = 1;
    door[122] = 0;
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0);
    ElementLinkRecord link;
    TypeDisplay::OverrideAttributes(door, mask, link, 254, 41);
    EXPECT_EQ(door[120], 0);
    TypeDisplay::RestoreAttributes(door, mask, link);
    EXPECT_EQ(door[120], 1);
    EXPECT_EQ(door[122], 0);
}

TEST(TypeDisplay, CurtainWallPairsAndUntouchedKinds) {
    auto cw = ElementOf(37);
    LE::Put<int16_t>(cw, 226, 8);
    LE::Put<int16_t>(cw, 1762, 12);
    LE::Put<int16_t>(cw, 1978, 13);
    cw[245] = 1;
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0);
    ElementLinkRecord link;
    TypeDisplay::OverrideAttributes(cw, mask, link, 252, 44);
    EXPECT_EQ(LE::Get<int16_t>(link.Span(), TypeDisplay::kMat4), 12);
    EXPECT_EQ(LE::Get<int16_t>(link.Span(), TypeDisplay::kMat5), 12);
    EXPECT_EQ(LE::Get<int16_t>(cw, 1978), 44);
    TypeDisplay::RestoreAttributes(cw, mask, link);
    EXPECT_EQ(LE::Get<int16_t>(cw, 1762), 12);
    EXPECT_EQ(LE::Get<int16_t>(cw, 1978), 13);
    EXPECT_EQ(cw[245], 1);

    auto dimension = ElementOf(11);
    LE::Put<int16_t>(dimension, 104, 5);
    auto before = dimension;
    ElementLinkRecord empty;
    TypeDisplay::OverrideAttributes(dimension, mask, empty, 255, 40);
    EXPECT_EQ(dimension, before);
    EXPECT_EQ(empty, ElementLinkRecord());

    // A zone's byte at 108 becomes 1 both ways.
    auto zone = ElementOf(17);
    LE::Put<int16_t>(zone, 104, 2);
    TypeDisplay::OverrideAttributes(zone, mask, link, 251, 0);
    EXPECT_EQ(zone[108], 1);
    zone[108] = 0;
    TypeDisplay::RestoreAttributes(zone, mask, link);
    EXPECT_EQ(zone[108], 1);
    EXPECT_EQ(LE::Get<int16_t>(zone, 104), 2);
}

TEST(TypeDisplay, RestoreLeavesTheUnusedBytes) {
    auto wall = ElementOf(1);
    LE::Put<int16_t>(wall, 104, 3);
    std::vector<uint8_t> mask(HostElement::kRecordSize, 0);
    ElementLinkRecord link;
    link.SetSlot(0, 7);
    link.SetSavedLayer(4);
    link.bytes[58] = 0xAA;
    link.bytes[85] = 0xBB;
    TypeDisplay::OverrideAttributes(wall, mask, link, 255, 40);
    TypeDisplay::RestoreAttributes(wall, mask, link);
    EXPECT_EQ(link.Slot(0), 7);
    EXPECT_EQ(link.SavedLayer(), 4);
    EXPECT_EQ(link.bytes[58], 0xAA);
    EXPECT_EQ(link.bytes[85], 0xBB);
    for (size_t i = 42; i < 58; ++i) EXPECT_EQ(link.bytes[i], 0);
}

} // namespace
