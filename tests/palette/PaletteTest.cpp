#include "TestTasks.h"
#include "palette/PaletteFixture.h"

#include <memory>

namespace {

using enum ConstructionType;

class PaletteTest : public PaletteFixture {
protected:
    void Add(int32_t id, const char* name, DateTime start, DateTime finish, ConstructionType type = Construction) {
        db.AppendLoadedTask(TestTask(id, type, start, finish, name));
    }
    // Three tasks at the 3rd of March, the list sorted by their state (header 19).
    void AddThreeSortedByState() {
        Add(1, "A", DateTime(2009, 3, 1), DateTime(2009, 3, 11));
        Add(2, "B", DateTime(2009, 3, 1), DateTime(2009, 3, 3));
        Add(3, "C", DateTime(2009, 3, 5), DateTime(2009, 3, 9));
        db.SetCurrentDate(DateTime(2009, 3, 3), false);
        palette->RefillList(true);
        D().UserClick(19);
    }
    DGDialog& D() { return *palette->Dialog(); }
    DGListState& List() { return *D().List(MainDialogCPP::kList); }
    std::vector<int32_t> RowIds() {
        std::vector<int32_t> ids;
        for (const auto& r : List().rows) ids.push_back(r.value);
        return ids;
    }

};

TEST_F(PaletteTest, OpeningSetsUpTabsEditorsAndRegistration) {
    ASSERT_EQ(List().tabs.size(), 5u);
    EXPECT_EQ(List().tabs[0].left, 0);
    EXPECT_EQ(List().tabs[0].right, 126);
    EXPECT_EQ(List().tabs[4].left, 414);
    EXPECT_TRUE(List().tabs[2].ownerDrawn);
    EXPECT_FALSE(D().Item(MainDialogCPP::kNameEditor)->visible);
    EXPECT_EQ(D().Item(MainDialogCPP::kTypeEditor)->entries.size(), 5u);
    EXPECT_EQ(D().Item(MainDialogCPP::kNameEditor)->rect.width, 122);
    EXPECT_EQ(D().ItemText(MainDialogCPP::kMarkToggle), Cp("Mutasd a kapcsoltakat"));
    AddonRegistration* reg = host->AddonByToken(AddonToken());
    EXPECT_EQ(reg->palettes.count(MainDialogCPP::kDialogId), 1u);
    EXPECT_EQ((host->menuTexts[{32500, 1}]), Cp("Rejtsd el a tevékenységlistát"));
}

TEST_F(PaletteTest, RefillKeepsTheSelectedTaskOrFallsBackToTheFirstRow) {
    Add(1, "A", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Add(2, "B", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Add(3, "C", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    palette->RefillList(true);
    EXPECT_EQ(List().selected, 1);
    D().UserSelectRow(MainDialogCPP::kList, 3);
    db.Tasks().insert(db.Tasks().begin(), db.Tasks()[2]);
    db.Tasks().pop_back();
    palette->RefillList(true);
    EXPECT_EQ(List().selected, 1); // task 3 now leads
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{3, 1, 2}));
    db.DeleteTask(3);
    palette->RefillList(true);
    EXPECT_EQ(List().selected, 1);
    db.Tasks().clear();
    palette->RefillList(true);
    EXPECT_EQ(List().selected, 0);
    EXPECT_EQ(palette->EditedRow(), -1);
}

TEST_F(PaletteTest, TitleStaysShortOfFiveHundredTwelve) {
    settings.SetProjectFilePath(std::string(240, 'p'));
    palette->RefillList(false);
    EXPECT_EQ(D().Title(), "Bauvista - " + std::string(240, 'p'));
    // The stored path field holds 260 bytes, so the title always fits.
    settings.SetProjectFilePath(std::string(300, 'q'));
    palette->RefillList(false);
    EXPECT_EQ(D().Title().size(), 11u + 260u);
}

TEST_F(PaletteTest, HeaderClicksSortAscendingDescendingAscending) {
    AddThreeSortedByState();
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{3, 1, 2}));
    D().UserClick(19);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{2, 1, 3}));
    D().UserClick(19);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{3, 1, 2}));
    EXPECT_FALSE(palette->SortDescending());
    // A new date keeps the list sorted by state.
    D().UserChange(MainDialogCPP::kCurrentDate, "2009-03-08");
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{1, 2, 3})); // 80 % before two at 100 %
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 9));
}

