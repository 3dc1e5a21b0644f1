#include "TestSupport.h"
#include "schedule/tasks/TaskLess.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using enum ConstructionType;

Task Named(int32_t id, const std::string& utf8Name, int32_t percent = 0) {
    Task t;
    t.id = id;
    t.SetName(Cp(utf8Name.c_str()));
    t.percentComplete = percent;
    return t;
}

std::vector<std::string> diagnostics;
void Collect(const char* text) { diagnostics.emplace_back(text); }

using TaskLessTest = FixedClockTest;

TEST_F(TaskLessTest, EqualKeysFallBackToTheIdInBothDirections) {
    Task a = Named(7, "Falazás"), b = Named(3, "falazás");
    EXPECT_TRUE(TaskLess(false, TaskLess::ByName)(b, a));
    EXPECT_FALSE(TaskLess(false, TaskLess::ByName)(a, b));
    EXPECT_TRUE(TaskLess(true, TaskLess::ByName)(a, b));
    for (bool desc : {false, true})
        for (int key = 0; key < 5; ++key) EXPECT_FALSE(TaskLess(desc, key)(a, a));
}

TEST_F(TaskLessTest, HungarianLettersSortSensibly) {
    std::vector<Task> tasks = {Named(1, "Zsalu"), Named(2, "ablak"), Named(3, "Épület"), Named(4, "Öntés"),
                               Named(5, "oszlop"), Named(6, "Ár"),    Named(7, "Bontás"), Named(8, "2. emelet"),
                               Named(9, "út"),     Named(10, "ütés"), Named(11, "ELSŐ")};
    SortTasks(tasks, TaskLess(false, TaskLess::ByName));
    std::vector<std::string> names;
    for (auto& t : tasks) names.push_back(BKToUtf8(t.Name()));
    std::vector<std::string> expected = {"2. emelet", "ablak", "Ár",   "Bontás", "ELSŐ", "Épület",
                                         "oszlop",    "Öntés", "út",   "ütés",   "Zsalu"};
    EXPECT_EQ(names, expected);
}

TEST_F(TaskLessTest, TypeAndPercentKeys) {
    TaskLess::TypeNames names = {Cp("Építés"), Cp("Bontás"), Cp("Felújítás"), Cp("Rögzített"), Cp("Ideiglenes")};
    std::vector<Task> tasks = {Named(1, "a"), Named(2, "b"), Named(3, "c"), Named(4, "d")};
    tasks[0].type = Construction;
    tasks[1].type = Demolition;
    tasks[2].type = static_cast<ConstructionType>(5);
    tasks[3].type = Fixed;
    SortTasks(tasks, TaskLess(false, TaskLess::ByType, &names));
    EXPECT_EQ(tasks[0].id, 3); // the unnamed type first
    EXPECT_EQ(tasks[1].id, 2); // Bontás
    EXPECT_EQ(tasks[2].id, 1); // Építés
    EXPECT_EQ(tasks[3].id, 4); // Rögzített

    std::vector<Task> byState = {Named(1, "x", 100), Named(2, "x", 0), Named(3, "x", 50)};
    SortTasks(byState, TaskLess(false, TaskLess::ByPercent));
    EXPECT_EQ(byState[0].percentComplete, 0);
    EXPECT_EQ(byState[1].percentComplete, 50);
    EXPECT_EQ(byState[2].percentComplete, 100);
}

TEST_F(TaskLessTest, DatesOfEqualTicksAndOtherStatusAreNeitherFirst) {
    Task a = Named(1, "a"), b = Named(2, "b");
    a.start = DateTime::FromTicks(500, DateTimeStatus::Valid);
    b.start = DateTime::FromTicks(500, DateTimeStatus::Invalid);
    for (bool desc : {false, true}) {
        TaskLess less(desc, TaskLess::ByStart);
        EXPECT_FALSE(less(a, b));
        EXPECT_FALSE(less(b, a));
    }
    // Sorting many such values stays in bounds and keeps every task.
    std::mt19937 rng(7);
    std::vector<Task> many;
    for (int i = 0; i < 2000; ++i) {
        Task t = Named(i % 13, "t");
        t.start = DateTime::FromTicks(rng() % 5, static_cast<DateTimeStatus>(rng() % 3));
        many.push_back(t);
    }
    SortTasks(many, TaskLess(false, TaskLess::ByStart));
    EXPECT_EQ(many.size(), 2000u);
}

TEST_F(TaskLessTest, ColumnsMapToKeysAndUnknownOnesAreDiagnosed) {
    diagnostics.clear();
    SetTaskLessDiagnostic(Collect);
    EXPECT_EQ(TaskLess::FromColumn(false, 17, nullptr).GetKey(), TaskLess::ByName);
    EXPECT_EQ(TaskLess::FromColumn(true, 21, nullptr).GetKey(), TaskLess::ByFinish);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_EQ(TaskLess::FromColumn(false, 22, nullptr).GetKey(), TaskLess::ByName);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0], "Don't know how to sort this column!");
    TaskLess unknown(false, 9);
    EXPECT_TRUE(unknown(Named(1, "z"), Named(2, "a")));
    EXPECT_EQ(diagnostics.size(), 2u);
    SetTaskLessDiagnostic(nullptr);

    std::vector<Task> none;
    SortTasks(none, TaskLess(false, 0));
    std::vector<Task> one = {Named(1, "a")};
    SortTasks(one, TaskLess(true, 0));
    EXPECT_EQ(one[0].id, 1);
}

} // namespace
