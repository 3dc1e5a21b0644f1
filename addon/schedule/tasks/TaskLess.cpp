#include "schedule/tasks/TaskLess.h"

#include "basekit/BKText.h"

#include <algorithm>
#include <cstdio>

namespace {

void DefaultDiagnostic(const char* text) { std::fprintf(stderr, "%s\n", text); }
void (*gDiagnostic)(const char*) = DefaultDiagnostic;

constexpr const char* kUnknownColumn = "Don't know how to sort this column!";

// A type outside the five named ones has no name; it sorts with the empty text, before them all.
std::string_view TypeName(const TaskLess::TypeNames* names, ConstructionType type) {
    if (names == nullptr || !IsKnownConstructionType(type)) return {};
    return (*names)[ConstructionTypeIndex(type)];
}

} // namespace

void SetTaskLessDiagnostic(void (*sink)(const char*)) { gDiagnostic = sink ? sink : DefaultDiagnostic; }

TaskLess::TaskLess(bool descending, int32_t key, const TypeNames* typeNames)
    : descending_(descending ? 1 : 0), key_(key), typeNames_(typeNames) {
    if (key < ByName || key > ByFinish) gDiagnostic(kUnknownColumn);
}

TaskLess TaskLess::FromColumn(bool descending, int16_t columnItem, const TypeNames* typeNames) {
    int32_t key = columnItem - kFirstColumnItem;
    if (key < ByName || key > ByFinish) {
        gDiagnostic(kUnknownColumn);
        key = ByName;
    }
    return TaskLess(descending, key, typeNames);
}

int TaskLess::Compare(const Task& l, const Task& r) const {
    switch (key_) {
    case ByName: return BKCompareText(l.Name(), r.Name(), BKCaseMode::Ignore);
    case ByType:
        return BKCompareText(TypeName(typeNames_, l.type), TypeName(typeNames_, r.type), BKCaseMode::Ignore);
    case ByPercent: return l.percentComplete < r.percentComplete ? -1 : l.percentComplete > r.percentComplete;
    case ByStart: return CompareDateTime(l.start, r.start);
    case ByFinish: return CompareDateTime(l.finish, r.finish);
    default: return 0;
    }
}

bool TaskLess::Ascending(const Task& l, const Task& r) const {
    int c = Compare(l, r);
    if (c != 0) return c < 0;
    return l.id < r.id;
}

bool TaskLess::operator()(const Task& left, const Task& right) const {
    return descending_ ? Ascending(right, left) : Ascending(left, right);
}

void SortTasks(std::vector<Task>& tasks, const TaskLess& less) { std::stable_sort(tasks.begin(), tasks.end(), less); }
