// The construction schedule of an IFC model in the host project file: written only for a model
// opened from IFC, read back whole, and anything the writer does not make refused with its place.
#include "host/HostTestFiles.h"

#include "host/ifc/reader/IfcReader.h"
#include "host/project/HostProjectFile.h"
#include "host/project/WorkSchedulesStoredForm.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

ModelWorkSchedules ScheduleOfTheIfc4File() { return ReadIfcFile(SourceFile("tests/data/ifc/schedule-ifc4.ifc")).workSchedules; }

TEST(WorkSchedulesStoredForm, AProjectFromAnIfcModelKeepsItsScheduleThroughASave) {
    auto plain = ParseHostProject(R"({"layers": [{"name": "Alap"}]})", "plain.qvp");
    ASSERT_TRUE(plain.model);
    const std::string plainText = SerializeHostProject(*plain.model);
    EXPECT_FALSE(json::parse(plainText).contains("ifcschedule"));

    plain.model->workSchedules = ScheduleOfTheIfc4File();
    const ModelWorkSchedules& w = plain.model->workSchedules;
    ASSERT_FALSE(w.taskRecords.empty());
    const std::string saved = SerializeHostProject(*plain.model);
    auto again = ParseHostProject(saved, "saved.qvp");
    ASSERT_TRUE(again.model) << again.error;
    const ModelWorkSchedules& back = again.model->workSchedules;
    EXPECT_EQ(WriteWorkSchedules(back), WriteWorkSchedules(w));
    EXPECT_EQ(SerializeHostProject(*again.model), saved);
    // Every kind of field, as read.
    EXPECT_EQ(back.sourcePath, w.sourcePath);
    EXPECT_EQ(back.recordsEnd, w.recordsEnd);
    EXPECT_EQ(back.schedules[0].record, w.schedules[0].record);
    EXPECT_EQ(back.tasks[1].actualStart, "2009-03-02T08:00:00");
    EXPECT_EQ(back.tasks[4].milestone, true);
    EXPECT_EQ(back.tasks[3].inputs, w.tasks[3].inputs);
    EXPECT_EQ(back.sequences[0].lagSeconds, 129600.0);
    EXPECT_EQ(back.productRecords, w.productRecords);
    EXPECT_EQ(back.taskRecords, w.taskRecords);
}

TEST(WorkSchedulesStoredForm, WhatTheWriterDoesNotMakeIsRefusedWithItsPlace) {
    const json good = WriteWorkSchedules(ScheduleOfTheIfc4File());
    auto changed = [&](const std::string& pointer, const json& value) {
        json j = good;
        if (value.is_discarded()) j.erase(json::json_pointer(pointer).back());
        else j[json::json_pointer(pointer)] = value;
        return j;
    };
    const std::pair<json, std::string> cases[] = {
        {changed("/tasks", json::value_t::discarded), "/ifcschedule/tasks: missing"},
        {changed("/schema", "IFC5"), "/ifcschedule/schema: expected \"IFC4\" or \"IFC2X3\""},
        {changed("/recordsend", good["size"].get<uint64_t>() + 1), "/ifcschedule/recordsend: out of range"},
        {changed("/tasks/1/parent", 1), "/ifcschedule/tasks/1/parent: out of range"},
        {changed("/tasks/0/schedule", 1), "/ifcschedule/tasks/0/schedule: out of range"},
        {changed("/tasks/0/level", 0), "/ifcschedule/tasks/0/level: out of range"},
        {changed("/tasks/0/percent", 101), "/ifcschedule/tasks/0/percent: out of range"},
        {changed("/tasks/0/start", "2009-03-02"), "/ifcschedule/tasks/0/start: not a moment"},
        {changed("/tasks/0/name", std::string(4097, 'x')), "/ifcschedule/tasks/0/name: longer than 4096 bytes"},
        {changed("/tasks/0/milestone", 1), "/ifcschedule/tasks/0/milestone: expected true or false"},
        {changed("/sequences/0", json::array({0, 5, "FINISH_START", 0})), "/ifcschedule/sequences/0/1: out of range"},
        {changed("/sequences/0", json::array({0, 1, "FINISH_START"})), "/ifcschedule/sequences/0: expected a list of 4"},
        {changed("/products/0/1", -1), "/ifcschedule/products/0/1: out of range"},
        {changed("/taskrecords/1", json::array({0, 1})), "/ifcschedule/taskrecords/1: not after the one before, or empty"},
        {changed("/taskrecords/0/1", good["size"].get<uint64_t>() + 1), "/ifcschedule/taskrecords/0/1: out of range"},
    };
    for (const auto& [stored, error] : cases) {
        auto loaded = ParseHostProject(json{{"ifcschedule", stored}}.dump(), "p.qvp");
        EXPECT_FALSE(loaded.model) << error;
        EXPECT_EQ(loaded.error, "p.qvp: " + error);
    }
    auto loaded = ParseHostProject(json{{"ifcschedule", good}}.dump(), "p.qvp");
    EXPECT_TRUE(loaded.model) << loaded.error;
}

TEST(WorkSchedulesStoredForm, ACutProjectIsRefused) {
    auto model = ParseHostProject("{}", "p.qvp");
    model.model->workSchedules = ScheduleOfTheIfc4File();
    const std::string saved = SerializeHostProject(*model.model);
    const size_t at = saved.find("\"ifcschedule\"");
    ASSERT_NE(at, std::string::npos);
    for (size_t cut : {at + 20, at + 400, saved.size() / 2 + at / 2})
        EXPECT_FALSE(ParseHostProject(saved.substr(0, cut), "p.qvp").model) << cut;
}

} // namespace
