#include "TestTasks.h"
#include "chart/ChartLayout.h"
#include "chart/ChartTimeScale.h"
#include "chart/ChartWindow.h"
#include "palette/PaletteFixture.h"

#include <algorithm>
#include <memory>

namespace {

using enum ConstructionType;

int64_t Day(int y, int m, int d) { return DayOfTicks(DateTime(y, m, d).ticks); }

TEST(ChartTimeScaleTest, BandsFollowTheZoomAndStartOnTheirUnits) {
    const int64_t origin = Day(2009, 2, 23); // a Monday
    ChartTimeScale months(origin, 0, 0);
    EXPECT_EQ(months.Upper(), ChartUnit::Year);
    EXPECT_EQ(months.Lower(), ChartUnit::Month);
    ChartTimeScale weeks(origin, 3, 0);
    EXPECT_EQ(weeks.Upper(), ChartUnit::Month);
    EXPECT_EQ(weeks.Lower(), ChartUnit::Week);
    ChartTexts texts;
    texts.days = {"H", "K", "Sze", "Cs", "P", "Szo", "V"};
    auto cells = weeks.Band(ChartUnit::Week, 200, texts, false);
    ASSERT_GE(cells.size(), 7u);
    EXPECT_EQ(cells[0].left, 0);
    for (const auto& c : cells) EXPECT_EQ(c.right - c.left, 28); // 7 days of 4 pixels
    EXPECT_EQ(cells[1].label, "2");                                // Monday 2 March
    ChartTimeScale days(origin, 6, 32 * 5);                       // scrolled to Saturday
    auto dayCells = days.Band(ChartUnit::Day, 64, texts, false);
    ASSERT_GE(dayCells.size(), 2u);
    EXPECT_TRUE(dayCells[0].weekend);
    EXPECT_EQ(dayCells[0].label, "Szo 28");
    EXPECT_EQ(dayCells[2].label, "H 2");
    EXPECT_FALSE(dayCells[2].weekend);
}

TEST(ChartTimeScaleTest, EveryDayRoundTripsThroughItsPixelFromOnePixelADay) {
    for (int zoom = 1; zoom < ChartTimeScale::kZoomLevels; ++zoom)
        for (int32_t scroll : {-37, 0, 113}) {
            ChartTimeScale s(Day(2009, 1, 5), zoom, scroll);
            for (int64_t d = Day(2008, 12, 1); d < Day(2009, 6, 1); ++d)
                ASSERT_EQ(s.NearestDay(s.X(static_cast<double>(d))), d) << zoom << " " << scroll;
        }
}

// What a plan says of a task, for the fixture's schedules.
struct PlanBits {
    int32_t uid = 0;
    uint16_t level = 0;
    bool summary = false, milestone = false;
    std::vector<Dependency> predecessors;
};

class ChartTest : public PaletteFixture {
protected:
    void SetUp() override {
        PaletteFixture::SetUp();
        chart = std::make_unique<ChartWindow>(db, hider, palette.get());
        chart->Show(true);
    }
    void TearDown() override {
        chart.reset();
        PaletteFixture::TearDown();
    }
    // A summary over two tasks, the second after the first, and a milestone after both.
    void AddPlan() {
        Add(1, "Szerkezet", DateTime(2009, 3, 2), DateTime(2009, 3, 21), Construction, {10, 1, true, false, {}});
        Add(2, "Alap", DateTime(2009, 3, 2), DateTime(2009, 3, 7), Construction, {20, 2, false, false, {}});
        Add(3, "Falak", DateTime(2009, 3, 9), DateTime(2009, 3, 21), Demolition, {30, 2, false, false, {{20, DependencyType::FinishToStart, 0, 7}}});
        Add(4, "Kész", DateTime(2009, 3, 23), DateTime(2009, 3, 23), Construction, {40, 1, false, true, {{30, DependencyType::FinishToStart, 0, 7}}});
        palette->RefillList(true);
    }
    void Add(int32_t id, const char* name, DateTime start, DateTime finish, ConstructionType type = Construction,
             const PlanBits& bits = {}) {
        const Task t = TestTask(id, type, start, finish, name);
        TaskPlan plan;
        plan.uid = bits.uid;
        plan.outlineLevel = bits.level;
        plan.summary = bits.summary;
        plan.milestone = bits.milestone;
        plan.predecessors = bits.predecessors;
        db.AppendLoadedTask(t, plan);
    }
    bool Gesture(std::vector<std::string> args) {
        std::string error;
        return chart->Dialog()->UserGesture(args, error);
    }
    Task TaskAt(size_t i) {
        Task t;
        db.GetTaskAt(i, t);
        return t;
    }