TEST_F(PaletteTest, StateCellBarsAndColours) {
    Add(1, "full", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Add(2, "none", DateTime(2009, 3, 10), DateTime(2009, 3, 12));
    Add(3, "quarter", DateTime(2009, 2, 28), DateTime(2009, 3, 8)); // 2 of 8 days
    Add(0, "invalid", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    db.SetCurrentDate(DateTime(2009, 3, 1), true);
    palette->RefillList(false);
    DGCanvas full = D().DrawTab(MainDialogCPP::kList, 1, 3);
    ASSERT_EQ(full.Ops().size(), 3u);
    EXPECT_EQ(full.Ops()[0].kind, DGCanvasOp::Kind::Frame);
    EXPECT_EQ(full.Ops()[1].color, 0x40FF40u);
    EXPECT_EQ(full.Ops()[1].right - full.Ops()[1].left, full.Width() - 7);
    EXPECT_EQ(full.Ops()[2].text, "100%");
    DGCanvas none = D().DrawTab(MainDialogCPP::kList, 2, 3);
    ASSERT_EQ(none.Ops().size(), 2u);
    EXPECT_EQ(none.Ops()[1].text, "0%");
    DGCanvas third = D().DrawTab(MainDialogCPP::kList, 3, 3);
    EXPECT_EQ(third.Ops()[1].color, 0x4040FFu);
    EXPECT_EQ(third.Ops()[2].text, "25%");
    EXPECT_TRUE(D().DrawTab(MainDialogCPP::kList, 4, 3).Ops().empty());
}

TEST_F(PaletteTest, RowEditCommitRules) {
    Add(1, "A", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Add(2, "B", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    palette->RefillList(false);
    D().UserDoubleClick(MainDialogCPP::kList, 1);
    EXPECT_EQ(palette->EditedRow(), 1);
    EXPECT_TRUE(D().Item(MainDialogCPP::kNameEditor)->visible);
    EXPECT_EQ(D().ItemText(MainDialogCPP::kNameEditor), "A");
    // Name only: the dates stay.
    D().UserChange(MainDialogCPP::kNameEditor, "Alapozás");
    EXPECT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("Alapozás"));
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 5));
    EXPECT_TRUE(db.IsDirty());

    // Inverted dates: the edit stays, another row's double click is refused.
    D().UserDoubleClick(MainDialogCPP::kList, 1);
    D().UserChange(MainDialogCPP::kStartEditor, "2009-03-10");
    D().UserDoubleClick(MainDialogCPP::kList, 2);
    EXPECT_EQ(palette->EditedRow(), 1);
    EXPECT_EQ(DGShownAlerts().back().id, 32503);
    EXPECT_EQ(List().selected, 1);
    EXPECT_EQ(db.Tasks()[0].start, DateTime(2009, 3, 2));
    // Start and finish on one day make a one-day task.
    D().UserChange(MainDialogCPP::kFinishEditor, "2009-03-10");
    EXPECT_EQ(db.Tasks()[0].finish, DateTime(2009, 3, 11)); // stored at once on a date change
    EXPECT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(palette->EditedRow(), -1);
    EXPECT_EQ(palette->SortColumn(), -1);
}

TEST_F(PaletteTest, AnInvalidStartOpensAtTodayAndAPendingEditIsDiscarded) {
    Task t;
    t.id = 1;
    t.start = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    t.finish = DateTime(2009, 3, 9);
    db.AppendLoadedTask(t);
    palette->RefillList(false);
    D().UserDoubleClick(MainDialogCPP::kList, 1);
    DateTime shown;
    shown.FromPlatformTime(D().ItemValue(MainDialogCPP::kStartEditor));
    EXPECT_EQ(shown.StartOfDay(), DateTime(2009, 3, 2));
    // The schedule is replaced while the row is in edit: nothing of it reaches the new one.
    D().UserChange(MainDialogCPP::kNameEditor, "stale");
    db.ClearSchedule();
    Add(5, "fresh", DateTime(2009, 4, 1), DateTime(2009, 4, 2));
    palette->DiscardRowEdit();
    palette->RefillList(false);
    EXPECT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(db.Tasks()[0].Name(), "fresh");
}

TEST_F(PaletteTest, NewAndDeleteMoveTheSelection) {
    D().UserClick(MainDialogCPP::kNewTask);
    ASSERT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(db.Tasks()[0].id, 1);
    EXPECT_EQ(palette->EditedRow(), 1);
    EXPECT_EQ(D().FocusedItem(), MainDialogCPP::kNameEditor);
    D().UserChange(MainDialogCPP::kNameEditor, "Első");
    D().UserClick(MainDialogCPP::kNewTask);
    EXPECT_EQ(db.Tasks()[0].Name(), Cp("Első")); // committed by the click
    EXPECT_EQ(palette->EditedRow(), 2);
    palette->CommitRowEdit();
    D().UserSelectRow(MainDialogCPP::kList, 1);
    DGQueueAlertAnswer(1);
    D().UserClick(MainDialogCPP::kDeleteTask);
    EXPECT_EQ(db.TaskCount(), 1u);
    EXPECT_EQ(List().selected, 1);
    EXPECT_EQ(palette->SelectedRow(), 1);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{2}));
    DGQueueAlertAnswer(1);
    D().UserClick(MainDialogCPP::kDeleteTask);
    EXPECT_EQ(db.TaskCount(), 0u);
    EXPECT_EQ(List().selected, 0);
}

