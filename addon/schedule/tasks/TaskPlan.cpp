#include "schedule/tasks/TaskPlan.h"

#include "steptext/IfcGlobalId.h"

std::string_view DependencyTypeText(DependencyType type) {
    switch (type) {
    case DependencyType::FinishToFinish: return "FF";
    case DependencyType::FinishToStart: return "FS";
    case DependencyType::StartToFinish: return "SF";
    case DependencyType::StartToStart: return "SS";
    }
    return "?";
}

bool TaskPlan::IsIfcGlobalId(std::string_view text) { return IsIfcGlobalIdText(text); }
