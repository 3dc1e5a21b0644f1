#pragma once
// One project of a Primavera P6 export as its readers find it, whatever the file's form (XER
// tables or the XML of P6's business objects): WBS nodes, activities, relationships.
#include "schedule/tasks/ConstructionType.h"
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/TaskPlan.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct P6Project {
    std::string id;   // the project's key in its file
    std::string name; // UTF-8: the project ID, and its name where the file gives one
};

struct P6Wbs {
    std::string id, parentId; // keys in the file
    std::string code, name;   // UTF-8
    int64_t seq = 0;          // the order P6 shows siblings in
    bool projectNode = false; // the project's own node: its activities stand at the top
};

enum class P6ActivityKind { Task, StartMilestone, FinishMilestone };

struct P6Activity {
    std::string wbsId;
    std::string code, name; // UTF-8: the activity ID and its name
    int32_t uid = 0;        // the activity's key as a number; 0 when it has none
    P6ActivityKind kind = P6ActivityKind::Task;
    // What P6 keeps: what happened, the current (early) dates, the planned ones.
    std::optional<DateTime> actualStart, actualFinish, currentStart, currentFinish, plannedStart, plannedFinish;
    uint8_t percentComplete = TaskPlan::kNoPercent;
    std::optional<ConstructionType> type; // from an activity code or a user field
};

struct P6Relationship {
    int64_t successor = 0, predecessor = 0; // activity keys
    DependencyType type = DependencyType::FinishToStart;
    double lagHours = 0;
};

struct P6ProjectPlan {
    std::vector<P6Wbs> wbs; // each key once
    std::vector<P6Activity> activities;
    std::vector<P6Relationship> relationships;
};
