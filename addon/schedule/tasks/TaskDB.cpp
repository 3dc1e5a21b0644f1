#include "schedule/tasks/TaskDB.h"

#include "hostcalls/FileDialogs.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/Exceptions.h"
#include "schedule/tasks/IElementDisplay.h"
#include "schedule/tasks/TaskLess.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

TaskDB::TaskDB(AnimationSettings& settings, IElementDisplay* elementHider)
    : settings_(settings), elementHider_(elementHider) {
    currentDate_.Clear();
}

TaskDB::~TaskDB() = default;

bool TaskDB::InitTaskDB() {
    for (int i = 0; i < 4; ++i) columnNames_[i] = AddonString(32600, static_cast<int16_t>(i + 1));
    // Rows: the earlier task's type; columns: the type of the task that follows on one element.
    succession_ = {{
        {0, 1, 1, 1, 0},
        {1, 0, 0, 0, 1},
        {0, 1, 1, 1, 0},
        {0, 1, 1, 1, 0},
        {1, 0, 0, 0, 1},
    }};
    currentDate_ = DateTime::Now().EndOfDay();
    sharedUserId_ = 0;
    SetLabelParameters(OwnedHandle(), 0);
    return true;
}

void TaskDB::EnsureIdIndex() const {
    if (idIndexValid_) return;
    int64_t maxId = -1;
    for (const Task& t : tasks_) maxId = std::max<int64_t>(maxId, t.id);
    size_t dense = maxId >= 0 && static_cast<uint64_t>(maxId) < 4 * static_cast<uint64_t>(tasks_.size()) + 1024
                       ? static_cast<size_t>(maxId) + 1
                       : std::min<size_t>(4 * tasks_.size() + 1024, maxId >= 0 ? static_cast<size_t>(maxId) + 1 : 0);
    denseFirstOfId_.assign(dense, kNoTask);
    firstOfId_.clear();
    nextOfId_.assign(tasks_.size(), kNoTask);
    // From the back, so each id ends up at its first task with the chain running forward.
    for (size_t i = tasks_.size(); i-- > 0;) {
        int32_t id = tasks_[i].id;
        uint32_t* first;
        if (id >= 0 && static_cast<size_t>(id) < dense) {
            first = &denseFirstOfId_[static_cast<size_t>(id)];
        } else {
            auto [it, added] = firstOfId_.try_emplace(id, kNoTask);
            first = &it->second;
        }
        nextOfId_[i] = *first;
        *first = static_cast<uint32_t>(i);
    }
    idIndexValid_ = true;
}

size_t TaskDB::IndexOfId(int32_t id) const {
    uint32_t i = FirstOfId(id);
    if (i == kNoTask) throw ETaskNotFound(__LINE__);
    if (i < tasks_.size() && tasks_[i].id == id) return i;
    // The list changed behind the index (through a reference kept from Tasks()): index again.
    idIndexValid_ = false;
    i = FirstOfId(id);
    if (i == kNoTask) throw ETaskNotFound(__LINE__);
    return i;
}

bool TaskDB::IsIdShared(int32_t id) const {
    uint32_t i = FirstOfId(id);
    return i != kNoTask && nextOfId_[i] != kNoTask;
}

Task& TaskDB::TaskById(int32_t id) { return tasks_[IndexOfId(id)]; }

void TaskDB::CopyTaskById(int32_t id, Task& out) const { out = tasks_[IndexOfId(id)]; }

void TaskDB::GetTaskAt(size_t index, Task& out) const {
    if (tasks_.empty()) {
        out = Task();
        return;
    }
    if (index >= tasks_.size()) throw ETaskNotFound(__LINE__);
    out = tasks_[index];
}

void TaskDB::SetTaskAt(size_t index, const Task& task) {
    if (index >= tasks_.size()) throw ETaskNotFound(__LINE__);
    Task& stored = tasks_[index];
    bool changed = std::strncmp(stored.name, task.name, Task::kNameSize) != 0 || stored.start != task.start ||
                   stored.finish != task.finish || stored.type != task.type || stored.id != task.id;
    bool idChanged = stored.id != task.id;
    stored = task;
    stored.name[Task::kNameSize - 1] = 0;
    if (changed) dirty_ = 1;
    if (idChanged) idIndexValid_ = false;
}

int32_t TaskDB::MaxId() const {
    int32_t max = 0;
    for (const Task& t : tasks_)
        if (t.id > max) max = t.id;
    return max;
}

// MaxId + 1, except when the largest id is already the largest one a record can hold: then the
// smallest positive id no task uses, so a new task never gets an id below 1.
int32_t TaskDB::NextFreeId() const {
    int32_t max = MaxId();
    if (max < std::numeric_limits<int32_t>::max()) return max + 1;
    std::vector<int32_t> used;
    used.reserve(tasks_.size());
    for (const Task& t : tasks_)
        if (t.id > 0) used.push_back(t.id);
    std::sort(used.begin(), used.end());
    int32_t candidate = 1;
    for (int32_t id : used) {
        if (id > candidate) break;
        if (id == candidate) ++candidate;
    }
    return candidate;
}

