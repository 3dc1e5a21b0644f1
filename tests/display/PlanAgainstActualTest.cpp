#include "DisplayFixture.h"
#include "display/DisplayPass.h"
#include "display/ProfileSet.h"

#include "host/render/Pictures.h"
#include "host/render/WindowPictures.h"
#include "hostapi/HostLookRecord.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using enum ConstructionType;

// Three walls at the status date, 8 March: one built on time, one due and not begun, one begun
// early and half done; the structure's profile grows.
class PlanAgainstActual : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        HostModel& m = host->Model();
        m.view.SetCamera({.eye = {4, -26, 9}, .target = {4, 0, 2}, .up = {0, 0, 1}, .fov = 40, .sunAzimuth = 200, .sunAltitude = 45});
        m.windows.view3D.Set(320, 200, {1, 1, 1});
        onTime = &BoxWall("FAL-01", 0);
        late = &BoxWall("FAL-02", 3);
        early = &BoxWall("FAL-03", 6);
        Link(*onTime, {1});
        Link(*late, {2});
        Link(*early, {3});
        Add(1, DateTime(2009, 3, 2), DateTime(2009, 3, 6), DateTime(2009, 3, 2), DateTime(2009, 3, 6), 100);
        Add(2, DateTime(2009, 3, 2), DateTime(2009, 3, 6), std::nullopt, std::nullopt, TaskPlan::kNoPercent);
        Add(3, DateTime(2009, 3, 10), DateTime(2009, 3, 14), DateTime(2009, 3, 5), std::nullopt, 50);
        AppearanceProfile structure = DefaultProfile(Construction);
        structure.name = "Szerkezet";
        structure.grow = GrowDirection::PlusZ;
        ASSERT_TRUE(hider.Profiles().Put(structure));
        ASSERT_TRUE(hider.Profiles().ChooseForType(Construction, "Szerkezet"));
        db.SetStatusDate(DateTime(2009, 3, 9));
    }
    void Add(int32_t id, DateTime start, DateTime finish, std::optional<DateTime> actualStart,
             std::optional<DateTime> actualFinish, uint8_t percent) {
        TaskPlan plan;
        plan.uid = id;
        if (actualStart) plan.actualStart = *actualStart;
        if (actualFinish) plan.actualFinish = *actualFinish;
        plan.percentComplete = percent;
        db.AppendLoadedTask(TestTask(id, Construction, start, finish, "t"), plan);
    }
    Element& BoxWall(const char* id, double x) {
        Element& e = Wall(id);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = {x, 0, 0};
        e.geometry.max = {x + 2.5, 0.3, 3};
        return e;
    }
    void Keep(const std::string& name, SceneSide side = SceneSide::First) {
        const std::filesystem::path folder(BV_SCREENSHOT_DIR);
        std::filesystem::create_directories(folder);
        std::string error;
        WritePng((folder / name).string() + ".png", RenderWindow(host->Model(), RenderStyle::Window3D, side), error);
    }
    Image Draw(SceneSide side) { return RenderWindow(host->Model(), RenderStyle::Window3D, side); }
    static bool SecondHidden(const Element* e) { return e->second && e->second->hidden; }
    bool Shown(const Element* e) const { return e->Layer() == walls; }
    Element* onTime = nullptr;
    Element* late = nullptr;
    Element* early = nullptr;
};

TEST_F(PlanAgainstActual, EachViewShowsItsDates) {
    // Planned: the first two built, the third not begun.
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_TRUE(Shown(onTime) && Shown(late));
    EXPECT_FALSE(Shown(early));
    EXPECT_FALSE(onTime->look || late->look);
    Keep("plan-vs-actual-planned");

    // Actual: the late wall is not there, the early one is half grown.
    db.SetView(ScheduleView::Actual);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_TRUE(Shown(onTime));
    EXPECT_FALSE(Shown(late));
    ASSERT_TRUE(Shown(early));
    ASSERT_TRUE(early->look);
    EXPECT_EQ(early->look->clipAxis, HostLook::PlusZ);
    EXPECT_DOUBLE_EQ(early->look->drawn, 0.5); // its percent at the status date
    Keep("plan-vs-actual-actual");
    ShowAt(DateTime(2009, 3, 6));
    ASSERT_TRUE(early->look);
    EXPECT_DOUBLE_EQ(early->look->drawn, 0.25); // two days of the four to the status date

    // Against the plan: late red, early blue, on time as it is.
    db.SetView(ScheduleView::Compare);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_TRUE(Shown(onTime) && Shown(late) && Shown(early));
    EXPECT_FALSE(onTime->look);
    ASSERT_TRUE(late->look && early->look);
    EXPECT_TRUE(late->look->coloured);
    EXPECT_EQ(std::tuple(late->look->red, late->look->green, late->look->blue, late->look->transparency), std::tuple(255, 0, 0, 0));
    EXPECT_EQ(std::tuple(early->look->red, early->look->green, early->look->blue), std::tuple(0, 0, 255));
    EXPECT_FALSE(early->look->Clips());
    Keep("plan-vs-actual-compare");

    // Back to the plan: the looks go, and the element that was shown early is hidden again.
    db.SetView(ScheduleView::Planned);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_FALSE(onTime->look || late->look || early->look);
    EXPECT_FALSE(Shown(early));
    // A profile's own late look.
    AppearanceProfile structure = *hider.Profiles().Find("Szerkezet");
    structure.late = PhaseLook::Coloured({255, 128, 0}, 40);
    ASSERT_TRUE(hider.Profiles().Put(structure));
    db.SetView(ScheduleView::Compare);
    ShowAt(DateTime(2009, 3, 8));
    ASSERT_TRUE(late->look);
    EXPECT_EQ(std::tuple(late->look->green, late->look->transparency), std::tuple(128, 40));
}

