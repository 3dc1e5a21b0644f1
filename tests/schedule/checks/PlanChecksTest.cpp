// The checks that use a plan's logic and the building's shape: dependencies broken by the dates,
// loops of dependencies, and elements shown standing on elements that are not there.
#include "DisplayFixture.h"
#include "schedule/checks/SupportIndex.h"

#include <random>

namespace {

using enum ConstructionType;

constexpr int32_t kWorkDay = 4800; // a lag of one working day, in tenths of a minute

class PlanChecksTest : public DisplayFixture {
protected:
    void AddPlanned(int32_t id, DateTime start, DateTime finish, const char* name,
                    std::vector<Dependency> predecessors = {}, bool milestone = false) {
        const Task t = TestTask(id, Construction, start, finish, name);
        TaskPlan plan;
        plan.uid = id;
        plan.milestone = milestone;
        plan.predecessors = std::move(predecessors);
        db.AppendLoadedTask(t, plan);
    }
    static Dependency On(int32_t uid, DependencyType type = DependencyType::FinishToStart, int32_t lag = 0,
                         uint8_t format = 7) {
        return {uid, type, lag, format};
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines(host->ReportLines().begin() + static_cast<std::ptrdiff_t>(lines0),
                                       host->ReportLines().end());
        lines0 = host->ReportLines().size();
        return lines;
    }
    Element& Body(int32_t kind, const char* id, std::array<double, 3> lo, std::array<double, 3> hi) {
        Element& e = kind == 1 ? Wall(id) : AddElement(kind, id, walls);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        return e;
    }
    static std::string Day(DateTime lastDay) {
        char text[64];
        return lastDay.FormatForDisplay(text, sizeof text, 2064);
    }
    size_t lines0 = 0;
};

TEST_F(PlanChecksTest, FinishToStartWithLagAndTheOtherKinds) {
    // "Alap" lasts 2-6 March, so its finish is the start of 7 March.
    AddPlanned(1, DateTime(2009, 3, 2), DateTime(2009, 3, 7), "Alap");
    AddPlanned(2, DateTime(2009, 3, 8), DateTime(2009, 3, 10), "Korai", {On(1, DependencyType::FinishToStart, 2 * kWorkDay)});
    AddPlanned(3, DateTime(2009, 3, 9), DateTime(2009, 3, 10), "Kivárt", {On(1, DependencyType::FinishToStart, 2 * kWorkDay)});
    AddPlanned(4, DateTime(2009, 3, 7), DateTime(2009, 3, 8), "Rögtön", {On(1)});
    AddPlanned(5, DateTime(2009, 3, 6), DateTime(2009, 3, 8), "Utolsó napon", {On(1)});
    AddPlanned(6, DateTime(2009, 3, 1), DateTime(2009, 3, 8), "Előbb kezd", {On(1, DependencyType::StartToStart)});
    AddPlanned(7, DateTime(2009, 3, 3), DateTime(2009, 3, 6), "Előbb végez", {On(1, DependencyType::FinishToFinish)});
    AddPlanned(8, DateTime(2009, 2, 20), DateTime(2009, 3, 1), "Kezdés előtt", {On(1, DependencyType::StartToFinish)});
    // Three calendar days elapsed, and a lead of two working days, which a weekend may stretch.
    AddPlanned(9, DateTime(2009, 3, 10), DateTime(2009, 3, 12), "Száradás", {On(1, DependencyType::FinishToStart, 3 * 14400, 8)});
    AddPlanned(10, DateTime(2009, 3, 3), DateTime(2009, 3, 12), "Átfedve", {On(1, DependencyType::FinishToStart, -2 * kWorkDay)});
    AddPlanned(11, DateTime(2009, 3, 2), DateTime(2009, 3, 12), "Túl korán", {On(1, DependencyType::FinishToStart, -2 * kWorkDay)});
    // A milestone is a moment of its day: it may follow the task that ends that day and lead the
    // task that starts that day.
    AddPlanned(12, DateTime(2009, 3, 6), DateTime(2009, 3, 7), "Kész", {On(1)}, true);
    AddPlanned(13, DateTime(2009, 3, 6), DateTime(2009, 3, 8), "Utána", {On(12)});
    // A percentage lag cannot be judged on days; a predecessor outside the plan is no predecessor.
    AddPlanned(14, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Százalék", {On(1, DependencyType::FinishToStart, 500, 19)});
    AddPlanned(15, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Árva", {On(99)});

    EXPECT_EQ(db.CheckDependencies(), 6);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], Cp("A(z) \"Korai\" tevékenység elkezdődik a(z) \"Alap\" tevékenység befejezése előtt (FS, késleltetés: 2 nap)"));
    EXPECT_EQ(lines[1], Cp("A(z) \"Utolsó napon\" tevékenység elkezdődik a(z) \"Alap\" tevékenység befejezése előtt (FS, késleltetés: 0 nap)"));
    EXPECT_EQ(lines[2], Cp("A(z) \"Előbb kezd\" tevékenység elkezdődik a(z) \"Alap\" tevékenység kezdése előtt (SS, késleltetés: 0 nap)"));
    EXPECT_EQ(lines[3], Cp("A(z) \"Előbb végez\" tevékenység befejeződik a(z) \"Alap\" tevékenység befejezése előtt (FF, késleltetés: 0 nap)"));
    EXPECT_EQ(lines[4], Cp("A(z) \"Kezdés előtt\" tevékenység befejeződik a(z) \"Alap\" tevékenység kezdése előtt (SF, késleltetés: 0 nap)"));
    EXPECT_EQ(lines[5], Cp("A(z) \"Túl korán\" tevékenység elkezdődik a(z) \"Alap\" tevékenység befejezése előtt (FS, késleltetés: -2 nap)"));
}

TEST_F(PlanChecksTest, LoopsNamedOnceEach) {
    AddPlanned(1, DateTime(2009, 3, 2), DateTime(2009, 3, 5), "Zsaluzás", {On(3)});
    AddPlanned(2, DateTime(2009, 3, 5), DateTime(2009, 3, 8), "Vasszerelés", {On(1)});
    AddPlanned(3, DateTime(2009, 3, 8), DateTime(2009, 3, 9), "Betonozás", {On(2), On(1)});
    AddPlanned(4, DateTime(2009, 3, 9), DateTime(2009, 3, 10), "Kizsaluzás", {On(3)}); // after the loop, not in it
    AddPlanned(5, DateTime(2009, 3, 1), DateTime(2009, 3, 2), "Önmaga", {On(5)});
    EXPECT_EQ(db.CheckDependencies(), 2);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], Cp("Ezek a tevékenységek körben függenek egymástól: \"Zsaluzás\", \"Vasszerelés\", \"Betonozás\""));
    EXPECT_EQ(lines[1], Cp("Ezek a tevékenységek körben függenek egymástól: \"Önmaga\""));
}

