#include "DisplayFixture.h"
#include "display/ConstructionTypeDisplay.h"
#include "host/project/HostProjectFile.h"
#include "schedule/tasks/Exceptions.h"

#include <filesystem>

namespace {

using enum ConstructionType;

using ElementHiderTest = DisplayFixture;

TEST_F(ElementHiderTest, ADayInTheModel) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Falazás");
    AddTask(2, Demolition, DateTime(2009, 3, 10), DateTime(2009, 3, 12), "Bontás");
    AddTask(3, Temporary, DateTime(2009, 3, 3), DateTime(2009, 3, 8), "Állványozás");
    AddTask(4, Renovation, DateTime(2009, 3, 6), DateTime(2009, 3, 9), "Felújítás");
    Element& newWall = Wall("FAL-01");
    Element& shed = Wall("FAL-02");
    Element& scaffold = AddElement(6, "ALL-01", walls);
    LE::Put<int16_t>(scaffold.Bytes(), 104, 7);
    LE::Put<int16_t>(scaffold.Bytes(), 108, brick);
    Element& oldWall = Wall("FAL-03");
    Element& loose = Wall("FAL-04");
    Link(newWall, {1});
    Link(shed, {2});
    Link(scaffold, {3});
    Link(oldWall, {4});

    // Before anything starts: the new wall and the scaffold are absent.
    ShowAt(DateTime(2009, 3, 1));
    int16_t hiddenLayer = host->Model().FindAttributeByName(HostAttribute::Layer, hider.HiddenLayerName());
    ASSERT_NE(hiddenLayer, 0);
    EXPECT_EQ(newWall.Layer(), hiddenLayer);
    EXPECT_EQ(LinkOf(newWall).SavedLayer(), walls);
    EXPECT_EQ(scaffold.Layer(), hiddenLayer);
    EXPECT_EQ(shed.Layer(), walls);
    EXPECT_EQ(Pen(oldWall), 3);
    EXPECT_EQ(loose.Layer(), walls);
    EXPECT_TRUE(loose.userData.empty());

    // 3 March: the wall is being built and the scaffold stands, both in their type's colours.
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(newWall.Layer(), walls);
    EXPECT_EQ(Pen(newWall), hider.TypePen(Construction));
    EXPECT_EQ(Pen(newWall, 112), hider.TypePen(Construction));
    EXPECT_EQ(LE::Get<int16_t>(newWall.Bytes(), 118), hider.TypeMaterial(Construction));
    EXPECT_EQ(newWall.Bytes()[131], 0);
    EXPECT_EQ(LE::Get<int16_t>(LinkOf(newWall).Span(), TypeDisplay::kPen1), 3);
    EXPECT_EQ(Pen(scaffold), hider.TypePen(Temporary));
    EXPECT_EQ(LE::Get<int16_t>(scaffold.Bytes(), 108), hider.TypeMaterial(Temporary));

    // 6 March: the wall stands in its own look, the old wall is renovated.
    ShowAt(DateTime(2009, 3, 6));
    EXPECT_EQ(Pen(newWall), 3);
    EXPECT_EQ(LE::Get<int16_t>(newWall.Bytes(), 120), brick);
    EXPECT_EQ(newWall.Bytes()[132], 1);
    EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(newWall)));
    EXPECT_EQ(Pen(oldWall), hider.TypePen(Renovation));

    // 12 March: the shed is gone, the scaffold too, the old wall back to its own.
    ShowAt(DateTime(2009, 3, 12));
    EXPECT_EQ(shed.Layer(), hiddenLayer);
    EXPECT_EQ(scaffold.Layer(), hiddenLayer);
    EXPECT_EQ(Pen(scaffold), hider.TypePen(Temporary)); // hidden as it was last shown
    EXPECT_EQ(Pen(oldWall), 3);
    // The hidden-elements layer is hidden again after each pass.
    auto* layer = host->Model().Attribute(HostAttribute::Layer, hiddenLayer);
    EXPECT_TRUE(LE::Get<uint32_t>(*layer, HostAttribute::kFlags) & HostAttribute::kLayerHidden);

    // Show all brings every element back.
    hider.Prepare(db);
    hider.ShowAll(db);
    hider.Finish();
    for (Element* e : {&newWall, &shed, &scaffold, &oldWall}) {
        EXPECT_EQ(e->Layer(), walls) << e->IdText();
        EXPECT_EQ(LinkOf(*e).SavedLayer(), 0);
        EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(*e)));
    }
    EXPECT_EQ(Pen(scaffold), 7);
    EXPECT_EQ(LinkOf(newWall).Slot(0), 1); // links stay
}