size_t TaskDB::NewTask() {
    Task task;
    DateTime today = DateTime::Now();
    task.start = today.StartOfDay();
    task.finish = today.EndOfDay();
    task.SetName("");
    task.id = NextFreeId();
    tasks_.push_back(task);
    if (!plans_.empty()) plans_.resize(tasks_.size());
    idIndexValid_ = false;
    dirty_ = 1;
    return tasks_.size() - 1;
}

void TaskDB::DeleteTask(int32_t id) {
    size_t index = IndexOfId(id);
    if (plans_.size() == tasks_.size()) plans_.erase(plans_.begin() + static_cast<std::ptrdiff_t>(index));
    else plans_.clear();
    tasks_.erase(tasks_.begin() + static_cast<std::ptrdiff_t>(index));
    idIndexValid_ = false;
    dirty_ = 1;
}

void TaskDB::AppendLoadedTask(const Task& task, const TaskPlan& plan) {
    if (plans_.size() != tasks_.size()) plans_.clear();
    tasks_.push_back(task);
    tasks_.back().name[Task::kNameSize - 1] = 0;
    if (!plan.Empty() || !plans_.empty()) {
        plans_.resize(tasks_.size() - 1);
        plans_.push_back(plan);
    }
    idIndexValid_ = false;
}

bool TaskDB::HasPlan() const {
    if (plans_.size() != tasks_.size()) return false;
    return std::any_of(plans_.begin(), plans_.end(), [](const TaskPlan& p) { return !p.Empty(); });
}

const TaskPlan* TaskDB::PlanAt(size_t index) const {
    if (plans_.size() != tasks_.size() || index >= plans_.size() || plans_[index].Empty()) return nullptr;
    return &plans_[index];
}

bool TaskDB::IsMarker(const Task& task) const {
    if (plans_.empty() || tasks_.empty()) return false;
    std::less<const Task*> before;
    const Task* first = tasks_.data();
    if (before(&task, first) || !before(&task, first + tasks_.size())) return false;
    return IsMarkerAt(static_cast<size_t>(&task - first));
}

void TaskDB::SortTasks(const TaskLess& less) {
    idIndexValid_ = false;
    if (plans_.size() != tasks_.size() || plans_.empty()) {
        plans_.clear();
        ::SortTasks(tasks_, less);
        return;
    }
    // The same stable merge over positions, so tasks and plans move together.
    std::vector<size_t> order(tasks_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return less(tasks_[a], tasks_[b]); });
    std::vector<Task> tasks;
    std::vector<TaskPlan> plans;
    tasks.reserve(order.size());
    plans.reserve(order.size());
    for (size_t i : order) {
        tasks.push_back(tasks_[i]);
        plans.push_back(std::move(plans_[i]));
    }
    tasks_ = std::move(tasks);
    plans_ = std::move(plans);
}

void TaskDB::SetCurrentDate(const DateTime& date, bool toEndOfDay) {
    currentDate_ = toEndOfDay ? date.EndOfDay() : date;
    RecomputeStates();
}

void TaskDB::RecomputeStates() {
    for (Task& t : tasks_) t.ComputeState(currentDate_);
}

DateTime TaskDB::EarliestStart() const {
    Task first;
    GetTaskAt(0, first);
    DateTime candidate = first.start;
    bool replaced = false;
    for (size_t i = 1; i < tasks_.size(); ++i) {
        if (tasks_[i].start.status == DateTimeStatus::Valid && tasks_[i].start < candidate) {
            candidate = tasks_[i].start;
            replaced = true;
        }
    }
    if (replaced) candidate.status = DateTimeStatus::Valid;
    return candidate;
}

DateTime TaskDB::LatestFinish() const {
    Task first;
    GetTaskAt(0, first);
    DateTime candidate = first.finish;
    bool replaced = false;
    for (size_t i = 1; i < tasks_.size(); ++i) {
        if (tasks_[i].finish.status == DateTimeStatus::Valid && tasks_[i].finish > candidate) {
            candidate = tasks_[i].finish;
            replaced = true;
        }
    }
    if (replaced) candidate.status = DateTimeStatus::Valid;
    return candidate;
}

void TaskDB::ClearSchedule() {
    dirty_ = 0;
    tasks_.clear();
    plans_.clear();
    linkRules_ = {};
    baselines_.clear();
    view_ = ScheduleView::Planned;
    statusDate_ = DateTime::FromTicks(0, DateTimeStatus::Null);
    idIndexValid_ = false;
    if (elementHider_) elementHider_->TakeStoredLooks({}, true);
    SetCurrentDate(DateTime::Now(), true);
    settings_.ApplyDefaultNames();
}

