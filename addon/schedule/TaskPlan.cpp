#include "schedule/TaskPlan.h"

std::string_view DependencyTypeText(DependencyType type) {
    switch (type) {
    case DependencyType::FinishToFinish: return "FF";
    case DependencyType::FinishToStart: return "FS";
    case DependencyType::StartToFinish: return "SF";
    case DependencyType::StartToStart: return "SS";
    }
    return "?";
}

bool TaskPlan::IsIfcGlobalId(std::string_view text) {
    constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";
    if (text.size() != 22 || text[0] < '0' || text[0] > '3') return false;
    return text.find_first_not_of(kDigits) == std::string_view::npos;
}