TEST_F(ElementHiderTest, SecondPassAtTheSameDateChangesNothing) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_FALSE(hider.NothingChanged());
    uint32_t stamp = LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp);
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_TRUE(hider.NothingChanged());
    EXPECT_EQ(LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp), stamp);
}

TEST_F(ElementHiderTest, GoverningTask) {
    // Two tasks in progress: the later slot wins and one error line is written.
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 10), "Egy");
    AddTask(2, Renovation, DateTime(2009, 3, 2), DateTime(2009, 3, 9), "Ketto");
    // A finished construction and a demolition not started: the construction governs.
    AddTask(3, Construction, DateTime(2009, 2, 1), DateTime(2009, 2, 5));
    AddTask(4, Demolition, DateTime(2009, 4, 1), DateTime(2009, 4, 5));
    Element& both = Wall("FAL-01");
    Element& done = Wall("FAL-02");
    Link(both, {1, 2});
    Link(done, {4, 3});
    DGQueueAlertAnswer(1); // the summary alert has one button; nothing is asked
    ShowAt(DateTime(2009, 3, 4));
    EXPECT_EQ(Pen(both), hider.TypePen(Renovation));
    EXPECT_EQ(hider.Shown().at(both.Guid()).type, Renovation);
    EXPECT_EQ(Pen(done), 3); // present in its own look
    EXPECT_EQ(done.Layer(), walls);
    size_t errors = 0;
    for (const auto& line : host->ReportLines())
        if (line.find("HIBA") != std::string::npos) ++errors;
    EXPECT_EQ(errors, 1u);
    ASSERT_FALSE(DGShownAlerts().empty());
    EXPECT_EQ(DGShownAlerts().back().id, 32528);
}

TEST_F(ElementHiderTest, HiddenElementKeepsItsFirstSavedLayer) {
    AddTask(1, Construction, DateTime(2009, 3, 10), DateTime(2009, 3, 12));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    ShowAt(DateTime(2009, 3, 1));
    int16_t hiddenLayer = wall.Layer();
    ASSERT_NE(hiddenLayer, walls);
    hider.ResetShownState(db, Appearance::Unlinked); // forces the element to be applied again
    ShowAt(DateTime(2009, 3, 2));
    EXPECT_EQ(LinkOf(wall).SavedLayer(), walls);
    ShowAt(DateTime(2009, 3, 10));
    EXPECT_EQ(wall.Layer(), walls);
    EXPECT_EQ(LinkOf(wall).SavedLayer(), 0);
}

TEST_F(ElementHiderTest, UserHiddenLayersAndLocks) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& onHidden = Wall("FAL-01", userHidden);
    Element& onLocked = Wall("FAL-02", locked);
    Element& lockedWall = Wall("FAL-03");
    lockedWall.SetLocked(true);
    Link(onHidden, {1});
    Link(onLocked, {1});
    Link(lockedWall, {1});
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(onHidden), 3); // never moved or painted
    EXPECT_EQ(onHidden.Layer(), userHidden);
    EXPECT_EQ(Pen(onLocked), hider.TypePens()[0]);
    EXPECT_EQ(Pen(lockedWall), hider.TypePens()[0]);
    EXPECT_TRUE(lockedWall.Locked());
    auto* layer = host->Model().Attribute(HostAttribute::Layer, locked);
    EXPECT_TRUE(LE::Get<uint32_t>(*layer, HostAttribute::kFlags) & HostAttribute::kLayerLocked);
    auto* hiddenRec = host->Model().Attribute(HostAttribute::Layer, userHidden);
    EXPECT_TRUE(LE::Get<uint32_t>(*hiddenRec, HostAttribute::kFlags) & HostAttribute::kLayerHidden);
    EXPECT_FALSE(host->hostSwitch); // put back as it was
}

TEST_F(ElementHiderTest, RefusedRecordLeavesElementAndCacheAlone) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    host->refuseUserData.insert(wall.Guid());
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(wall), 3);
    EXPECT_EQ(hider.Shown().count(wall.Guid()), 0u);
    // Once the host accepts again, the next pass at the same date does the change.
    host->refuseUserData.clear();
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(wall), hider.TypePens()[0]);
}