TEST_F(PaletteTest, PaletteManagerKeepsTheUsersChoice) {
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteHide, 0);
    EXPECT_FALSE(palette->IsVisible());
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteShow, 0);
    EXPECT_TRUE(palette->IsVisible());
    palette->ShowPalette(false);
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteHide, 0);
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteShow, 0);
    EXPECT_FALSE(palette->IsVisible());
    palette->ShowPalette(true);
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteDisable, 0);
    EXPECT_FALSE(D().Item(MainDialogCPP::kLink)->enabled);
    EXPECT_FALSE(D().UserClick(MainDialogCPP::kLink));
    MainDialogCPP::PaletteCallback(MainDialogCPP::kDialogId, kHostPaletteEnable, 0);
    EXPECT_TRUE(D().Item(MainDialogCPP::kUnlink)->enabled);
    // A shared project's warning waits for the palette to be shown.
    palette->ShowPalette(false);
    palette->SetPendingSharedWarning(true);
    palette->ShowPalette(true);
    EXPECT_EQ(DGShownAlerts().back().id, 32533);
    EXPECT_FALSE(palette->PendingSharedWarning());
}

TEST_F(PaletteTest, ResizingMovesButtonsAndTabFields) {
    D().UserResize(100, 20);
    EXPECT_EQ(D().Item(MainDialogCPP::kLink)->rect.left, 674);
    EXPECT_EQ(D().Item(MainDialogCPP::kShowAll)->rect.top, 231);
    EXPECT_EQ(D().Item(MainDialogCPP::kList)->rect.width, 648);
    EXPECT_EQ(D().Item(17)->rect.width, 226);
    EXPECT_EQ(D().Item(18)->rect.left, 240);
    EXPECT_EQ(List().tabs[0].right, 226);
    EXPECT_EQ(List().tabs[1].left, 226);
    D().UserResize(-100, -20);
    EXPECT_EQ(List().tabs[4].right, 524);
}

