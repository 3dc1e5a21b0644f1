#pragma once
// The schedule of the open host project: the tasks, the date the model is shown at, and the
// file identity kept in the settings record.
#include "basekit/BKMemory.h"
#include "hostapi/HostGuid.h"
#include "hostcalls/OwnedHandle.h"
#include "schedule/ConstructionType.h"
#include "schedule/DateTime.h"
#include "schedule/ElementLink.h"
#include "schedule/Task.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class AnimationSettings;
class IElementDisplay;

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
    size_t IndexOfId(int32_t id) const;          // throws ETaskNotFound
    Task& TaskById(int32_t id);                  // throws ETaskNotFound
    void CopyTaskById(int32_t id, Task& out) const; // throws ETaskNotFound
    void GetTaskAt(size_t index, Task& out) const;
    void SetTaskAt(size_t index, const Task& task); // throws ETaskNotFound
    int32_t MaxId() const;
    int32_t NextFreeId() const;
    size_t NewTask();
    void DeleteTask(int32_t id); // throws ETaskNotFound
    // Adds a whole task as read from a file; the schedule does not become dirty.
    void AppendLoadedTask(const Task& task);

    void SetCurrentDate(const DateTime& date, bool toEndOfDay);
    const DateTime& CurrentDate() const { return currentDate_; }
    void RecomputeStates();
    DateTime EarliestStart() const;
    DateTime LatestFinish() const;
    void ClearSchedule();

    // Schedule files; paths are 8-bit. Save and Open are the menu commands: they ask for the
    // file, choose the project file or the schedule text by its kind, and show the alerts.
    bool Save(bool saveAs);
    bool Open();
    bool SaveProjectFile(const std::string& path);
    bool LoadProjectFile(const std::string& path);
    bool ImportScheduleText(const std::string& path);
    // Microsoft Project's XML; alerts and returns false on failure, the schedule unchanged.
    bool ImportProjectXml(const std::string& path);
    bool SaveScheduleText(const std::string& path) const;

    // Schedule checks: each finding is one line in the host's report window; they return how
    // many findings they wrote (headings not counted).
    int32_t CheckTaskDates() const;
    int32_t CheckElementTasks(const ElementLink& links, int32_t kind, const API_Guid& guid) const;

    // Element links, driven by the palette. A link id of 0 unlinks; -1 selects the unlinked.
    void LinkSelection(int32_t id);
    void RemoveTaskLinks(int32_t id);
    void SelectLinkedElements(int32_t id);
    void MarkLinkedToSelection(IMarkSink& palette);
    void ClearMarks(IMarkSink& palette);

    bool IsDirty() const { return dirty_ != 0; }
    void SetDirty(bool dirty) { dirty_ = dirty ? 1 : 0; }
    int16_t SharedUserId() const { return sharedUserId_; }
    void SetSharedUserId(int16_t id) { sharedUserId_ = id; }

    // Whether a task of type `following` may come after one of type `earlier` on one element.
    bool IsSuccessionAllowed(int32_t earlier, int32_t following) const;
    // Column names of the schedule text (ID, name, start, finish).
    const std::array<std::string, 4>& ColumnNames() const { return columnNames_; }

    // The palette sorts the schedule in place.
    std::vector<Task>& Tasks() { return tasks_; }
    const std::vector<Task>& Tasks() const { return tasks_; }

    AnimationSettings& Settings() { return settings_; }
    IElementDisplay* Hider() { return elementHider_; }

    // The label object's parameter records (1080 bytes each), owned here, never stored.
    BKHandle LabelParameters() const { return labelParameters_.Get(); }
    int32_t LabelParameterCount() const { return labelParameterCount_; }
    // Holds this block (none for an empty owner) instead of the previous one.
    void SetLabelParameters(OwnedHandle block, int32_t count);

private:
    // Names every task whose id a project file cannot hold; true when there is one.
    bool ReportUnusableIds() const;
    int16_t sharedUserId_ = 0;
    DateTime currentDate_;
    std::vector<Task> tasks_;
    uint8_t dirty_ = 0;
    AnimationSettings& settings_;
    IElementDisplay* elementHider_;
    OwnedHandle labelParameters_;
    int32_t labelParameterCount_ = 0;
    std::array<std::string, 4> columnNames_;
    std::array<std::array<uint8_t, kConstructionTypeCount>, kConstructionTypeCount> succession_{};
};
