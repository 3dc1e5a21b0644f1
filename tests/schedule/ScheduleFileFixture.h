#pragma once
// A schedule with its settings, a fixed clock, a fresh folder per test, and clean answer queues
// and fault seam, for the tests of the schedule's files.
#include "TestSupport.h"
#include "TestTasks.h"
#include "basekit/BKText.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKFaults.h"
#include "filekit/FKFileDialog.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class ScheduleFileTest : public FixedClockTest {
protected:
    void SetUp() override {
        FixedClockTest::SetUp();
        FKClearFaults();
        FKResetFileDialogs();
        folder = std::filesystem::temp_directory_path() /
                 ("bv_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        db.InitTaskDB();
        db.ClearSchedule();
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        FKClearFaults();
        FKResetFileDialogs();
        FixedClockTest::TearDown();
    }

    // An 8-bit path in the test's folder; `utf8Name` may hold Hungarian letters.
    std::string PathOf(const char* utf8Name) const { return BKFromUtf8((folder / utf8Name).string()); }
    static std::string NativeOf(const std::string& path8) { return BKToUtf8(path8); }
    static void WriteBytes(const std::string& path8, const std::string& bytes) {
        std::ofstream(NativeOf(path8), std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path8) {
        std::ifstream in(NativeOf(path8), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::string DataFile(const char* name) {
        const char* src = std::getenv("BV_SOURCE_DIR");
        std::ifstream in(std::string(src ? src : ".") + "/tests/data/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static Task MakeTask(int32_t id, ConstructionType type, DateTime start, DateTime finish, const char* utf8Name) {
        return TestTask(id, type, start, finish, utf8Name);
    }
    std::vector<int16_t> AlertIds() const {
        std::vector<int16_t> ids;
        for (const auto& a : DGShownAlerts()) ids.push_back(a.id);
        return ids;
    }

    std::filesystem::path folder;
    AnimationSettings settings;
    TaskDB db{settings, nullptr};
};