bool TaskDB::IsSuccessionAllowed(ConstructionType earlier, ConstructionType following) const {
    if (!IsKnownConstructionType(earlier) || !IsKnownConstructionType(following)) return false;
    return succession_[ConstructionTypeIndex(earlier)][ConstructionTypeIndex(following)] != 0;
}

void TaskDB::SetLabelParameters(OwnedHandle block, int32_t count) {
    labelParameterCount_ = block ? count : 0;
    labelParameters_ = std::move(block);
}

void TaskDB::SetLinkRules(LinkRules rules) {
    if (rules == linkRules_) return;
    linkRules_ = std::move(rules);
    dirty_ = 1;
}

void TaskDB::BecomeUnsavedImport(const std::string& path) {
    // Never saved over: the first save asks where, proposing a project file beside it; until
    // then the schedule is in no file of the add-on's, so it counts as unsaved.
    std::string proposed = path;
    if (size_t dot = proposed.rfind('.'); dot != std::string::npos && proposed.find('/', dot) == std::string::npos)
        proposed.erase(dot);
    settings_.SetProjectFilePath(proposed + "." + AddonString(32598, 1));
    settings_.projectFileKind = ProjectFileKind;
    settings_.untitled = true;
    dirty_ = 1;
    SetCurrentDate(DateTime::Now(), true);
}

void TaskDB::ImportSchedule(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans, const std::string& path) {
    ReplaceTasks(std::move(tasks), std::move(plans));
    BecomeUnsavedImport(path);
}

void TaskDB::SetView(ScheduleView view) {
    if (view == view_) return;
    view_ = view;
    dirty_ = 1;
}

void TaskDB::SetStatusDate(const DateTime& date) {
    const DateTime next = date.status == DateTimeStatus::Valid ? date : DateTime::FromTicks(0, DateTimeStatus::Null);
    if (next == statusDate_) return;
    statusDate_ = next;
    dirty_ = 1;
}

DateTime TaskDB::DataDate() const {
    return statusDate_.status == DateTimeStatus::Valid ? statusDate_ : DateTime::Now().EndOfDay();
}

void TaskDB::SetProgress(size_t index, const DateTime& actualStart, const DateTime& actualFinish, uint8_t percent) {
    if (index >= tasks_.size()) throw ETaskNotFound(__LINE__);
    auto known = [](const DateTime& d) {
        return TaskPlan::IsStorableMoment(d) ? d : DateTime::FromTicks(0, DateTimeStatus::Null);
    };
    // Plans that no longer match their tasks are none.
    if (plans_.size() != tasks_.size()) plans_.assign(tasks_.size(), TaskPlan());
    TaskPlan& plan = plans_[index];
    const TaskPlan before = plan;
    plan.actualStart = known(actualStart);
    plan.actualFinish = known(actualFinish);
    plan.percentComplete = percent <= 100 ? percent : TaskPlan::kNoPercent;
    if (!(plan == before)) dirty_ = 1;
}

bool TaskDB::MarkDoneToStatusDate(size_t index) {
    if (index >= tasks_.size()) throw ETaskNotFound(__LINE__);
    const Task& t = tasks_[index];
    const DateTime status = DataDate();
    if (!t.IsValid() || (status - t.start).TotalSeconds() <= 0) return false;
    const TaskPlan* plan = PlanAt(index);
    const TaskPlan none;
    const TaskPlan& p = plan ? *plan : none;
    DateTime start = p.actualStart.status == DateTimeStatus::Valid ? p.actualStart : t.start;
    DateTime finish = p.actualFinish;
    uint8_t percent = 100;
    if ((status - t.finish).ticks >= 0) {
        if (finish.status != DateTimeStatus::Valid) finish = t.finish;
    } else if (finish.status != DateTimeStatus::Valid) {
        Task at = t;
        at.ComputeState(status);
        percent = static_cast<uint8_t>(std::clamp(at.percentComplete, 0, 100));
    }
    SetProgress(index, start, finish, percent);
    return true;
}

bool TaskDB::KeepBaseline(const std::string& name) {
    std::string kept = name.substr(0, std::min({name.size(), Baseline::kNameMax, name.find('\0')}));
    if (kept.empty()) return false;
    Baseline b = MakeBaseline(kept, DateTime::Now(), tasks_);
    auto same = std::find_if(baselines_.begin(), baselines_.end(), [&](const Baseline& o) { return o.name == kept; });
    if (same != baselines_.end()) *same = std::move(b);
    else if (baselines_.size() >= Baseline::kMaxCount) return false;
    else baselines_.push_back(std::move(b));
    dirty_ = 1;
    return true;
}