    std::unique_ptr<ChartWindow> chart;
};

TEST_F(ChartTest, GeometryPlacesBarsSummariesMilestonesAndArrows) {
    AddPlan();
    db.SetCurrentDate(DateTime(2009, 3, 4).EndOfDay(), false);
    ChartGeometry g = chart->Geometry();
    EXPECT_EQ(g.scale.OriginDay(), Day(2009, 2, 23)); // a week before the first start's Monday
    ASSERT_EQ(g.rows.size(), 4u);
    const ChartRowGeometry& summary = g.rows[0];
    EXPECT_TRUE(summary.summary);
    EXPECT_TRUE(summary.hasChildren);
    EXPECT_EQ(summary.left, 7 * 4);
    EXPECT_EQ(summary.right, 26 * 4);
    const ChartRowGeometry& first = g.rows[1];
    EXPECT_EQ(first.left, 28);
    EXPECT_EQ(first.right, 48);
    EXPECT_EQ(first.percent, 60);         // three of five days done at the end of 4 March
    EXPECT_EQ(first.doneRight, 28 + 12);
    EXPECT_EQ(first.top, ChartGeometry::kScaleHeight + ChartGeometry::kRowHeight);
    EXPECT_EQ(first.colour, 0x00E600u); // "BV Építés" as the display makes it
    EXPECT_EQ(g.rows[2].colour, 0x0000CCu);
    ASSERT_EQ(g.rows[2].predecessors.size(), 1u);
    EXPECT_EQ(g.rows[2].predecessors[0].fromRow, 2);
    EXPECT_TRUE(g.rows[3].milestone);
    EXPECT_EQ(g.rows[3].left, g.rows[3].right);
    EXPECT_EQ(g.currentDay, Day(2009, 3, 4));
    EXPECT_EQ(g.currentX, 10 * 4); // the line stands at the end of the current day
    // Folded, the summary hides its two tasks; the milestone moves up under it.
    ASSERT_TRUE(Gesture({"toggle", "1"}));
    g = chart->Geometry();
    ASSERT_EQ(g.rows.size(), 2u);
    EXPECT_TRUE(g.rows[0].collapsed);
    EXPECT_EQ(g.rows[1].row, 4);
    EXPECT_EQ(g.rows[1].top, ChartGeometry::kScaleHeight + ChartGeometry::kRowHeight);
}

TEST_F(ChartTest, OneSelectionWithThePaletteBothWays) {
    AddPlan();
    ASSERT_TRUE(Gesture({"click", "3"}));
    EXPECT_EQ(palette->Dialog()->List(MainDialogCPP::kList)->selected, 3);
    EXPECT_EQ(palette->SelectedRow(), 3);
    palette->Dialog()->UserSelectRow(MainDialogCPP::kList, 2);
    EXPECT_EQ(chart->Geometry().selectedRow, 2);
    ASSERT_TRUE(Gesture({"dblclick", "3"}));
    EXPECT_EQ(palette->EditedRow(), 3);
}

TEST_F(ChartTest, BarDragsKeepTheEditingRulesAndUndoOneByOne) {
    AddPlan();
    const Task before = TaskAt(2);
    ASSERT_TRUE(Gesture({"drag-bar", "3", "move", "2"}));
    EXPECT_EQ(TaskAt(2).start, DateTime(2009, 3, 11));
    EXPECT_EQ(TaskAt(2).finish, DateTime(2009, 3, 23));
    ASSERT_TRUE(Gesture({"drag-bar", "3", "finish", "-3"}));
    EXPECT_EQ(TaskAt(2).finish, DateTime(2009, 3, 20));
    EXPECT_EQ(TaskAt(2).start, DateTime(2009, 3, 11));
    // A start past the last day is refused with alert 32503; nothing is stored.
    size_t alerts = DGShownAlerts().size();
    ASSERT_TRUE(Gesture({"drag-bar", "3", "start", "9"}));
    ASSERT_EQ(DGShownAlerts().size(), alerts + 1);
    EXPECT_EQ(DGShownAlerts().back().id, 32503);
    EXPECT_EQ(TaskAt(2).start, DateTime(2009, 3, 11));
    // A one-day task is fine: start on its last day.
    ASSERT_TRUE(Gesture({"drag-bar", "3", "start", "8"}));
    EXPECT_EQ(TaskAt(2).start, DateTime(2009, 3, 19));
    ASSERT_TRUE(Gesture({"undo"}));
    EXPECT_EQ(TaskAt(2).start, DateTime(2009, 3, 11));
    ASSERT_TRUE(Gesture({"undo"}));
    ASSERT_TRUE(Gesture({"undo"}));
    EXPECT_EQ(TaskAt(2).start, before.start);
    EXPECT_EQ(TaskAt(2).finish, before.finish);
    EXPECT_FALSE(Gesture({"undo"}));
}

TEST_F(ChartTest, ASummaryMovesWithItsRowsAndAMilestoneKeepsItsMoment) {
    AddPlan();
    const Task summary = TaskAt(0), first = TaskAt(1), second = TaskAt(2), milestone = TaskAt(3);
    std::string error;
    EXPECT_FALSE(chart->Dialog()->UserGesture({"drag-bar", "1", "finish", "2"}, error));
    EXPECT_EQ(error, "row 1 moves only whole");
    ASSERT_TRUE(Gesture({"drag-bar", "1", "move", "3"}));
    const DateTimeSpan three(3, 0, 0, 0);
    EXPECT_EQ(TaskAt(0).start, summary.start + three);
    EXPECT_EQ(TaskAt(1).start, first.start + three);
    EXPECT_EQ(TaskAt(1).finish, first.finish + three);
    EXPECT_EQ(TaskAt(2).finish, second.finish + three);
    EXPECT_EQ(TaskAt(3).start, milestone.start); // at level 1, not under the summary
    // The milestone's start and finish move together, to the minute.
    ASSERT_TRUE(Gesture({"drag-bar", "4", "move", "-2"}));
    EXPECT_EQ(TaskAt(3).start, milestone.start - DateTimeSpan(2, 0, 0, 0));
    EXPECT_EQ(TaskAt(3).finish, milestone.finish - DateTimeSpan(2, 0, 0, 0));
    ASSERT_TRUE(Gesture({"undo"}));
    EXPECT_EQ(TaskAt(3).start, milestone.start);
    // One undo takes the summary and all its rows back.
    ASSERT_TRUE(Gesture({"undo"}));
    EXPECT_EQ(TaskAt(0).start, summary.start);
    EXPECT_EQ(TaskAt(1).start, first.start);
    EXPECT_EQ(TaskAt(2).finish, second.finish);
    // While dragged, the rows under the summary are drawn where they go.
    DGMouse m;
    ChartGeometry g = chart->Geometry();
    m.action = DGMouse::Action::Down;
    m.x = (g.rows[0].left + g.rows[0].right) / 2;
    m.y = g.rows[0].top + ChartGeometry::kRowHeight / 2;
    chart->Dialog()->UserMouse(ChartWindow::kArea, m);
    m.action = DGMouse::Action::Move;
    m.x += 7 * static_cast<int32_t>(ChartTimeScale::PixelsPerDay(chart->View().zoom));
    chart->Dialog()->UserMouse(ChartWindow::kArea, m);
    ChartGeometry moved = chart->Geometry();
    EXPECT_GT(moved.rows[2].left, g.rows[2].left);
    EXPECT_EQ(moved.rows[3].left, g.rows[3].left);
}

TEST_F(ChartTest, ABarDragFirstStoresThePalettesEditAndStopsWhenItCannot) {
    AddPlan();
    palette->Dialog()->UserDoubleClick(MainDialogCPP::kList, 2);
    palette->Dialog()->UserChange(MainDialogCPP::kFinishEditor, "2009-02-01"); // before its start
    const Task third = TaskAt(2);
    size_t alerts = DGShownAlerts().size();
    ASSERT_TRUE(Gesture({"drag-bar", "3", "move", "1"}));
    ASSERT_EQ(DGShownAlerts().size(), alerts + 1);
    EXPECT_EQ(DGShownAlerts().back().id, 32503);
    EXPECT_EQ(TaskAt(2).start, third.start);
    EXPECT_EQ(palette->EditedRow(), 2);
}

TEST_F(ChartTest, ScrubbingMovesTheCurrentDateWithoutAnAlertAndReportsOnce) {
    AddPlan();
    // A task with its finish before its start: the checks find it at every date.
    Add(5, "Rossz", DateTime(2009, 3, 10), DateTime(2009, 3, 5));
    palette->RefillList(true);
    size_t alerts = DGShownAlerts().size();
    size_t lines = host->ReportLines().size();
    ASSERT_TRUE(Gesture({"drag-date", "2009-03-12", "5"}));
    EXPECT_EQ(DGShownAlerts().size(), alerts);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 12).EndOfDay());
    DateTime shown;
    shown.FromPlatformTime(palette->Dialog()->ItemValue(MainDialogCPP::kCurrentDate));
    EXPECT_EQ(shown, DateTime(2009, 3, 12));
    // One date's findings, once: the drag passed six dates.
    std::vector<std::string> added(host->ReportLines().begin() + static_cast<ptrdiff_t>(lines), host->ReportLines().end());
    ASSERT_FALSE(added.empty());
    size_t sameAsFirst = static_cast<size_t>(std::count(added.begin(), added.end(), added.front()));
    EXPECT_EQ(sameAsFirst, 1u);
    // The keys: a day, and with Shift a week.
    ASSERT_TRUE(Gesture({"key", "right"}));
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 13).EndOfDay());
    ASSERT_TRUE(Gesture({"key", "left", "shift"}));
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 6).EndOfDay());
    EXPECT_EQ(DGShownAlerts().size(), alerts);
}