TEST_F(ElementHiderTest, MissingTaskQuestion) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& a = Wall("FAL-01");
    Element& b = Wall("FAL-02");
    Link(a, {99, 1});
    Link(b, {1});
    DGQueueAlertAnswer(2); // keep the link: the pass goes on
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(a), hider.TypePens()[0]);
    EXPECT_EQ(Pen(b), hider.TypePens()[0]);
    EXPECT_EQ(LinkOf(a).Slot(0), 99);

    Element& c = Wall("FAL-03");
    Link(c, {77, 1});
    hider.ResetShownState(db, Appearance::Unlinked);
    DGQueueAlertAnswer(2); // a: keep again
    DGQueueAlertAnswer(1); // c: break the link, which ends the pass
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(LinkOf(c).Slot(0), 1);
    EXPECT_EQ(LinkOf(c).Slot(1), 0);
}

TEST_F(ElementHiderTest, AnElementOfOneTaskFollowsThatTaskFromPassToPass) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Element& gap = Wall("FAL-02");
    Link(wall, {1});
    Link(gap, {0, 0, 1}); // one task, but after a gap: the general path
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(wall), hider.TypePen(Construction));
    EXPECT_EQ(gap.Layer(), walls);

    // The task's type changes between passes: the next pass paints the new type.
    db.TaskById(1).type = Demolition;
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(Pen(wall), hider.TypePen(Demolition));

    // A second task takes the same id and is under way too: the element is checked again and
    // the clash counted, as for any element whose id is shared.
    AddTask(1, Renovation, DateTime(2009, 3, 1), DateTime(2009, 3, 9));
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_GT(hider.ErrorCount(), 0);

    // The task is gone: the question about the missing task is asked, not a stale look used.
    db.DeleteTask(1);
    if (db.TaskCount() > 0) db.DeleteTask(1);
    ASSERT_EQ(db.TaskCount(), 0u);
    DGQueueAlertAnswer(2);
    ShowAt(DateTime(2009, 3, 3));
    EXPECT_EQ(DGPendingAlertAnswers(), 0u);
}

TEST_F(ElementHiderTest, UndoOfThePassAndReopeningTheProject) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    db.SetCurrentDate(DateTime(2009, 3, 3), true);
    hider.Prepare(db);
    hider.BeginPass();
    HostUndoOpen(Cp("Mutasd ami felépült").c_str());
    hider.ShowAtCurrentDate(db, 0);
    HostUndoClose();
    hider.EndPass();
    hider.Finish();
    ASSERT_EQ(Pen(wall), hider.TypePens()[0]);
    std::string name;
    ASSERT_TRUE(host->Model().ApplyUndo(name));
    EXPECT_EQ(name, Cp("Mutasd ami felépült"));
    EXPECT_EQ(Pen(wall), 3);
    EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(wall)));
    ASSERT_TRUE(host->Model().ApplyRedo(name));

    // Save, reopen: show all still restores the element from its link record.
    auto path = std::filesystem::temp_directory_path() / ("bv-house-" + std::to_string(getpid()) + ".qvp");
    std::string error;
    ASSERT_TRUE(host->SaveProject(path, error)) << error;
    ASSERT_TRUE(host->OpenProject(path, error)) << error;
    std::filesystem::remove(path);
    ElementHider fresh;
    fresh.LoadResources();
    TaskDB db2(settings, &fresh);
    db2.InitTaskDB();
    fresh.Prepare(db2);
    fresh.ShowAll(db2);
    fresh.Finish();
    Element* reopened = host->Model().FindByIdText("FAL-01");
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(Pen(*reopened), 3);
    EXPECT_EQ(LE::Get<int16_t>(reopened->Bytes(), 118), brick);
    EXPECT_EQ(reopened->Bytes()[133], 1);
}

// The palette's "show what is built" inside its own undo step.
class ElementHiderUndoTest : public ElementHiderTest {
protected:
    void ShowInUndoStep(DateTime day) {
        db.SetCurrentDate(day, true);
        hider.Prepare(db);
        hider.BeginPass();
        HostUndoOpen("pass");
        hider.ShowAtCurrentDate(db, 0);
        HostUndoClose();
        hider.EndPass();
        hider.Finish();
    }
    void Undo() {
        std::string name;
        ASSERT_TRUE(host->Model().ApplyUndo(name));
    }
    void Redo() {
        std::string name;
        ASSERT_TRUE(host->Model().ApplyRedo(name));
    }
};

