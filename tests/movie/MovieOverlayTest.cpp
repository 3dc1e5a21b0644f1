#include "HostFixture.h"
#include "TestSupport.h"
#include "TestTasks.h"
#include "chart/ChartColours.h"
#include "chart/ChartDrawing.h"
#include "chart/ChartTexts.h"
#include "dialogkit/DGCanvas.h"
#include "display/ElementHider.h"
#include "movie/FrameOverlay.h"
#include "chart/GanttStrip.h"
#include "movie/OverlayFacts.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>

namespace {

using enum ConstructionType;

class MovieOverlayTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        hider.LoadResources();
        db.InitTaskDB();
        // Four tasks running on 10 March, of 20, 10, 15 and 5 days; one long over, one to come.
        db.AppendLoadedTask(TestTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 21), "Alapozás"));
        db.AppendLoadedTask(TestTask(2, Construction, DateTime(2009, 3, 5), DateTime(2009, 3, 15), "Falazás"));
        db.AppendLoadedTask(TestTask(3, Demolition, DateTime(2009, 3, 1), DateTime(2009, 3, 16), "Bontás"));
        db.AppendLoadedTask(TestTask(4, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 14), "Födém"));
        db.AppendLoadedTask(TestTask(5, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 3), "Kitűzés"));
        db.AppendLoadedTask(TestTask(6, Construction, DateTime(2009, 3, 20), DateTime(2009, 3, 31), "Tető"));
    }

    AnimationSettings settings;
    ElementHider hider;
    TaskDB db{settings, &hider};
};

TEST(OverlayDateTest, TheRuntimesCodesTheJobsDayAndWeekAndNothingElse) {
    DateTime start(2009, 3, 2), date(2009, 3, 16, 14, 30);
    EXPECT_EQ(FormatOverlayDate("%Y.%m.%d.", date, start), "2009.03.16.");
    EXPECT_EQ(FormatOverlayDate("%K. hét, %J. nap %H:%M", date, start), "3. hét, 15. nap 14:30");
    EXPECT_EQ(FormatOverlayDate("%J", start, start), "1");
    // Codes the runtime should not be given are written as they stand, a lone % too.
    EXPECT_EQ(FormatOverlayDate("100% %q %n %s %%%", date, start), "100% %q %n %s %%");
    EXPECT_EQ(FormatOverlayDate("%y-%j %S", date, start), "09-075 00");
    std::string longFormat(400, 'x');
    EXPECT_EQ(FormatOverlayDate(longFormat + "%Y", date, start).size(), 255u);
    // A date before the job's start counts as its first day.
    EXPECT_EQ(FormatOverlayDate("%J/%K", DateTime(2009, 2, 1), start), "1/1");
}

TEST_F(MovieOverlayTest, TheLongestRunningTasksTheRestCountedTheLegendAndTheProgress) {
    MovieOptions o;
    o.taskLines = 2;
    o.SetTitle("Ház");
    DateTime start(2009, 3, 1), end(2009, 4, 1);
    OverlayFacts f = GatherOverlayFacts(db, hider.Profiles(), ConstructionTypeColours(), o, DateTime(2009, 3, 10, 12, 0), start, end);
    ASSERT_EQ(f.tasks.size(), 2u);
    EXPECT_EQ(f.tasks[0].text, Cp("Alapozás"));
    EXPECT_EQ(f.tasks[1].text, Cp("Bontás"));
    EXPECT_EQ(f.moreTasks, 2);
    EXPECT_EQ(f.moreTasksText, Cp("+2 további"));
    EXPECT_EQ(f.date, "2009.03.10.");
    EXPECT_EQ(f.jobDay, Cp("2. hét, 10. nap"));
    EXPECT_EQ(f.title, "Ház");
    // The looks of the tasks' profiles: construction's and demolition's.
    ASSERT_EQ(f.legend.size(), 2u);
    EXPECT_NE(f.legend[0].text, f.legend[1].text);
    EXPECT_NEAR(f.progress, 9.5 / 31, 1e-9);
    EXPECT_EQ(f.progressText, Cp("Haladás: 31%"));

    // Before anything runs: no task and nothing more.
    OverlayFacts early = GatherOverlayFacts(db, hider.Profiles(), ConstructionTypeColours(), o, DateTime(2009, 2, 1), start, end);
    EXPECT_TRUE(early.tasks.empty());
    EXPECT_EQ(early.moreTasks, 0);
    EXPECT_EQ(early.progress, 0);
}

// The texts of a canvas's ops and where they are.
std::vector<const DGCanvasOp*> Texts(const DGCanvas& c) {
    std::vector<const DGCanvasOp*> out;
    for (const DGCanvasOp& op : c.Ops())
        if (op.kind == DGCanvasOp::Kind::Text) out.push_back(&op);
    return out;
}

