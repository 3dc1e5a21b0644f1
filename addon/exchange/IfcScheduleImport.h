#pragma once
// The menu's "Ütemterv az IFC modellből": the work schedules the building model's IFC file
// carries become the schedule, their tasks' elements its links.
#include "hostcalls/HostWorkSchedules.h"
#include "linking/ElementFacts.h"
#include "schedule/tasks/Task.h"
#include "schedule/tasks/TaskDB.h"
#include "schedule/tasks/TaskPlan.h"

#include <string>
#include <vector>

// The file's tasks as the schedule's, in outline order, each numbered by its identification where
// that is a number no earlier task has, the others on from the largest (each task's plan uid is
// its place from 1, its IFC identity the task's GlobalId): a task nesting others a summary row, its dates the actual ones where the file has
// them, else the scheduled ones, its type from IFC's predefined type or its object type.
struct IfcSchedule {
    std::vector<Task> tasks;
    std::vector<TaskPlan> plans;
    // Element GlobalId and task id, each pair once: what a task makes, and what a task takes
    // where taking means its type (IFC4's demolition tasks; every task of IFC2X3, which writes
    // its links so).
    std::vector<std::pair<std::string, int32_t>> links;
    size_t summaries = 0, dependencies = 0, demolitionLinks = 0;
};
IfcSchedule ScheduleFromIfc(const HostWorkSchedules& ifc);

// Replaces the schedule and every element's links by the file's, the links in one undo step,
// and reports what was read. `fileName` names the file in the report.
void ImportIfcSchedule(TaskDB& db, IElementFacts& facts, const HostWorkSchedules& ifc, const std::string& fileName);
void ScheduleFromIfcCommand(TaskDB& db);