TEST_F(ChartTest, PlayShowsEveryDayHeadlessAndAnyClickStopsIt) {
    AddPlan();
    ASSERT_TRUE(Gesture({"play", "2009-03-02", "2009-03-20", "7"}));
    EXPECT_FALSE(chart->Playing());
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 20).EndOfDay());
    EXPECT_EQ(chart->DaysPerSecond(), 7);
    // Started by its button, a click in the area stops it where it is.
    chart->Dialog()->UserClick(ChartWindow::kPlay);
    ASSERT_TRUE(chart->Playing());
    EXPECT_EQ(chart->Dialog()->TimerInterval(), 1000 / 7);
    chart->Dialog()->UserTimer(1);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 21).EndOfDay());
    DGMouse click;
    click.x = 300;
    click.y = 100;
    chart->Dialog()->UserMouse(ChartWindow::kArea, click);
    EXPECT_FALSE(chart->Playing());
    EXPECT_EQ(chart->Dialog()->TimerInterval(), 0);
    EXPECT_EQ(db.CurrentDate(), DateTime(2009, 3, 21).EndOfDay());
}


// The bar's double-click edits the row in the palette, whose profile pop-up gives the task a look of
// its own, shows it again when the row is edited next, and gives it back its type's.
TEST_F(ChartTest, DoubleClickChoosesTheTasksProfile) {
    AddPlan();
    db.SetDirty(false);
    ProfileSet& set = hider.Profiles();
    const std::string scaffold = set.TypeChoice(Temporary);
    DGDialog& d = *palette->Dialog();
    auto entryOf = [&d](const std::string& name) {
        const auto& entries = d.Item(MainDialogCPP::kProfileEditor)->entries;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].text == name) return std::to_string(i + 1);
        return std::string();
    };
    ASSERT_TRUE(Gesture({"dblclick", "3"}));
    ASSERT_EQ(palette->EditedRow(), 3);
    EXPECT_TRUE(d.Item(MainDialogCPP::kProfileEditor)->visible);
    EXPECT_EQ(d.ItemValue(MainDialogCPP::kProfileEditor), 1); // the type's own
    ASSERT_EQ(d.Item(MainDialogCPP::kProfileEditor)->entries.size(), set.Profiles().size() + 1);
    ASSERT_TRUE(d.UserChange(MainDialogCPP::kProfileEditor, entryOf(scaffold)));
    ASSERT_TRUE(palette->CommitRowEdit());
    EXPECT_EQ(set.TaskChoice(3), scaffold);
    EXPECT_EQ(set.ProfileFor(TaskAt(2)).name, scaffold);
    EXPECT_TRUE(db.IsDirty());
    EXPECT_TRUE(set.TaskChoice(2).empty()); // the other rows keep their type's

    ASSERT_TRUE(Gesture({"dblclick", "3"}));
    EXPECT_EQ(palette->ChosenProfile(), scaffold);
    ASSERT_TRUE(d.UserChange(MainDialogCPP::kProfileEditor, "1"));
    ASSERT_TRUE(palette->CommitRowEdit());
    EXPECT_TRUE(set.TaskChoice(3).empty());
    EXPECT_EQ(set.ProfileFor(TaskAt(2)).name, set.TypeChoice(Demolition));

    // A profile gone while the row was in edit leaves the task as it was.
    ASSERT_TRUE(Gesture({"dblclick", "3"}));
    ASSERT_TRUE(d.UserChange(MainDialogCPP::kProfileEditor, entryOf(scaffold)));
    std::vector<AppearanceProfile> kept;
    for (const AppearanceProfile& p : set.Profiles())
        if (p.name != scaffold) kept.push_back(p);
    set.Replace(kept);
    ASSERT_TRUE(palette->CommitRowEdit());
    EXPECT_TRUE(set.TaskChoice(3).empty());
}

} // namespace
