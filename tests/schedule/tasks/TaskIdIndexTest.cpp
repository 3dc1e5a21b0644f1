// The id index behind IndexOfId, TaskById and DeleteTask: always the first task with an id in
// schedule order, whatever changed the list (insert, delete, SetTaskAt of an id, sort, load,
// direct changes through Tasks()), checked against a plain scan after every change.
#include "TestSupport.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/TaskDB.h"
#include "schedule/tasks/TaskLess.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <unistd.h>

namespace {

class TaskIdIndexTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        db.InitTaskDB();
    }
    void Add(int32_t id, const char* name) {
        Task t;
        t.id = id;
        t.SetName(name);
        t.start = DateTime(2009, 3, 1 + (id > 0 ? id % 20 : 0));
        t.finish = t.start + DateTimeSpan(2, 0, 0, 0);
        db.AppendLoadedTask(t);
    }
    static std::optional<size_t> Scan(const std::vector<Task>& tasks, int32_t id) {
        for (size_t i = 0; i < tasks.size(); ++i)
            if (tasks[i].id == id) return i;
        return std::nullopt;
    }
    // Every id in the schedule and some that are not: the index agrees with a scan.
    void ExpectAgrees() {
        const TaskDB& c = db;
        std::set<int32_t> ids = {0, -1, -7, 1, 2, 3, 99, 100000, 2147483647, -2147483647 - 1};
        for (const Task& t : c.Tasks()) ids.insert(t.id);
        for (int32_t id : ids) {
            auto expected = Scan(c.Tasks(), id);
            if (expected) {
                EXPECT_EQ(db.IndexOfId(id), *expected) << id;
                EXPECT_EQ(&db.TaskById(id), &c.Tasks()[*expected]) << id;
                size_t count = 0, last = 0;
                bool ordered = true;
                c.ForEachIndexOfId(id, [&](size_t i) {
                    ordered = ordered && (count == 0 || i > last) && c.Tasks()[i].id == id;
                    last = i;
                    ++count;
                });
                EXPECT_TRUE(ordered) << id;
                EXPECT_EQ(count, static_cast<size_t>(std::count_if(c.Tasks().begin(), c.Tasks().end(),
                                                                   [&](const Task& t) { return t.id == id; })))
                    << id;
                EXPECT_EQ(c.IsIdShared(id), count > 1) << id;
            } else {
                EXPECT_THROW(db.IndexOfId(id), ETaskNotFound) << id;
                EXPECT_FALSE(c.IsIdShared(id)) << id;
            }
        }
    }
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};

TEST_F(TaskIdIndexTest, FirstTaskOfAnIdAfterEveryChange) {
    ExpectAgrees(); // empty
    Add(5, "a");
    Add(3, "b");
    Add(5, "c"); // a second 5
    Add(-2, "d");
    Add(0, "e");
    Add(3, "f");
    Add(2147483647, "g"); // far above the table by id
    ExpectAgrees();
    EXPECT_EQ(db.IndexOfId(5), 0u);

    db.DeleteTask(5); // the first 5 goes; the second becomes the first
    ExpectAgrees();
    EXPECT_EQ(std::string(db.TaskById(5).Name()), "c");

    size_t added = db.NewTask();
    ExpectAgrees();
    EXPECT_EQ(db.IndexOfId(db.Tasks()[added].id), added);

    Task t;
    db.GetTaskAt(0, t); // id 3 "b" becomes 5, ahead of "c"
    t.id = 5;
    db.SetTaskAt(0, t);
    ExpectAgrees();
    EXPECT_EQ(db.IndexOfId(5), 0u);
    t.flags = LinkedToSelection; // flags only: the same index
    db.SetTaskAt(0, t);
    ExpectAgrees();

    SortTasks(db.Tasks(), TaskLess(true, TaskLess::ByStart)); // the palette's sort
    ExpectAgrees();
    SortTasks(db.Tasks(), TaskLess(false, TaskLess::ByName));
    ExpectAgrees();

    db.Tasks().insert(db.Tasks().begin(), db.Tasks().back()); // a change behind the database's back
    ExpectAgrees();
    db.Tasks().pop_back();
    ExpectAgrees();
    db.Tasks()[1].id = 77;
    ExpectAgrees();

    db.ClearSchedule();
    ExpectAgrees();
    EXPECT_THROW(db.IndexOfId(5), ETaskNotFound);
}

TEST_F(TaskIdIndexTest, LoadReplacesTheIndex) {
    for (int32_t id : {4, 4, 9, 1}) Add(id, "x");
    ExpectAgrees();
    std::string path = (std::filesystem::temp_directory_path() / ("bv_idindex_" + std::to_string(::getpid()) + ".csp")).string();
    ASSERT_TRUE(db.SaveProjectFile(path));
    db.ClearSchedule();
    for (int32_t id : {9, 9}) Add(id, "y");
    ExpectAgrees();
    ASSERT_TRUE(db.LoadProjectFile(path));
    ExpectAgrees();
    EXPECT_EQ(db.IndexOfId(4), 0u);
    EXPECT_EQ(db.IndexOfId(9), 2u);
    std::filesystem::remove(path);
}

} // namespace
