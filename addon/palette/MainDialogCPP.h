#pragma once
// The activity palette: the modeless list of the schedule's tasks with the current-date control,
// in-place editing and the command buttons.
#include "dialogkit/DGDialog.h"
#include "hostapi/HostAPI.h"
#include "schedule/tasks/TaskDB.h"

#include <array>
#include <memory>
#include <string>

class ElementHider;
class TaskLess;

class MainDialogCPP : public IMarkSink {
public:
    static constexpr int32_t kDialogId = 32400;
    enum Item : int16_t {
        kLink = 1, kUnlink = 2, kMarkToggle = 3, kSelectLinked = 4, kSelectUnlinked = 5, kNewTask = 6,
        kDeleteTask = 7, kShowAll = 8, kShowBuilt = 9, kCurrentDate = 10, kDateLabel = 11, kNameEditor = 12,
        kTypeEditor = 13, kStartEditor = 14, kFinishEditor = 15, kList = 16, kFirstHeader = 17, kLastHeader = 21,
        kProfileEditor = 22, kViewChoice = 23, kStatusDate = 24, kStatusDateLabel = 25, kKeepBaseline = 26,
        kMarkDone = 27, kStartedCheck = 28, kActualStartEditor = 29, kFinishedCheck = 30, kActualFinishEditor = 31,
        kPercentLabel = 32, kPercentEditor = 33,
    };

    MainDialogCPP(TaskDB& taskDB, ElementHider& elementHider);
    ~MainDialogCPP() override;

    DGDialog* Dialog() { return dialog_.get(); }
    int32_t DialogId() const { return dialog_ ? dialog_->Id() : 0; }

    void StartEventProcessing();
    void StopEventProcessing();
    void ShowPalette(bool show);
    void RefillList(bool keepSelection);
    void FillRow(int32_t row);
    void SortByColumn(int16_t headerId);
    // The schedule was changed outside the list: it is no longer known to be in a sorted order.
    void ForgetSort() { sortColumn_ = -1; }
    void SetMarked(bool marked) override;

    // In-place editing.
    void BeginRowEdit(int32_t row);
    bool StoreRowEdit();
    bool CommitRowEdit();
    void PlaceEditors();
    void RemoveEditors();
    // Ends a pending edit without storing it: the schedule it belonged to is gone.
    void DiscardRowEdit();
    // The profile the edit's pop-up names: empty for the type's own.
    std::string ChosenProfile();
    // The edited row's progress below the list: begun and when, finished and when, percent.
    void FillProgressEditors(size_t index);
    void ShowProgressEditors(bool show);
    void StoreProgressEdit(size_t index);

    // Events (from the observer).
    void Opened();
    void Closed();
    void CloseRequested();
    void Resized(int16_t dx, int16_t dy);
    void ButtonClicked(int16_t item);
    void CurrentDateChanged();
    // The view choice and the status date: the controls show the schedule's, a change sets it.
    void FillStandingControls();
    void ViewChanged();
    void StatusDateChanged();
    // Asks a name (dialog 32509) and keeps the tasks' planned dates under it.
    void KeepBaselineCommand();
    // The task's progress as the plan had it by the status date; the model is shown again when it
    // shows a view of what happened.
    void MarkDoneCommand(size_t index, const std::string& caption);
    void DateEditorChanged();
    void ListSelectionChanged();
    void ListDoubleClicked(int32_t row);
    void DrawStateCell(int32_t row, DGCanvas& canvas);
    // The row's help text: how many elements are linked to its task.
    std::string RowTip(int32_t row);
    // An event failed: alert 32527, then the list is made to agree with the schedule again.
    void ReportFailure();

    // The host's palette manager.
    static GSErr PaletteCallback(int32_t dialogId, int32_t message, int32_t param);

    bool IsVisible() const { return dialog_ && dialog_->IsVisible(); }
    bool Marked() const { return marked_; }
    bool PendingSharedWarning() const { return pendingSharedWarning_; }
    void SetPendingSharedWarning(bool pending) { pendingSharedWarning_ = pending; }
    int32_t EditedRow() const { return editedRow_; }
    int32_t SelectedRow() const { return selectedRow_; }
    int32_t PreviousRow() const { return previousRow_; }
    int16_t SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return sortDescending_; }
    bool VisibleByUser() const { return visibleByUser_; }

private:
    void PaletteMessage(int32_t message);
    void SetToggleText();
    bool SelectionHasElements();
    void DeleteSelectedTask(const std::string& caption);
    // Links the selection to the task (0 unlinks) as one undo step named `caption`.
    void LinkAsOneStep(int32_t taskId, const std::string& caption);
    void NewTaskCommand();
    void SelectListRow(int32_t row);
    void ReSortIfByState();
    int32_t RowCount();
    // A row of the list that shows a task of the schedule.
    bool IsTaskRow(int32_t row);
    // After a refill: the edit moves to the row of its task, or ends unstored when that task
    // cannot be told apart any more.
    void FollowEditedTask(int32_t hintRow);
    // Sorts the schedule and notes the row the edited task lands on, for the refill that follows.
    void SortFollowingEdit(const TaskLess& less);
    void FillProfileEditor(int32_t taskId);
    // Gives the task the profile as one undo step, and shows the model at its date again.
    void StoreProfileChoice(int32_t taskId, const std::string& profile);

    TaskDB& taskDB_;
    ElementHider& elementHider_;
    std::unique_ptr<DGDialog> dialog_;
    std::array<std::string, 5> typeNames_;
    bool typeNamesLoaded_ = false;
    std::array<std::string, 2> toggleTexts_;
    // Rows are 32-bit: a schedule may hold more tasks than 16 bits count.
    int32_t editedRow_ = -1;
    int32_t editedTaskId_ = 0; // the id of the task in edit, which the edit follows
    int32_t editedRowAfterSort_ = 0; // where the last sort put the edited task, 0 unknown
    int32_t previousRow_ = -1;
    int32_t selectedRow_ = 0;
    bool marked_ = false;
    bool pendingSharedWarning_ = false;
    bool visibleByUser_ = false;
    int16_t sortColumn_ = -1;
    bool sortDescending_ = false;
};

// The palette of the module, while it exists (the palette manager's callback needs it).
MainDialogCPP* CurrentPalette();
