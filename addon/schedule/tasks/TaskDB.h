#pragma once
// The schedule of the open host project: the tasks, the date the model is shown at, and the
// file identity kept in the settings record.
#include "basekit/BKMemory.h"
#include "basekit/OwnedHandle.h"
#include "hostapi/HostGuid.h"
#include "schedule/tasks/Baseline.h"
#include "schedule/tasks/ConstructionType.h"
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/ElementLink.h"
#include "schedule/tasks/LinkRules.h"
#include "schedule/tasks/ScheduleView.h"
#include "schedule/tasks/Task.h"
#include "schedule/tasks/TaskPlan.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class AnimationSettings;
class TaskLess;
class IElementDisplay;
class FKReplacementFile;

// Whoever shows the marks of tasks linked to the selection (the palette).
class IMarkSink {
public:
    virtual ~IMarkSink() = default;
    virtual void SetMarked(bool marked) = 0;
};

class TaskDB {
public:
    static constexpr size_t kLabelParameterSize = 1080;

    TaskDB(AnimationSettings& settings, IElementDisplay* elementHider);
    ~TaskDB();
    TaskDB(const TaskDB&) = delete;
    TaskDB& operator=(const TaskDB&) = delete;

    bool InitTaskDB();

    size_t TaskCount() const { return tasks_.size(); }
    // Lookups by id go through an index of each id's first task, made again after any change
    // of the task list (insert, delete, an id set by SetTaskAt, sort, load): constant time.
    size_t IndexOfId(int32_t id) const;          // throws ETaskNotFound
    // Every task with the id, in schedule order, each once; `use(index)`.
    template <typename Use> void ForEachIndexOfId(int32_t id, Use&& use) const {
        for (uint32_t i = FirstOfId(id); i != kNoTask; i = nextOfId_[i]) use(static_cast<size_t>(i));
    }
    // Whether more than one task has the id.
    bool IsIdShared(int32_t id) const;
    Task& TaskById(int32_t id);                  // throws ETaskNotFound
    void CopyTaskById(int32_t id, Task& out) const; // throws ETaskNotFound
    void GetTaskAt(size_t index, Task& out) const;
    void SetTaskAt(size_t index, const Task& task); // throws ETaskNotFound
    int32_t MaxId() const;
    int32_t NextFreeId() const;
    size_t NewTask();
    void DeleteTask(int32_t id); // throws ETaskNotFound
    // Adds a whole task as read from a file; the schedule does not become dirty.
    void AppendLoadedTask(const Task& task, const TaskPlan& plan = {});

    // The plan beside each task (outline, progress, dependencies), kept in the tasks' order.
    // Whether any task has one; the project file then needs its version 5.
    bool HasPlan() const;
    // The task's plan, nullptr when it has none.
    const TaskPlan* PlanAt(size_t index) const;
    // The plans as kept, for a writer of the whole schedule: empty, or one a task in the tasks'
    // order (a list that no longer matches counts as none).
    const std::vector<TaskPlan>& Plans() const { return plans_; }
    // A summary row or a milestone: it shows no element and takes no part in the checks.
    bool IsMarkerAt(size_t index) const {
        const TaskPlan* plan = PlanAt(index);
        return plan && plan->IsMarker();
    }
    // The same for a task of this schedule reached by reference; false for any other record.
    bool IsMarker(const Task& task) const;
    // Sorts the tasks in place, their plans with them (the palette's column sort).
    void SortTasks(const TaskLess& less);

    void SetCurrentDate(const DateTime& date, bool toEndOfDay);
    const DateTime& CurrentDate() const { return currentDate_; }
    void RecomputeStates();
    DateTime EarliestStart() const;
    DateTime LatestFinish() const;
    void ClearSchedule();

    // Which dates the model follows. Kept with the schedule; a change makes it dirty.
    ScheduleView View() const { return view_; }
    void SetView(ScheduleView view);
    // The status (data) date: what happened is known up to it. Null while none is set.
    const DateTime& StatusDate() const { return statusDate_; }
    // A date not Valid clears it. Makes the schedule dirty when it changes.
    void SetStatusDate(const DateTime& date);
    // The status date the views compare at: the one set, else the end of today.
    DateTime DataDate() const;
    // A task's progress as entered: actual start and finish (Null for none) and percent complete
    // (TaskPlan::kNoPercent for none). The task takes a plan if it had none; dirty when changed.
    // Throws ETaskNotFound for an index at or past the end.
    void SetProgress(size_t index, const DateTime& actualStart, const DateTime& actualFinish, uint8_t percent);
    // The task's progress as the plan has it by the status date: its actual start the planned one
    // (unless known), and where the plan has it done by then its actual finish the planned one
    // (unless known) and 100 percent, else the plan's percent then. False, nothing changed, for
    // a task the plan has not begun by the status date.
    bool MarkDoneToStatusDate(size_t index);

