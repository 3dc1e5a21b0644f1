#include "DisplayFixture.h"

namespace {

using enum ConstructionType;

class ScheduleChecksTest : public DisplayFixture {
protected:
    int32_t Check(Element& e, std::initializer_list<int32_t> ids) {
        ElementLink links{};
        size_t k = 0;
        for (int32_t id : ids) links[k++] = id;
        lines0 = host->ReportLines().size();
        return db.CheckElementTasks(links, e.Kind(), e.Guid());
    }
    std::vector<std::string> NewLines() {
        return {host->ReportLines().begin() + static_cast<std::ptrdiff_t>(lines0), host->ReportLines().end()};
    }
    size_t lines0 = 0;
};

TEST_F(ScheduleChecksTest, OverlapsByDay) {
    AddTask(1, Construction, DateTime(2009, 3, 3), DateTime(2009, 3, 6), "A");
    AddTask(2, Demolition, DateTime(2009, 3, 5), DateTime(2009, 3, 8), "B");
    AddTask(3, Demolition, DateTime(2009, 3, 6), DateTime(2009, 3, 8), "C");
    Element& wall = Wall("FAL-01");
    EXPECT_EQ(Check(wall, {1, 2}), 1);
    auto lines = NewLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], Cp("A(z) 'Fal' (ID: \"FAL-01\") átfedésben van a következő tevékenységekkel:"));
    EXPECT_EQ(lines[1], Cp("A(z) \"B\" tevékenység átfedésben van a(z) \"A\" tevékenységgel"));
    EXPECT_EQ(Check(wall, {1, 3}), 0); // ends the day before
    EXPECT_TRUE(NewLines().empty());
    EXPECT_EQ(Check(wall, {1}), 0);
}

TEST_F(ScheduleChecksTest, SameStartAndZeroLength) {
    AddTask(1, Construction, DateTime(2009, 3, 3), DateTime(2009, 3, 4), "A");
    AddTask(2, Demolition, DateTime(2009, 3, 3), DateTime(2009, 4, 4), "B");
    AddTask(3, Construction, DateTime(2009, 5, 3), DateTime(2009, 5, 3), "Z");
    AddTask(4, Demolition, DateTime(2009, 5, 4), DateTime(2009, 5, 5), "D");
    Element& wall = Wall("FAL-01");
    EXPECT_EQ(Check(wall, {1, 2}), 1);
    EXPECT_EQ(Check(wall, {3, 4}), 0);
}

TEST_F(ScheduleChecksTest, OneLinkNamingTwoTasksThatShareAnId) {
    // Both file readers accept a schedule where two tasks carry the same id.
    AddTask(5, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 10), "A");
    AddTask(5, Construction, DateTime(2009, 3, 5), DateTime(2009, 3, 12), "B");
    Element& wall = Wall("FAL-01");
    EXPECT_EQ(Check(wall, {5}), 2); // they overlap, and construction cannot follow construction
    auto lines = NewLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], Cp("A(z) \"B\" tevékenység átfedésben van a(z) \"A\" tevékenységgel"));
    // A single task behind a single link still writes nothing.
    AddTask(6, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 10), "C");
    EXPECT_EQ(Check(wall, {6}), 0);
    EXPECT_TRUE(NewLines().empty());
}

TEST_F(ScheduleChecksTest, ThreeOverlapsOneHeading) {
    AddTask(1, Fixed, DateTime(2009, 3, 1), DateTime(2009, 3, 10), "A");
    AddTask(2, Fixed, DateTime(2009, 3, 2), DateTime(2009, 3, 10), "B");
    AddTask(3, Fixed, DateTime(2009, 3, 3), DateTime(2009, 3, 10), "C");
    Element& wall = Wall("FAL-01");
    EXPECT_EQ(Check(wall, {3, 1, 2}), 3);
    EXPECT_EQ(NewLines().size(), 4u);
}

TEST_F(ScheduleChecksTest, Successions) {
    AddTask(1, Construction, DateTime(2009, 3, 1), DateTime(2009, 3, 2), "Epit1");
    AddTask(2, Construction, DateTime(2009, 4, 1), DateTime(2009, 4, 2), "Epit2");
    AddTask(3, Demolition, DateTime(2009, 3, 10), DateTime(2009, 3, 11), "Bont");
    Task odd;
    odd.id = 5;
    odd.type = static_cast<ConstructionType>(5);
    odd.start = DateTime(2009, 5, 1);
    odd.finish = DateTime(2009, 5, 2);
    odd.SetName("Fura");
    db.AppendLoadedTask(odd);
    Element& wall = Wall("FAL-01");
    EXPECT_EQ(Check(wall, {1, 2}), 1);
    auto lines = NewLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], Cp("A(z) \"Epit2\" művelet (Építés) követi a(z) \"Epit1\" műveletet (Építés)"));
    EXPECT_EQ(Check(wall, {1, 3, 2}), 0);
    // A type outside the table is not allowed and has no name.
    EXPECT_EQ(Check(wall, {2, 5}), 1);
    EXPECT_EQ(NewLines()[1], Cp("A(z) \"Fura\" művelet () követi a(z) \"Epit2\" műveletet (Építés)"));
    // Ids no task has are left to the display pass.
    EXPECT_EQ(Check(wall, {1, 99}), 0);
}

TEST_F(ScheduleChecksTest, TaskDates) {
    AddTask(1, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 2, 0, 0, 0) - DateTimeSpan(0, 0, 0, 1), "Vissza");
    Task bad;
    bad.id = 2;
    bad.start = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    bad.finish = DateTime::FromTicks(0, DateTimeStatus::Null);
    bad.SetName("Rossz");
    db.AppendLoadedTask(bad);
    AddTask(3, Construction, DateTime(2009, 3, 2), DateTime(2009, 3, 2), "Nulla");
    size_t before = host->ReportLines().size();
    EXPECT_EQ(db.CheckTaskDates(), 3);
    ASSERT_EQ(host->ReportLines().size(), before + 3);
    EXPECT_EQ(host->ReportLines()[before], Cp("Ennek a tevékenységnek a befejezési dátuma korábbi mint a kezdésé: \"Vissza\""));
    EXPECT_EQ(host->ReportLines()[before + 1], Cp("Ennek a tevékenységnek a kezdő dátuma nem megfelelő: \"Rossz\""));
}

} // namespace