const DGCanvasOp* TextOf(const DGCanvas& c, const std::string& text) {
    for (const DGCanvasOp* op : Texts(c))
        if (op->text == text) return op;
    return nullptr;
}

TEST_F(MovieOverlayTest, BoxesSitInTheirCornersAboveTheStripAndScaleWithThePicture) {
    MovieOptions o;
    o.overlays = kOverlayAll;
    o.dateCorner = MovieCorner::TopLeft;
    o.tasksCorner = MovieCorner::TopRight;
    o.legendCorner = MovieCorner::BottomRight;
    o.titleCorner = MovieCorner::BottomLeft;
    o.SetTitle(Cp("Családi ház"));
    DateTime start(2009, 3, 1), end(2009, 4, 1);
    OverlayFacts f = GatherOverlayFacts(db, hider.Profiles(), ConstructionTypeColours(), o, DateTime(2009, 3, 10), start, end);
    int32_t sizes[2] = {};
    for (auto [w, h] : {std::pair{1280, 720}, std::pair{3840, 2160}}) {
        DGCanvas c(w, h);
        DrawFrameOverlay(o, f, c);
        OverlayPlaces places = PlaceOverlays(o, w, h);
        EXPECT_EQ(places.ganttTop + places.ganttHeight, h);
        const DGCanvasOp* date = TextOf(c, f.date);
        const DGCanvasOp* task = TextOf(c, f.tasks[0].text);
        const DGCanvasOp* legend = TextOf(c, f.legendTitle);
        const DGCanvasOp* title = TextOf(c, BKFromUtf8("Családi ház"));
        ASSERT_TRUE(date && task && legend && title);
        EXPECT_LT(date->x, w / 2);
        EXPECT_LT(date->y, h / 4);
        EXPECT_GT(task->x, w / 2);
        EXPECT_LT(task->y, h / 2);
        EXPECT_GT(legend->x, w / 2);
        EXPECT_LT(title->x, w / 2);
        for (const DGCanvasOp* t : {legend, title}) EXPECT_LT(t->y + t->textPixels, places.ganttTop);
        // Every box inside the picture.
        for (const DGCanvasOp& op : c.Ops())
            if (op.kind == DGCanvasOp::Kind::Fill || op.kind == DGCanvasOp::Kind::Frame) {
                EXPECT_GE(op.left, 0);
                EXPECT_LE(op.right, w);
                EXPECT_GE(op.top, 0);
                EXPECT_LE(op.bottom, h);
            }
        sizes[w == 1280 ? 0 : 1] = date->textPixels;
    }
    EXPECT_EQ(sizes[1], 3 * sizes[0]);

    // Nothing chosen, nothing drawn.
    DGCanvas none(1280, 720);
    DrawFrameOverlay(MovieOptions{}, f, none);
    EXPECT_TRUE(none.Ops().empty());
}

TEST_F(MovieOverlayTest, TheGanttStripIsTheChartsDrawingWithItsDateLineAtTwoFifths) {
    db.SetCurrentDate(DateTime(2009, 3, 10, 12, 0), false);
    ChartTexts texts = ChartTexts::Load();
    for (double scale : {1.0, 3.0}) {
        int32_t w = static_cast<int32_t>(1280 * scale), h = static_cast<int32_t>(180 * scale), top = static_cast<int32_t>(540 * scale);
        DGCanvas c(w, static_cast<int32_t>(720 * scale));
        DrawGanttStrip(db, texts, w, h, scale, top, c);
        ASSERT_FALSE(c.Ops().empty());
        // The chart's ground fills the strip, and nothing lies above it.
        const DGCanvasOp& ground = c.Ops().front();
        EXPECT_EQ(ground.kind, DGCanvasOp::Kind::Fill);
        EXPECT_EQ(ground.top, top);
        EXPECT_NEAR(ground.bottom, top + h, 1);
        bool dateLine = false, named = false;
        for (const DGCanvasOp& op : c.Ops()) {
            EXPECT_GE(op.top, top - 1);
            if (op.kind == DGCanvasOp::Kind::Line && op.color == kChartCurrentDateColour) {
                dateLine = true;
                EXPECT_NEAR(op.points[0].x, w * 0.4, 2 * scale);
                EXPECT_GE(op.width, static_cast<int32_t>(scale));
            }
            if (op.kind == DGCanvasOp::Kind::Text) {
                EXPECT_EQ(op.textPixels, static_cast<int32_t>(11 * scale));
                if (op.text == Cp("Alapozás")) named = true;
            }
        }
        EXPECT_TRUE(dateLine) << scale;
        EXPECT_TRUE(named) << scale;
    }
}

} // namespace