    // Baselines kept with the schedule, in the order first kept.
    const std::vector<Baseline>& Baselines() const { return baselines_; }
    // Keeps the tasks' planned dates now under `name` (8-bit, cut at 255 bytes), replacing a
    // baseline of that name; false, nothing kept, for an empty name or one more than the most.
    bool KeepBaseline(const std::string& name);

    // Of the members below, those of the schedule files (but ImportSchedule), the checks and the
    // element links (LinkSelection to ClearMarks, LinkedElementCounts) are defined in the rooms
    // above the core (commands/, projectfile/, formats/, checks/, links/); the core never calls them.
    // Schedule files; paths are 8-bit. Save and Open are the menu commands: they ask for the
    // file, choose the project file or the schedule text by its kind, and show the alerts. The
    // file they leave the schedule in is remembered with the host project.
    bool Save(bool saveAs);
    bool Open();
    // Open after its questions: reads the file of the kind (the open dialog's), makes it the
    // schedule's file and starts at today. Alerts and returns false on failure.
    bool OpenScheduleFile(const std::string& path, int16_t kind);
    // Before the schedule is replaced: unsaved changes are saved, let go or kept as the user
    // answers alert 32514; false when the schedule is to stay.
    bool MayReplace();
    // A schedule read from an outside plan at `path` (8-bit) replaces this one; it is in no file
    // of the add-on's until saved, which proposes a project file beside the plan.
    void ImportSchedule(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans, const std::string& path);
    // A plan read from a planning program's export. When the open schedule holds tasks of the
    // same unique ids, alert 32548 asks whether to update it (UpdateFromPlan), replace it
    // (ImportSchedule) or keep it (false).
    bool ImportPlan(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans, const std::string& path);
    struct PlanUpdate {
        size_t updated = 0, added = 0, removed = 0;
    };
    // The open schedule takes a newer export of its plan, matched by unique id: a task matched
    // keeps its id (so its links), type and profile and takes the plan's name, dates and plan;
    // the plan's new tasks are added with ids of their own; tasks of a unique id the plan no
    // longer holds are removed (their links stay on the elements); tasks the user made stay, after
    // the plan's. A report line gives the counts. The schedule keeps its file and becomes dirty.
    PlanUpdate UpdateFromPlan(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans, const std::string& path);
    // `synchronize` false for a copy someone else syncs (FKReplacementFile::SkipSynchronizing).
    bool SaveProjectFile(const std::string& path, bool synchronize = true);
    bool LoadProjectFile(const std::string& path);
    bool ImportScheduleText(const std::string& path);
    bool SaveScheduleText(const std::string& path) const;
    // The other programs' plans are read and written by the formats' own functions
    // (schedule/formats/), which hand a schedule read to ImportSchedule.

    // Schedule checks: each finding is one line in the host's report window; they return how
    // many findings they wrote (headings not counted).
    int32_t CheckTaskDates() const;
    int32_t CheckElementTasks(const ElementLink& links, int32_t kind, const API_Guid& guid) const;
    // A plan's dependencies: a task that starts or finishes before its predecessor allows (with
    // the lag), and tasks that wait on each other in a loop.
    int32_t CheckDependencies() const;
    // At each task's finish, a linked element shown standing while every linked element under
    // it is absent; off when the settings say so.
    int32_t CheckSupport() const;

    // Element links, driven by the palette. A link id of 0 unlinks; -1 selects the unlinked.
    void LinkSelection(int32_t id);
    void RemoveTaskLinks(int32_t id);
    void SelectLinkedElements(int32_t id);
    void MarkLinkedToSelection(IMarkSink& palette);
    void ClearMarks(IMarkSink& palette);

