// Summary rows and milestones of a plan are no work on the site: they neither hide nor paint an
// element linked to them, and the checks pass them by.
#include "DisplayFixture.h"

namespace {

using enum ConstructionType;

class PlanMarkersTest : public DisplayFixture {
protected:
    void AddMarked(int32_t id, DateTime start, DateTime finish, const char* name, bool summary, bool milestone) {
        const Task t = TestTask(id, Construction, start, finish, name);
        TaskPlan plan;
        plan.uid = id;
        plan.summary = summary;
        plan.milestone = milestone;
        db.AppendLoadedTask(t, plan);
    }
    int16_t HiddenLayer() { return host->Model().FindAttributeByName(HostAttribute::Layer, hider.HiddenLayerName()); }
};

TEST_F(PlanMarkersTest, MarkersGovernNoElement) {
    AddMarked(1, DateTime(2009, 3, 2), DateTime(2009, 4, 1), "Szerkezet", true, false);
    AddMarked(2, DateTime(2009, 3, 2), DateTime(2009, 3, 10), "Falazás", false, false);
    AddMarked(3, DateTime(2009, 3, 20), DateTime(2009, 3, 21), "UITVOERING", false, true);
    Element& alone = Wall("FAL-01");    // the summary row alone
    Element& both = Wall("FAL-02");     // the summary row and its task
    Element& heading = Wall("FAL-03");  // a milestone alone
    Link(alone, {1});
    Link(both, {1, 2});
    Link(heading, {3});

    ShowAt(DateTime(2009, 3, 1));
    EXPECT_EQ(alone.Layer(), walls);
    EXPECT_EQ(heading.Layer(), walls);
    EXPECT_EQ(both.Layer(), HiddenLayer()); // its task has not started
    ShowAt(DateTime(2009, 3, 5));
    EXPECT_EQ(Pen(alone), 3);
    EXPECT_EQ(Pen(both), hider.TypePen(Construction)); // one task in progress, not two
    ShowAt(DateTime(2009, 3, 20));
    EXPECT_EQ(Pen(heading), 3);
    EXPECT_EQ(hider.ErrorCount(), 0);
    EXPECT_TRUE(host->ReportLines().empty());
}

TEST_F(PlanMarkersTest, ChecksPassMarkersBy) {
    // A summary row overlaps its tasks and a construction after a construction is forbidden:
    // neither is a finding while the earlier one is a summary row.
    AddMarked(1, DateTime(2009, 3, 2), DateTime(2009, 4, 1), "Szerkezet", true, false);
    AddMarked(2, DateTime(2009, 3, 2), DateTime(2009, 3, 10), "Falazás", false, false);
    AddMarked(3, DateTime(2009, 3, 9), DateTime(2009, 3, 9), "Kész", false, true);
    AddMarked(4, DateTime(2009, 3, 9), DateTime(2009, 3, 2), "Fordított", true, false);
    Element& wall = Wall("FAL-01");
    ElementLink links{};
    links[0] = 1;
    links[1] = 2;
    links[2] = 3;
    EXPECT_EQ(db.CheckElementTasks(links, wall.Kind(), wall.Guid()), 0);
    EXPECT_EQ(db.CheckTaskDates(), 0); // a summary row's dates are its tasks'
    // The same rows as work are findings.
    db.Tasks().clear();
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 4, 1), "Szerkezet");
    AddTask(2, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 10), "Falazás");
    EXPECT_EQ(db.CheckElementTasks(links, wall.Kind(), wall.Guid()), 2);
}

} // namespace