TEST_F(PlanAgainstActual, AnElementOfSeveralTasksTakesItsGoverningTasksStanding) {
    // Linked to the late task and to a later one on plan: the late one governs before the later begins.
    Element& both = BoxWall("FAL-04", 9);
    Link(both, {2, 4});
    Add(4, DateTime(2009, 3, 20), DateTime(2009, 3, 25), std::nullopt, std::nullopt, TaskPlan::kNoPercent);
    db.SetView(ScheduleView::Compare);
    ShowAt(DateTime(2009, 3, 8));
    ASSERT_TRUE(both.look);
    EXPECT_EQ(both.look->red, 255);
    db.SetView(ScheduleView::Actual);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_FALSE(Shown(&both)); // neither has begun
}

TEST_F(PlanAgainstActual, TheSecondWindowShowsTheOtherViewAtTheSameDate) {
    // Closed, a pass sets nothing of it.
    db.SetView(ScheduleView::Actual);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_FALSE(onTime->second || late->second || early->second);
    const Image actual = Draw(SceneSide::First);
    db.SetView(ScheduleView::Planned);
    ShowAt(DateTime(2009, 3, 8));
    const Image planned = Draw(SceneSide::First);
    ASSERT_NE(actual.pixels, planned.pixels);

    // Planned in the first window, what happened in the second: the late wall hidden there, the
    // early one half grown, each drawn as the first window draws that view.
    host->SetSecondViewOpen(true);
    ShowAt(DateTime(2009, 3, 8));
    ASSERT_TRUE(onTime->second && late->second && early->second);
    EXPECT_FALSE(SecondHidden(onTime));
    EXPECT_TRUE(SecondHidden(late));
    ASSERT_TRUE(early->second->look);
    EXPECT_DOUBLE_EQ(early->second->look->drawn, 0.5);
    EXPECT_FALSE(Shown(early)); // the model itself stays planned
    EXPECT_EQ(Draw(SceneSide::First).pixels, planned.pixels);
    EXPECT_EQ(Draw(SceneSide::Second).pixels, actual.pixels);
    Keep("second-view-planned-first", SceneSide::First);
    Keep("second-view-actual-second", SceneSide::Second);

    // The date moves both: a day earlier the early wall is a quarter grown in the second.
    ShowAt(DateTime(2009, 3, 6));
    ASSERT_TRUE(early->second->look);
    EXPECT_DOUBLE_EQ(early->second->look->drawn, 0.25);

    // Against the plan in the first, the plan in the second: no looks there, the early wall hidden.
    db.SetView(ScheduleView::Compare);
    ShowAt(DateTime(2009, 3, 8));
    ASSERT_TRUE(late->look && late->look->coloured);
    EXPECT_FALSE(late->second->look);
    EXPECT_TRUE(SecondHidden(early));
    EXPECT_EQ(Draw(SceneSide::Second).pixels, planned.pixels);
    Keep("second-view-compare-first", SceneSide::First);

    // What the display remembers of the second window goes with it: a host that forgot every
    // second look (another project's elements) gets them all again.
    hider.ClearSecondView();
    ASSERT_FALSE(late->second);
    ShowAt(DateTime(2009, 3, 8));
    EXPECT_TRUE(late->second && early->second && onTime->second);

    // Showing every element as it is leaves nothing apart in the second window.
    DisplayPass(hider, db).ShowAll("Mutasd mind");
    EXPECT_FALSE(onTime->second || late->second || early->second);
    // Closed, the host forgets; a pass then sets nothing.
    ShowAt(DateTime(2009, 3, 8));
    ASSERT_TRUE(late->second);
    host->SetSecondViewOpen(false);
    ShowAt(DateTime(2009, 3, 9));
    EXPECT_FALSE(onTime->second || late->second || early->second);
}

} // namespace
