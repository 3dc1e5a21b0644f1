#pragma once
// What a planning program knows of a task beyond its record: where it stands in the outline,
// its progress and its dependencies. The schedule keeps one beside each task once a plan
// brought any of it.
#include "schedule/tasks/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Microsoft Project's numbering, so a plan goes back out as it came in.
enum class DependencyType : uint8_t { FinishToFinish = 0, FinishToStart = 1, StartToFinish = 2, StartToStart = 3 };

// "FF", "FS", "SF" or "SS".
std::string_view DependencyTypeText(DependencyType type);

struct Dependency {
    int32_t predecessorUid = 0;
    DependencyType type = DependencyType::FinishToStart;
    int32_t lag = 0;       // tenths of a minute; negative for a lead
    uint8_t lagFormat = 7; // the unit the planner shows it in (Microsoft Project's code; 7 days)

    bool operator==(const Dependency&) const = default;
};

struct TaskPlan {
    static constexpr size_t kWbsMax = 255;
    static constexpr uint16_t kOutlineMax = 1000;
    static constexpr size_t kPredecessorsMax = 10000;
    static constexpr uint8_t kNoPercent = 255;
    // 9999-12-31 23:59:59: a planner's actual dates lie between 1601 and four-digit years.
    static constexpr int64_t kLastMomentTicks = 2650467743990000000;
    static bool IsStorableMoment(const DateTime& d) {
        return d.status == DateTimeStatus::Valid && d.ticks >= 0 && d.ticks <= kLastMomentTicks;
    }

    int32_t uid = 0;           // the planning program's own identity of the task; 0 none
    uint16_t outlineLevel = 0; // 1 for the top level; 0 outside an outline
    bool summary = false;      // a heading over the tasks below it, no work of its own
    bool milestone = false;
    std::string wbs;           // the outline code, 8-bit like task names
    uint8_t percentComplete = kNoPercent; // 0-100 as the planner reported it
    DateTime actualStart = DateTime::FromTicks(0, DateTimeStatus::Null);
    DateTime actualFinish = DateTime::FromTicks(0, DateTimeStatus::Null);
    std::vector<Dependency> predecessors;
    // The IfcTask the task came from, by its GlobalId, so a schedule written back into the
    // model's IFC file keeps its tasks' identities; empty for none.
    std::string ifcGlobalId;

    // Whether the text is an IFC GlobalId: 22 characters of IFC's base-64 digits, the first 0-3.
    static bool IsIfcGlobalId(std::string_view text);

    // Holds nothing: a task the user made, or one of a plain schedule.
    bool Empty() const { return *this == TaskPlan(); }
    // A summary row or a milestone marks the plan; neither is work that makes or removes elements.
    bool IsMarker() const { return summary || milestone; }

    bool operator==(const TaskPlan&) const = default;
};