    // The link rules kept with the schedule (saved in its project file). New rules make the
    // schedule dirty; ClearSchedule forgets them.
    const LinkRules& Rules() const { return linkRules_; }
    void SetLinkRules(LinkRules rules);
    // How many elements of displayable kinds are linked to each task id.
    std::unordered_map<int32_t, size_t> LinkedElementCounts() const;

    bool IsDirty() const { return dirty_ != 0; }
    void SetDirty(bool dirty) { dirty_ = dirty ? 1 : 0; }
    int16_t SharedUserId() const { return sharedUserId_; }
    void SetSharedUserId(int16_t id) { sharedUserId_ = id; }

    // Whether a task of type `following` may come after one of type `earlier` on one element.
    bool IsSuccessionAllowed(ConstructionType earlier, ConstructionType following) const;
    // Column names of the schedule text (ID, name, start, finish).
    const std::array<std::string, 4>& ColumnNames() const { return columnNames_; }

    // The palette sorts the schedule in place. Whoever takes the list to change it takes it
    // here: the id index is made again at the next lookup. A task reached by TaskById may have
    // its flags changed, not its id.
    std::vector<Task>& Tasks() {
        idIndexValid_ = false;
        return tasks_;
    }
    const std::vector<Task>& Tasks() const { return tasks_; }

    AnimationSettings& Settings() { return settings_; }
    IElementDisplay* Hider() { return elementHider_; }

    // The label object's parameter records (1080 bytes each), owned here, never stored.
    BKHandle LabelParameters() const { return labelParameters_.Get(); }
    int32_t LabelParameterCount() const { return labelParameterCount_; }
    // Holds this block (none for an empty owner) instead of the previous one.
    void SetLabelParameters(OwnedHandle block, int32_t count);

private:
    static constexpr uint32_t kNoTask = UINT32_MAX;
    // Names every task whose id a project file cannot hold; true when there is one.
    bool ReportUnusableIds() const;
    void BecomeUnsavedImport(const std::string& path);
    // The writers behind SaveProjectFile and SaveScheduleText; `error` is the FileKit code that
    // stopped one, left 0 when the add-on itself refused.
    bool WriteProjectFile(FKReplacementFile& file, int32_t& error) const;
    bool WriteScheduleText(FKReplacementFile& file, int32_t& error) const;
    // The whole task list is replaced (a file was read); rules belonged to the schedule before.
    void ReplaceTasks(std::vector<Task>&& tasks, std::vector<TaskPlan>&& plans = {}) {
        tasks_ = std::move(tasks);
        plans_ = std::move(plans);
        linkRules_ = {};
        idIndexValid_ = false;
    }
    void EnsureIdIndex() const;
    // The index of the id's first task, kNoTask when none.
    uint32_t FirstOfId(int32_t id) const {
        EnsureIdIndex();
        if (id >= 0 && static_cast<size_t>(id) < denseFirstOfId_.size()) return denseFirstOfId_[static_cast<size_t>(id)];
        auto it = firstOfId_.find(id);
        return it == firstOfId_.end() ? kNoTask : it->second;
    }
    // id -> index of its first task: a table by id for the ids from 0 up to a few times the
    // number of tasks (the usual numbering), a hash map for the others; per task the index of
    // the next task with its id.
    mutable std::vector<uint32_t> denseFirstOfId_;
    mutable std::unordered_map<int32_t, uint32_t> firstOfId_;
    mutable std::vector<uint32_t> nextOfId_;
    mutable bool idIndexValid_ = false;
    int16_t sharedUserId_ = 0;
    DateTime currentDate_;
    std::vector<Task> tasks_;
    // Empty, or one plan a task in the same order. A list changed behind the schedule's back
    // (through Tasks()) no longer matches and counts as no plan.
    std::vector<TaskPlan> plans_;
    LinkRules linkRules_;
    std::vector<Baseline> baselines_;
    ScheduleView view_ = ScheduleView::Planned;
    DateTime statusDate_ = DateTime::FromTicks(0, DateTimeStatus::Null);
    uint8_t dirty_ = 0;
    AnimationSettings& settings_;
    IElementDisplay* elementHider_;
    OwnedHandle labelParameters_;
    int32_t labelParameterCount_ = 0;
    std::array<std::string, 4> columnNames_;
    std::array<std::array<uint8_t, kConstructionTypeCount>, kConstructionTypeCount> succession_{};
};
