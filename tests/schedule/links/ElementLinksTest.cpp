#include "DisplayFixture.h"
#include "display/ConstructionTypeDisplay.h"
#include "schedule/tasks/Exceptions.h"

namespace {

using enum ConstructionType;

struct MarkSink : IMarkSink {
    void SetMarked(bool m) override {
        marked = m;
        ++calls;
    }
    bool marked = false;
    int calls = 0;
};

class ElementLinksTest : public DisplayFixture {
protected:
    void Select(std::initializer_list<Element*> elements) {
        host->Model().Selection().clear();
        for (Element* e : elements) host->Model().Selection().push_back(e->Guid());
    }
    std::vector<std::string> SelectedIds() {
        std::vector<std::string> ids;
        for (const auto& g : host->Model().Selection()) ids.push_back(host->Model().Find(g)->IdText());
        return ids;
    }
};

TEST_F(ElementLinksTest, LinkingAsksBeforeAddingToLinkedElements) {
    Element& fresh = Wall("FAL-01");
    Element& three = Wall("FAL-02");
    Element& full = Wall("FAL-03");
    Element& holds = Wall("FAL-04");
    Link(three, {4, 5, 6});
    Link(full, {1, 2, 3, 4, 5, 6, 8, 9, 10, 12});
    Link(holds, {7});
    Select({&fresh, &three, &full, &holds, &fresh});
    DGQueueAlertAnswer(1); // store the link on the element with three
    db.LinkSelection(7);
    EXPECT_EQ(LinkOf(fresh).Slots(), (ElementLink{7, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LinkOf(three).Slot(3), 7);
    EXPECT_EQ(LinkOf(full).Slot(9), 12);
    EXPECT_EQ(LinkOf(holds).Slots(), (ElementLink{7, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    std::vector<int16_t> ids;
    for (const auto& a : DGShownAlerts()) ids.push_back(a.id);
    EXPECT_EQ(ids, (std::vector<int16_t>{32531, 32530}));
    EXPECT_EQ(DGShownAlerts()[0].params[2], "3");
    EXPECT_EQ(DGShownAlerts()[1].params[2], "10");
}

TEST_F(ElementLinksTest, StopEndsLinkingAndUnlinkWritesOnlyChanges) {
    Element& a = Wall("FAL-01");
    Element& b = Wall("FAL-02");
    Link(a, {1});
    Link(b, {1});
    Select({&a, &b});
    DGQueueAlertAnswer(3);
    db.LinkSelection(2);
    EXPECT_EQ(LinkOf(a).Slot(1), 0);
    EXPECT_EQ(LinkOf(b).Slot(1), 0); // not reached
    Element& none = Wall("FAL-03");
    Select({&a, &none});
    db.LinkSelection(0);
    EXPECT_EQ(LinkOf(a).Slot(0), 0);
    EXPECT_TRUE(none.userData.empty());
}

TEST_F(ElementLinksTest, LinkingALockedElementOnALockedLayer) {
    Element& wall = Wall("FAL-01", locked);
    wall.SetLocked(true);
    Select({&wall});
    db.LinkSelection(5);
    EXPECT_EQ(LinkOf(wall).Slot(0), 5);
    EXPECT_TRUE(wall.Locked());
    auto* layer = host->Model().Attribute(HostAttribute::Layer, locked);
    EXPECT_TRUE(LE::Get<uint32_t>(*layer, HostAttribute::kFlags) & HostAttribute::kLayerLocked);
}

TEST_F(ElementLinksTest, RemovingATaskMovesTheLastLinkIntoItsSlot) {
    AddTask(5, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    AddTask(9, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Element& wall = Wall("FAL-01");
    Link(wall, {5, 7, 9});
    db.RemoveTaskLinks(7);
    EXPECT_EQ(LinkOf(wall).Slots(), (ElementLink{5, 9, 0, 0, 0, 0, 0, 0, 0, 0}));
    Element& only = Wall("FAL-02");
    Link(only, {7});
    db.RemoveTaskLinks(7);
    EXPECT_TRUE(only.userData.empty()); // unlinked: the record goes
}

TEST_F(ElementLinksTest, RemovingAPaintingTaskOnALockedLayerRestoresTheOwnLook) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(2, Demolition, DateTime(2009, 4, 1), DateTime(2009, 4, 5));
    Element& wall = Wall("FAL-01", locked);
    Link(wall, {1, 2});
    ShowAt(DateTime(2009, 3, 3));
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    db.DeleteTask(1);
    db.RemoveTaskLinks(1);
    EXPECT_TRUE(DGShownAlerts().empty());
    EXPECT_EQ(Pen(wall), 3);
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 118), brick);
    EXPECT_EQ(wall.Bytes()[131], 1);
    ElementLinkRecord rec = LinkOf(wall);
    EXPECT_EQ(rec.Slots(), (ElementLink{2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(TypeDisplay::IsOverridden(rec));
    auto* layer = host->Model().Attribute(HostAttribute::Layer, locked);
    EXPECT_TRUE(LE::Get<uint32_t>(*layer, HostAttribute::kFlags) & HostAttribute::kLayerLocked);
}

TEST_F(ElementLinksTest, LayerShownAgainIsLinkableAtOnce) {
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Element& wall = Wall("FAL-01", userHidden);
    Element& marked = Wall("FAL-02", userHidden);
    Link(marked, {1});
    hider.Prepare(db); // notes the layer as hidden by the user
    hider.Finish();
    auto* layer = host->Model().Attribute(HostAttribute::Layer, userHidden);
    LE::Put<uint32_t>(*layer, HostAttribute::kFlags, 0);
    Select({&wall});
    db.LinkSelection(1);
    EXPECT_EQ(LinkOf(wall).Slot(0), 1);
    Select({&marked});
    MarkSink sink;
    db.MarkLinkedToSelection(sink);
    EXPECT_TRUE(sink.marked);
    EXPECT_EQ(db.TaskById(1).flags, static_cast<uint32_t>(LinkedToSelection));

    // Hidden again: neither linked nor marked.
    db.ClearMarks(sink);
    LE::Put<uint32_t>(*layer, HostAttribute::kFlags, HostAttribute::kLayerHidden);
    Element& other = Wall("FAL-03", userHidden);
    Select({&other});
    db.LinkSelection(1);
    EXPECT_TRUE(other.userData.empty());
    Select({&marked});
    db.MarkLinkedToSelection(sink);
    EXPECT_FALSE(sink.marked);
}

TEST_F(ElementLinksTest, SelectingLinkedAndUnlinkedElements) {
    Element& a = Wall("FAL-01");
    Element& b = Wall("FAL-02");
    Element& never = Wall("FAL-03");
    Element& hidden = Wall("FAL-04", userHidden);
    Link(a, {3, 4});
    Link(b, {0, 4});
    Link(hidden, {4});
    db.SelectLinkedElements(4);
    EXPECT_EQ(SelectedIds(), (std::vector<std::string>{"FAL-01", "FAL-02"})); // any slot counts
    db.SelectLinkedElements(3);
    EXPECT_EQ(SelectedIds(), (std::vector<std::string>{"FAL-01"}));
    db.SelectLinkedElements(-1);
    EXPECT_EQ(SelectedIds(), (std::vector<std::string>{"FAL-02", "FAL-03"}));
    (void)never;
}

TEST_F(ElementLinksTest, MarkingAndTheMissingTaskQuestion) {
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    AddTask(2, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Element& wall = Wall("FAL-01");
    Link(wall, {1, 99, 2});
    Select({&wall});
    MarkSink sink;
    DGQueueAlertAnswer(1); // break the link to the missing task
    db.MarkLinkedToSelection(sink);
    EXPECT_TRUE(sink.marked);
    EXPECT_EQ(db.TaskById(1).flags, static_cast<uint32_t>(LinkedToSelection));
    EXPECT_EQ(db.TaskById(2).flags, static_cast<uint32_t>(LinkedToSelection));
    EXPECT_EQ(LinkOf(wall).Slots(), (ElementLink{1, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(db.IsDirty());
    db.ClearMarks(sink);
    EXPECT_FALSE(sink.marked);
    EXPECT_EQ(db.TaskById(1).flags, 0u);
    EXPECT_FALSE(db.IsDirty());
}

TEST_F(ElementLinksTest, SharedProjectsMarkOnlyOwnElements) {
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Element& mine = Wall("FAL-01");
    Element& theirs = Wall("FAL-02");
    mine.SetOwner(3);
    theirs.SetOwner(4);
    Link(mine, {1});
    Link(theirs, {99});
    db.SetSharedUserId(3);
    Select({&theirs, &mine});
    MarkSink sink;
    db.MarkLinkedToSelection(sink);
    EXPECT_TRUE(sink.marked);
    EXPECT_TRUE(DGShownAlerts().empty()); // the other user's missing task is not asked about
}

TEST_F(ElementLinksTest, UnclassifiableSelection) {
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    db.TaskById(1).flags = LinkedToSelection;
    host->Model().Selection() = {wall.Guid()};
    // A selection entry of a type the host cannot turn into a kind.
    Element& camera = AddElement(26, "KAM-01");
    host->Model().Selection().push_back(camera.Guid());
    MarkSink sink;
    db.MarkLinkedToSelection(sink);
    EXPECT_EQ(db.TaskById(1).flags, static_cast<uint32_t>(LinkedToSelection)); // camera is just skipped
}

} // namespace