TEST_F(PaletteTest, StaleRowsAfterAShorterRefillAreNeverUsed) {
    for (int32_t id = 1; id <= 5; ++id) Add(id, "T", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    palette->RefillList(false);
    D().UserSelectRow(MainDialogCPP::kList, 5);
    db.Tasks().resize(2); // a shorter schedule
    palette->RefillList(true);
    EXPECT_EQ(palette->PreviousRow(), 1);
    // An empty selection re-selects a row that exists, and delete asks about a real task.
    D().UserSelectRow(MainDialogCPP::kList, 0);
    EXPECT_EQ(List().selected, 1);
    size_t alerts = DGShownAlerts().size();
    DGQueueAlertAnswer(1);
    D().UserClick(MainDialogCPP::kDeleteTask);
    ASSERT_EQ(DGShownAlerts().size(), alerts + 1);
    EXPECT_EQ(DGShownAlerts().back().id, 32511);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{2}));
    // A list not refilled since the schedule shrank: delete does nothing and throws nothing.
    db.Tasks().clear();
    Add(9, "X", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    Add(10, "Y", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    palette->RefillList(false);
    D().UserSelectRow(MainDialogCPP::kList, 2);
    db.Tasks().pop_back();
    alerts = DGShownAlerts().size();
    D().UserClick(MainDialogCPP::kDeleteTask);
    EXPECT_EQ(DGShownAlerts().size(), alerts);
    EXPECT_EQ(db.TaskCount(), 1u);
}

TEST_F(PaletteTest, AnEditFollowsItsTaskWhenADateChangeReSorts) {
    AddThreeSortedByState();
    ASSERT_EQ(RowIds(), (std::vector<int32_t>{3, 1, 2}));
    D().UserDoubleClick(MainDialogCPP::kList, 1); // task 3
    D().UserChange(MainDialogCPP::kNameEditor, "renamed");
    D().UserChange(MainDialogCPP::kStartEditor, "2009-03-20"); // inverted: not stored, no alert
    D().SetFocus(0);
    size_t alerts = DGShownAlerts().size();
    D().UserChange(MainDialogCPP::kCurrentDate, "2009-03-08"); // focus commits: 32503, edit stays
    EXPECT_EQ(DGShownAlerts().size(), alerts + 1);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(palette->EditedRow(), 3);
    EXPECT_EQ(List().editorsRow, 3);
    D().UserChange(MainDialogCPP::kStartEditor, "2009-03-06");
    EXPECT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(db.Tasks()[0].Name(), "A");
    EXPECT_EQ(db.Tasks()[1].Name(), "B");
    EXPECT_EQ(db.Tasks()[2].Name(), "renamed");
    EXPECT_EQ(db.Tasks()[2].id, 3);
}

TEST_F(PaletteTest, RowsCoverMoreThanThirtyTwoThousandTasks) {
    constexpr int32_t kCount = 40000;
    for (int32_t id = 1; id <= kCount; ++id) Add(id, "T", DateTime(2009, 3, 1), DateTime(2009, 3, 2));
    palette->RefillList(false);
    ASSERT_EQ(List().rows.size(), static_cast<size_t>(kCount));
    EXPECT_TRUE(D().UserSelectRow(MainDialogCPP::kList, 39000));
    EXPECT_EQ(palette->SelectedRow(), 39000);
    D().UserDoubleClick(MainDialogCPP::kList, 33000);
    EXPECT_EQ(palette->EditedRow(), 33000);
    palette->CommitRowEdit();
    D().UserClick(MainDialogCPP::kNewTask);
    EXPECT_EQ(palette->EditedRow(), kCount + 1);
    D().UserChange(MainDialogCPP::kNameEditor, "new");
    EXPECT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(db.Tasks().back().Name(), "new");
    EXPECT_EQ(db.Tasks()[31999].Name(), "T");
}

TEST_F(PaletteTest, OneGestureShowsOneAlert) {
    Add(1, "A", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Add(2, "B", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    palette->RefillList(false);
    D().UserDoubleClick(MainDialogCPP::kList, 1);
    D().UserChange(MainDialogCPP::kStartEditor, "2009-03-10");
    size_t alerts = DGShownAlerts().size();
    D().UserDoubleClick(MainDialogCPP::kList, 2);
    EXPECT_EQ(DGShownAlerts().size(), alerts + 1);
    EXPECT_EQ(palette->EditedRow(), 1);
    EXPECT_EQ(palette->SelectedRow(), 1);
    D().UserSelectRow(MainDialogCPP::kList, 0);
    EXPECT_EQ(DGShownAlerts().size(), alerts + 2);
}

GSErr FailingElementGetCount(uint32_t, int32_t, int32_t*) { return static_cast<GSErr>(0x81060999); }

TEST_F(PaletteTest, AFailedDisplayPassStillFinishes) {
    int16_t locked = AddLayer("locked", false, true);
    AddElement(1, "FAL-01", locked);
    Add(1, "A", DateTime(2009, 3, 1), DateTime(2009, 3, 5));
    palette->RefillList(false);
    auto table = host->Table();
    table[kHostElementGetCount] = reinterpret_cast<HostFunc>(&FailingElementGetCount);
    SetImportedFuncAddrs(table.data());
    for (int16_t button : {MainDialogCPP::kShowAll, MainDialogCPP::kShowBuilt}) {
        db.SetDirty(true);
        int32_t rebuilds = host->rebuildCount;
        D().UserClick(button);
        EXPECT_EQ(DGShownAlerts().back().id, 32527) << button;
        EXPECT_EQ(host->rebuildCount, rebuilds + 1) << button;
        EXPECT_FALSE(host->hostSwitch) << button;
        auto& layer = *host->Model().Attribute(HostAttribute::Layer, locked);
        EXPECT_NE(LE::Get<uint32_t>(layer, HostAttribute::kFlags) & HostAttribute::kLayerLocked, 0u) << button;
    }
    SetImportedFuncAddrs(host->Table().data());
}

TEST_F(PaletteTest, LinksAreUndoStepsAndTheDisplayFollowsTheirUndoAndRedo) {
    Element& wall = AddElement(1, "FAL-01");
    LE::Put<int16_t>(wall.Bytes(), 104, 3);
    const API_Guid guid = wall.Guid();
    Add(1, "A", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    palette->RefillList(false);
    D().UserSelectRow(MainDialogCPP::kList, 1);
    std::vector<std::string> steps;
    host->Events().undoStep = [&steps](const std::string& name) { steps.push_back(name); };
    HostModel& m = host->Model();
    auto linkOf = [&m, &guid] {
        const auto& data = m.Find(guid)->userData;
        auto it = data.find("Bauvista");
        return it == data.end() || it->second.bytes.size() < 4 ? 0 : LE::Get<int32_t>(it->second.bytes, 0);
    };
    auto pen = [&m, &guid] { return LE::Get<int16_t>(m.Find(guid)->Bytes(), 104); };
    auto showBuilt = [this] { D().UserClick(MainDialogCPP::kShowBuilt); };
    std::string name;

    m.Selection() = {guid};
    DGQueueAlertAnswer(1);
    D().UserClick(MainDialogCPP::kLink);
    EXPECT_EQ(steps, std::vector<std::string>{Cp("Kapcsold")});
    EXPECT_EQ(linkOf(), 1);
    D().UserChange(MainDialogCPP::kCurrentDate, "2009-03-03");
    showBuilt();
    EXPECT_EQ(pen(), 255);

    ASSERT_TRUE(m.ApplyUndo(name)); // the display pass
    ASSERT_TRUE(m.ApplyUndo(name));
    EXPECT_EQ(name, Cp("Kapcsold"));
    EXPECT_EQ(linkOf(), 0);
    EXPECT_EQ(pen(), 3);
    showBuilt(); // the cache remembers the wall painted; the element is not linked now
    EXPECT_EQ(pen(), 3);
    EXPECT_EQ(linkOf(), 0);

    // That pass changed nothing, so the link is still there to redo, then the first pass.
    ASSERT_TRUE(m.ApplyRedo(name));
    EXPECT_EQ(name, Cp("Kapcsold"));
    EXPECT_EQ(linkOf(), 1);
    EXPECT_EQ(pen(), 3);
    showBuilt();
    EXPECT_EQ(pen(), 255);

    // Unlinking a painted element, undone: the cache still says painted, and so does the element.
    DGQueueAlertAnswer(1);
    D().UserClick(MainDialogCPP::kUnlink);
    EXPECT_EQ(steps.back(), Cp("Bontsd a kapcsolatot"));
    EXPECT_EQ(linkOf(), 0);
    showBuilt();
    EXPECT_EQ(pen(), 3);
    ASSERT_TRUE(m.ApplyUndo(name));
    ASSERT_TRUE(m.ApplyUndo(name));
    EXPECT_EQ(name, Cp("Bontsd a kapcsolatot"));
    EXPECT_EQ(linkOf(), 1);
    EXPECT_EQ(pen(), 255);
    showBuilt();
    EXPECT_EQ(pen(), 255);
    D().UserChange(MainDialogCPP::kCurrentDate, "2009-03-10");
    showBuilt();
    EXPECT_EQ(pen(), 3) << "finished work wears its own look";
}

TEST_F(PaletteTest, ARowsHelpTextCountsTheElementsLinkedToItsTask) {
    Add(1, "Falazás", DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Add(2, "Födém", DateTime(2009, 3, 5), DateTime(2009, 3, 9));
    ElementLinkRecord two, one;
    two.SetSlots({1, 2});
    one.SetSlots({2});
    for (const char* id : {"FAL-01", "FAL-02"}) {
        Element& e = AddElement(1, id);
        e.userData["Bauvista"] = UserDataBlock{103, 0x5757, {two.bytes.begin(), two.bytes.end()}};
    }
    // An object carries links as a wall does; what a camera carries is no link.
    AddElement(6, "TRG-01").userData["Bauvista"] = UserDataBlock{103, 0x5757, {one.bytes.begin(), one.bytes.end()}};
    AddElement(HostElement::Camera, "KAM-01").userData["Bauvista"] = UserDataBlock{103, 0x5757, {one.bytes.begin(), one.bytes.end()}};
    palette->RefillList(false);
    EXPECT_EQ(D().RowTip(MainDialogCPP::kList, 1), Cp("Kapcsolt elemek: 2"));
    EXPECT_EQ(D().RowTip(MainDialogCPP::kList, 2), Cp("Kapcsolt elemek: 3"));
    EXPECT_EQ(D().RowTip(MainDialogCPP::kList, 3), "");
    EXPECT_EQ(D().RowTip(MainDialogCPP::kList + 1, 1), "");
}

} // namespace
