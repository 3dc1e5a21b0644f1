#include "HostFixture.h"
#include "display/ElementHider.h"
#include "schedule/Exceptions.h"

namespace {

using ElementLinkTest = HostFixture;

TEST(ElementLinkSlots, CountAndCompact) {
    EXPECT_EQ(CountLinks({5, 7, 0, 0, 0, 0, 0, 0, 0, 0}), 2);
    EXPECT_EQ(CountLinks({}), 0);
    EXPECT_EQ(CountLinks({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 10);
    ElementLink s = {5, 0, 9, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(s), 3);
    EXPECT_EQ(s, (ElementLink{5, 9, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Two gaps: every id stays once, in order.
    ElementLink two = {0, 4, 0, 0, 8, 0, 0, 0, 0, 0};
    EXPECT_EQ(CompactLinks(two), 5);
    EXPECT_EQ(two, (ElementLink{4, 8, 0, 0, 0, 0, 0, 0, 0, 0}));
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
