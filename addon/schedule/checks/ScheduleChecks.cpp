// Schedule checks: bad dates, overlapping tasks on one element, impossible successions.
#include "hostcalls/HostInterface.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskDB.h"
#include "schedule/tasks/TaskLess.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

namespace {

void Report(const std::string& line) { HostReportWrite(line.c_str(), 0); }

std::string TypeName(ConstructionType type) {
    // A type outside the five has no name; it is reported with an empty one.
    return IsKnownConstructionType(type)
               ? AddonString(32512, static_cast<int16_t>(ConstructionTypeIndex(type) + 1))
               : std::string();
}

} // namespace

int32_t TaskDB::CheckTaskDates() const {
    int32_t count = 0;
    for (size_t i = 0; i < tasks_.size(); ++i) {
        const Task& t = tasks_[i];
        if (IsMarkerAt(i)) continue; // a summary row's dates are its tasks'; a milestone is no work
        bool startBad = t.start.status != DateTimeStatus::Valid, finishBad = t.finish.status != DateTimeStatus::Valid;
        if (!startBad && !finishBad && !(t.start > t.finish)) continue; // the usual task: no text made
        std::string name(t.Name());
        if (t.start.status != DateTimeStatus::Valid) {
            Report(AddonFormat(32510, 4, {name}));
            ++count;
        }
        if (t.finish.status != DateTimeStatus::Valid) {
            Report(AddonFormat(32510, 5, {name}));
            ++count;
        }
        if (t.start.status == DateTimeStatus::Valid && t.finish.status == DateTimeStatus::Valid && t.start > t.finish) {
            Report(AddonFormat(32510, 6, {name}));
            ++count;
        }
    }
    return count;
}

int32_t TaskDB::CheckElementTasks(const ElementLink& links, int32_t kind, const API_Guid& guid) const {
    int n = CountLinks(links);
    if (n == 0) return 0;
    // One link to an id no other task has: nothing to compare (the usual element).
    if (n == 1 && !IsIdShared(links[0])) return 0;
    // The linked tasks in schedule order, each once, found through the id index.
    std::array<size_t, 16> few{};
    std::vector<size_t> many;
    size_t found = 0;
    auto add = [&](size_t index) {
        if (IsMarkerAt(index)) return;
        if (found < few.size()) few[found] = index;
        else {
            if (many.empty()) many.assign(few.begin(), few.end());
            many.push_back(index);
        }
        ++found;
    };
    for (int k = 0; k < n; ++k) {
        int32_t id = links[static_cast<size_t>(k)];
        bool seen = false;
        for (int m = 0; m < k; ++m) seen = seen || links[static_cast<size_t>(m)] == id;
        if (!seen) ForEachIndexOfId(id, add);
    }
    // Decided on the tasks, not the links: two tasks may share an id, so one link can name both.
    if (found < 2) return 0;
    size_t* first = many.empty() ? few.data() : many.data();
    std::sort(first, first + found);
    std::vector<const Task*> sorted;
    sorted.reserve(found);
    for (size_t i = 0; i < found; ++i) sorted.push_back(&tasks_[first[i]]);
    TaskLess byStart(false, TaskLess::ByStart);
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Task* a, const Task* b) { return byStart(*a, *b); });
    struct View {
        const std::vector<const Task*>& v;
        const Task& operator[](size_t i) const { return *v[i]; }
        size_t size() const { return v.size(); }
    } mine{sorted};

    std::set<std::pair<int32_t, int32_t>> overlaps;
    std::map<std::pair<int32_t, int32_t>, std::pair<size_t, size_t>> pairTasks;
    for (size_t i = 0; i < mine.size(); ++i) {
        for (size_t j = i + 1; j < mine.size(); ++j) {
            const Task& a = mine[i];
            const Task& b = mine[j];
            bool overlap;
            if (a.start.ticks == b.start.ticks) overlap = true;
            else if (a.start < b.start) overlap = !(a.finish.DayBefore() < b.start);
            else {
                std::fprintf(stderr, "Internal error, is sort wrong?\n");
                continue;
            }
            if (overlap && overlaps.insert({a.id, b.id}).second) pairTasks[{a.id, b.id}] = {i, j};
        }
    }

    int32_t count = 0;
    std::string kindName, idText;
    auto identify = [&] {
        if (kindName.empty() && idText.empty() && elementHider_) {
            auto names = elementHider_->ElementKindAndId(kind, guid);
            kindName = names.first;
            idText = names.second;
        }
    };
    if (!overlaps.empty()) {
        identify();
        Report(AddonFormat(32510, 7, {kindName, idText}));
        for (const auto& pair : overlaps) {
            auto [i, j] = pairTasks[pair];
            Report(AddonFormat(32510, 8, {mine[j].Name(), mine[i].Name()}));
            ++count;
        }
    }
    bool headed = false;
    for (size_t k = 0; mine.size() > 1 && k + 1 < mine.size(); ++k) {
        if (IsSuccessionAllowed(mine[k].type, mine[k + 1].type)) continue;
        if (!headed) {
            identify();
            Report(AddonFormat(32510, 9, {kindName, idText}));
            headed = true;
        }
        Report(AddonFormat(32510, 10, {mine[k + 1].Name(), TypeName(mine[k + 1].type), mine[k].Name(),
                                      TypeName(mine[k].type)}));
        ++count;
    }
    return count;
}