TEST_F(PlanChecksTest, PlainScheduleHasNoLogic) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 7), "A");
    AddTask(2, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 7), "B");
    EXPECT_EQ(db.CheckDependencies(), 0);
}

TEST_F(PlanChecksTest, ElementsShownOnWhatIsNotThere) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 7), "Falak");
    AddTask(2, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 14), "Födém");
    AddTask(3, Construction, DateTime(2009, 3, 9), DateTime(2009, 3, 14), "Gerenda");
    AddTask(4, Construction, DateTime(2009, 3, 16), DateTime(2009, 3, 21), "Oszlopok");
    AddTask(5, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 3), "Szekrény");
    AddTask(6, Demolition, DateTime(2009, 3, 23), DateTime(2009, 3, 24), "Bontás");
    // A slab on walls built before it.
    Link(Body(1, "FAL-01", {0, 0, 0}, {5, 0.3, 3}), {1});
    Link(Body(1, "FAL-02", {0, 4.7, 0}, {5, 5, 3}), {1});
    Link(Body(8, "FOD-01", {0, 0, 3}, {5, 5, 3.2}), {2});
    // A beam built before the two columns under it; a third column beside it carries nothing.
    Link(Body(2, "OSZ-01", {10, 0, 0}, {10.3, 0.3, 3}), {4});
    Link(Body(2, "OSZ-02", {14.7, 0, 0}, {15, 0.3, 3}), {4});
    Link(Body(2, "OSZ-03", {20, 0, 0}, {20.3, 0.3, 3}), {4});
    Link(Body(3, "GER-01", {10, 0, 3.01}, {15, 0.3, 3.4}), {3});
    // On the ground, and on an element no task governs.
    Link(Body(6, "BUT-01", {30, 0, 0}, {31, 1, 0.8}), {5});
    Body(8, "ALP-01", {40, 0, -0.3}, {45, 5, 0});
    Link(Body(1, "FAL-03", {40, 0, 0}, {45, 0.3, 3}), {1});
    // A window over the slab's wall lies in it, not on it; a lamp carries nothing.
    Link(Body(7, "LAM-01", {2, 2, 2.5}, {2.3, 2.3, 3}), {6});

    EXPECT_EQ(db.CheckSupport(), 2);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 2u);
    std::string day = Day(DateTime(2009, 3, 13));
    EXPECT_EQ(lines[0], Cp("A(z) 'Gerenda' (ID: \"GER-01\") áll ") + day + Cp(" végén, de alatta a(z) 'Oszlop' (ID: \"OSZ-01\") ekkor nem áll"));
    EXPECT_EQ(lines[1], Cp("A(z) 'Gerenda' (ID: \"GER-01\") áll ") + day + Cp(" végén, de alatta a(z) 'Oszlop' (ID: \"OSZ-02\") ekkor nem áll"));

    // One column in time is enough: the beam does not stand on nothing.
    Link(*host->Model().OfKind(2)[0], {3});
    EXPECT_EQ(db.CheckSupport(), 0);

    // Taking the walls away under a slab that stays is the same mistake, seen at the demolition.
    Link(*host->Model().OfKind(1)[0], {1, 6});
    Link(*host->Model().OfKind(1)[1], {1, 6});
    EXPECT_EQ(db.CheckSupport(), 2);
    EXPECT_NE(Lines()[0].find(Day(DateTime(2009, 3, 23))), std::string::npos);

    settings.supportCheckOn = false;
    EXPECT_EQ(db.CheckSupport(), 0);
}

