#include "HostFixture.h"
#include "display/ElementHider.h"
#include "schedule/tasks/Exceptions.h"

namespace {

using ElementLinkTest = HostFixture;

TEST(ElementLinkSlots, CountAndCompact) {
    EXPECT_EQ(CountLinks({5, 7, 0, 0, 0, 0, 0, 0, 0, 0}), 2);
    EXPECT_EQ(CountLinks({}), 0);
    EXPECT_EQ(CountLinks({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 10);
    ElementLink s = {5, 0, 9, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(s), 3);
    EXPECT_EQ(s, (ElementLink{5, 9, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Two gaps: the last id moves into each gap in turn, and no id is copied twice.
    ElementLink two = {0, 4, 0, 0, 8, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(two), 5);
    EXPECT_EQ(two, (ElementLink{8, 4, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ElementLinkSlots, CompactingMovesTheLastLinkIntoEachGap) {
    // One gap: the last link takes its place, so the order of the rest changes.
    ElementLink one = {5, 0, 9, 3, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(one), 4);
    EXPECT_EQ(one, (ElementLink{5, 3, 9, 0, 0, 0, 0, 0, 0, 0}));
    ElementLink several = {1, 0, 0, 4, 5, 6, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(several), 6);
    EXPECT_EQ(several, (ElementLink{1, 6, 5, 4, 0, 0, 0, 0, 0, 0}));
    // Gaps behind the last link and a record without gaps stay as they are.
    ElementLink tight = {1, 2, 3, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(tight), 3);
    EXPECT_EQ(tight, (ElementLink{1, 2, 3, 0, 0, 0, 0, 0, 0, 0}));
    ElementLink lastOnly = {0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_EQ(CompactLinks(lastOnly), 10);
    EXPECT_EQ(lastOnly, (ElementLink{7, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    ElementLink empty{};
    EXPECT_EQ(CompactLinks(empty), 0);
    EXPECT_EQ(empty, ElementLink{});
}

TEST_F(ElementLinkTest, ReadingChecksVersionAndPresence) {
    ElementHider hider;
    Element& wall = AddElement(1, "FAL-01");
    ElementLinkRecord rec;
    try {
        hider.ReadElementLink(1, wall.Guid(), rec);
        FAIL() << "no record";
    } catch (const EElementHider& e) {
        EXPECT_EQ(e.Code(), 220);
        EXPECT_STREQ(e.SourceName(), "ElementHider");
    }
    for (int16_t version : {99, 104}) {
        host->Model().SetUserData(wall, "Bauvista", UserDataBlock{version, 0x5757, std::vector<uint8_t>(88, 1)});
        EXPECT_THROW(hider.ReadElementLink(1, wall.Guid(), rec), EElementHider) << version;
    }
    // An accepted version whose block is too short is not read past.
    host->Model().SetUserData(wall, "Bauvista", UserDataBlock{101, 0x5757, std::vector<uint8_t>(20, 1)});
    EXPECT_THROW(hider.ReadElementLink(1, wall.Guid(), rec), EElementHider);
    std::vector<uint8_t> bytes(88, 0);
    bytes[0] = 7;
    host->Model().SetUserData(wall, "Bauvista", UserDataBlock{100, 0x5757, bytes});
    hider.ReadElementLink(1, wall.Guid(), rec);
    EXPECT_EQ(rec.Slot(0), 7);
}

TEST_F(ElementLinkTest, WritingUnlocksAndRelocksWhenAllowed) {
    ElementHider hider;
    Element& wall = AddElement(1, "FAL-01");
    wall.SetLocked(true);
    ElementLinkRecord rec;
    rec.SetSlots({3, 4, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_THROW(hider.WriteElementLink(1, wall.Guid(), rec, false), EElementHider);
    EXPECT_TRUE(wall.userData.empty());
    EXPECT_TRUE(hider.WriteElementLink(1, wall.Guid(), rec, true));
    EXPECT_TRUE(wall.Locked());
    ASSERT_EQ(wall.userData.count("Bauvista"), 1u);
    EXPECT_EQ(wall.userData["Bauvista"].version, 103);
    EXPECT_EQ(wall.userData["Bauvista"].platformSign, 0x5757);
    ElementLinkRecord back;
    hider.ReadElementLink(1, wall.Guid(), back);
    EXPECT_EQ(back, rec);

    // The host refuses user data on a camera: not written, no error.
    Element& camera = AddElement(26, "KAM-01");
    EXPECT_FALSE(hider.WriteElementLink(26, camera.Guid(), rec, true));
}

TEST_F(ElementLinkTest, ClearingASlotWritesAtOnceAndRemovalUndoes) {
    ElementHider hider;
    Element& wall = AddElement(1, "FAL-01");
    ElementLinkRecord rec;
    rec.SetSlots({3, 4, 5, 0, 0, 0, 0, 0, 0, 0});
    hider.WriteElementLink(1, wall.Guid(), rec, true);
    hider.ClearLinkSlot(rec, 1, 1, wall.Guid());
    ElementLinkRecord back;
    hider.ReadElementLink(1, wall.Guid(), back);
    EXPECT_EQ(back.Slots(), (ElementLink{3, 0, 5, 0, 0, 0, 0, 0, 0, 0}));

    // A failing write shows the internal error and goes on.
    wall.SetLocked(true);
    hider.ClearLinkSlot(rec, 0, 1, wall.Guid());
    ASSERT_FALSE(DGShownAlerts().empty());
    EXPECT_EQ(DGShownAlerts().back().id, 32527);
    wall.SetLocked(false);

    HostUndoOpen("Kapcsolat");
    hider.RemoveElementLink(1, wall.Guid());
    HostUndoClose();
    EXPECT_THROW(hider.ReadElementLink(1, wall.Guid(), back), EElementHider);
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    hider.ReadElementLink(1, wall.Guid(), back);
    EXPECT_EQ(back.Slot(2), 5);
}

} // namespace