TEST_F(ElementHiderUndoTest, PassAfterHostUndoOrRedoShowsTheDateAgain) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    ShowInUndoStep(DateTime(2009, 3, 1)); // hidden
    int16_t hiddenLayer = wall.Layer();
    ASSERT_NE(hiddenLayer, walls);
    ShowInUndoStep(DateTime(2009, 3, 3)); // painted
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    ShowInUndoStep(DateTime(2009, 3, 6)); // present

    Undo(); // painted again, though the cache says present
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    ShowInUndoStep(DateTime(2009, 3, 6));
    EXPECT_EQ(Pen(wall), 3);
    EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(wall)));

    Undo(); // the repeated pass
    Undo(); // back to hidden, though the cache says present
    ASSERT_EQ(wall.Layer(), hiddenLayer);
    ShowInUndoStep(DateTime(2009, 3, 3));
    EXPECT_EQ(wall.Layer(), walls);
    EXPECT_EQ(Pen(wall), hider.TypePen(Construction));

    Undo(); // hidden, though the cache says painted
    ShowInUndoStep(DateTime(2009, 3, 3));
    EXPECT_EQ(wall.Layer(), walls);
    EXPECT_EQ(LinkOf(wall).SavedLayer(), 0);
    EXPECT_EQ(Pen(wall), hider.TypePen(Construction));

    Undo();
    Redo(); // painted again and the cache agrees: nothing to do
    uint32_t stamp = LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp);
    size_t steps = host->Model().Undo().UndoCount();
    ShowInUndoStep(DateTime(2009, 3, 3));
    EXPECT_TRUE(hider.NothingChanged());
    EXPECT_EQ(LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp), stamp);
    EXPECT_EQ(host->Model().Undo().UndoCount(), steps);
}

TEST_F(ElementHiderUndoTest, UndoneChangeOfTypeIsPaintedAgain) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(2, Renovation, DateTime(2009, 3, 6), DateTime(2009, 3, 9));
    Element& wall = Wall("FAL-01");
    Link(wall, {1, 2});
    ShowInUndoStep(DateTime(2009, 3, 3));
    ShowInUndoStep(DateTime(2009, 3, 7));
    ASSERT_EQ(Pen(wall), hider.TypePen(Renovation));
    Undo(); // painted as construction, though the cache says renovation
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    ShowInUndoStep(DateTime(2009, 3, 7));
    EXPECT_EQ(Pen(wall), hider.TypePen(Renovation));
    EXPECT_EQ(LE::Get<int16_t>(LinkOf(wall).Span(), TypeDisplay::kPen1), 3); // still its own pen saved
    ShowInUndoStep(DateTime(2009, 3, 10));
    EXPECT_EQ(Pen(wall), 3);
}

TEST_F(ElementHiderUndoTest, UnchangedLockedElementIsNotTouched) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    AddTask(2, Demolition, DateTime(2009, 3, 10), DateTime(2009, 3, 12));
    Element& wall = Wall("FAL-01");
    wall.SetLocked(true);
    Link(wall, {1});
    Element& keep = Wall("FAL-02");
    keep.SetLocked(true);
    Link(keep, {2}); // present (2) before its demolition: nothing to write even the first time
    ShowInUndoStep(DateTime(2009, 3, 2));
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    EXPECT_TRUE(wall.Locked());
    EXPECT_EQ(Pen(keep), 3);
    EXPECT_EQ(LE::Get<uint32_t>(keep.Bytes(), HostElement::kModiStamp), 0u);
    EXPECT_TRUE(keep.Locked());

    uint32_t stamp = LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp);
    size_t steps = host->Model().Undo().UndoCount();
    ShowInUndoStep(DateTime(2009, 3, 3)); // another day, the same look
    EXPECT_EQ(LE::Get<uint32_t>(wall.Bytes(), HostElement::kModiStamp), stamp);
    EXPECT_EQ(host->Model().Undo().UndoCount(), steps); // no empty undo step
    EXPECT_TRUE(wall.Locked());

    // Show all leaves an element with nothing to restore alone too.
    stamp = LE::Get<uint32_t>(keep.Bytes(), HostElement::kModiStamp);
    hider.Prepare(db);
    HostUndoOpen("all");
    hider.ShowAll(db);
    HostUndoClose();
    hider.Finish();
    EXPECT_EQ(Pen(wall), 3);
    EXPECT_TRUE(wall.Locked());
    EXPECT_EQ(LE::Get<uint32_t>(keep.Bytes(), HostElement::kModiStamp), stamp);
}