TEST_F(PlanChecksTest, DisplayPassCountsTheNewFindings) {
    AddPlanned(1, DateTime(2009, 3, 9), DateTime(2009, 3, 14), "Gerenda");
    AddPlanned(2, DateTime(2009, 3, 16), DateTime(2009, 3, 21), "Oszlop", {On(1)});
    AddPlanned(3, DateTime(2009, 3, 10), DateTime(2009, 3, 21), "Szerelés", {On(1)});
    Link(Body(2, "OSZ-01", {0, 0, 0}, {0.3, 0.3, 3}), {2});
    Link(Body(3, "GER-01", {0, 0, 3}, {5, 0.3, 3.4}), {1});
    ShowAt(DateTime(2009, 3, 30));
    EXPECT_EQ(hider.ErrorCount(), 2); // the early start, and the beam on nothing
}

TEST(SupportIndexTest, GridFindsWhatComparingEveryPairFinds) {
    // Stacked boxes of many sizes, some touching within the tolerance, some just beyond it.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(-20, 60), size(0.05, 12);
    std::uniform_int_distribution<int> level(0, 6), offset(-3, 3), carrier(0, 4);
    std::vector<ElementBox> boxes;
    std::vector<uint8_t> carriers;
    for (int i = 0; i < 1500; ++i) {
        double x = place(random), y = place(random), z = 3.0 * level(random) + 0.01 * offset(random);
        boxes.push_back({{x, y, z}, {x + size(random), y + size(random), z + 3.0}});
        carriers.push_back(carrier(random) != 0);
    }
    const double tol = 0.02;
    SupportIndex index(boxes, carriers, tol);
    size_t pairs = 0;
    for (size_t u = 0; u < boxes.size(); ++u) {
        std::vector<uint32_t> expected;
        for (size_t s = 0; s < boxes.size(); ++s) {
            const ElementBox &a = boxes[u], &b = boxes[s];
            if (s == u || !carriers[s] || std::fabs(b.max[2] - a.min[2]) > tol || !(b.min[2] < a.min[2])) continue;
            if (std::min(a.max[0], b.max[0]) - std::max(a.min[0], b.min[0]) > tol &&
                std::min(a.max[1], b.max[1]) - std::max(a.min[1], b.min[1]) > tol)
                expected.push_back(static_cast<uint32_t>(s));
        }
        auto below = index.Below(u);
        ASSERT_EQ(std::vector<uint32_t>(below.begin(), below.end()), expected) << "element " << u;
        pairs += expected.size();
    }
    EXPECT_GT(pairs, 500u); // the data really stacks
}

} // namespace