TEST_F(ElementHiderTest, ElementWhoseFirstPenIsZeroGetsItsOwnValuesBack) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    LE::Put<int16_t>(wall.Bytes(), 104, 0);
    Link(wall, {1});
    ShowAt(DateTime(2009, 3, 3));
    ASSERT_EQ(Pen(wall), hider.TypePen(Construction));
    ShowAt(DateTime(2009, 3, 6));
    EXPECT_EQ(Pen(wall), 0);
    EXPECT_EQ(Pen(wall, 112), 4);
    EXPECT_EQ(LE::Get<int16_t>(wall.Bytes(), 118), brick);
    EXPECT_FALSE(TypeDisplay::IsOverridden(LinkOf(wall)));

    // Painted, then shown all.
    ShowAt(DateTime(2009, 3, 3));
    hider.Prepare(db);
    hider.ShowAll(db);
    hider.Finish();
    EXPECT_EQ(Pen(wall), 0);
    EXPECT_EQ(Pen(wall, 112), 4);

    // A record an earlier version wrote while the element was painted.
    Element& old = Wall("FAL-02");
    ElementLinkRecord rec;
    rec.SetSlot(0, 1);
    LE::Put<int16_t>(rec.Span(), TypeDisplay::kPen1, 3);
    LE::Put<int16_t>(rec.Span(), TypeDisplay::kPen2, 4);
    old.userData["Bauvista"] = UserDataBlock{102, 0x5757, std::vector<uint8_t>(rec.bytes.begin(), rec.bytes.end())};
    LE::Put<int16_t>(old.Bytes(), 104, 255);
    LE::Put<int16_t>(old.Bytes(), 112, 255);
    hider.Prepare(db);
    hider.ShowAll(db);
    hider.Finish();
    EXPECT_EQ(Pen(old), 3);
    EXPECT_EQ(Pen(old, 112), 4);
}

TEST_F(ElementHiderTest, FailedRestoreKeepsTheSavedLook) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 5));
    Element& wall = Wall("FAL-01");
    Link(wall, {1});
    ShowAt(DateTime(2009, 3, 3));
    ElementLinkRecord painted = LinkOf(wall);
    ASSERT_TRUE(TypeDisplay::IsOverridden(painted));
    // The host refuses the change: the layer it would go back to no longer exists.
    painted.SetSavedLayer(99);
    wall.userData["Bauvista"].bytes.assign(painted.bytes.begin(), painted.bytes.end());
    hider.Prepare(db);
    EXPECT_THROW(hider.RestoreElement(db, 1, wall.Guid()), EElementHider);
    hider.Finish();
    EXPECT_EQ(LinkOf(wall), painted);
    EXPECT_EQ(Pen(wall), hider.TypePen(Construction));
}

TEST_F(ElementHiderTest, TypeMaterialsFoundOrCreated) {
    auto existing = MakeAttributeRecord(HostAttribute::Material, Cp("BV Bontás"));
    int16_t bontas = host->Model().CreateAttribute(HostAttribute::Material, existing);
    hider.Prepare(db);
    hider.Finish();
    EXPECT_EQ(hider.TypeMaterial(Demolition), bontas);
    EXPECT_EQ(host->Model().AttributeCount(HostAttribute::Material), 6); // brick, Bontás and four new
    int16_t epites = hider.TypeMaterial(Construction);
    auto* rec = host->Model().Attribute(HostAttribute::Material, epites);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(LE::Get<int16_t>(*rec, HostAttribute::kMatShine), 2500);
    double g;
    uint64_t bits = LE::Get<uint64_t>(*rec, HostAttribute::kMatSurfaceGreen);
    std::memcpy(&g, &bits, 8);
    EXPECT_DOUBLE_EQ(g, 0.9);
    // A second Prepare finds them all.
    hider.Prepare(db);
    hider.Finish();
    EXPECT_EQ(host->Model().AttributeCount(HostAttribute::Material), 6);
    EXPECT_EQ(hider.TypePens(), (std::array<int16_t, 5>{255, 254, 253, 252, 251}));
}

} // namespace
