#pragma once
// The activity palette: the modeless list of the schedule's tasks with the current-date control,
// in-place editing and the command buttons.
#include "dialogkit/DGDialog.h"
#include "hostapi/HostAPI.h"
#include "schedule/TaskDB.h"

#include <array>
#include <memory>
#include <string>

class ElementHider;

class MainDialogCPP : public IMarkSink {
public:
    static constexpr int32_t kDialogId = 32400;
    enum Item : int16_t {
        kLink = 1, kUnlink = 2, kMarkToggle = 3, kSelectLinked = 4, kSelectUnlinked = 5, kNewTask = 6,
        kDeleteTask = 7, kShowAll = 8, kShowBuilt = 9, kCurrentDate = 10, kDateLabel = 11, kNameEditor = 12,
        kTypeEditor = 13, kStartEditor = 14, kFinishEditor = 15, kList = 16, kFirstHeader = 17, kLastHeader = 21,
    };

    MainDialogCPP(TaskDB& taskDB, ElementHider& elementHider);
    ~MainDialogCPP() override;

    DGDialog* Dialog() { return dialog_.get(); }
    int32_t DialogId() const { return dialog_ ? dialog_->Id() : 0; }

    void StartEventProcessing();
    void StopEventProcessing();
    void ShowPalette(bool show);
    void RefillList(bool keepSelection);
    void FillRow(int16_t row);
    void SortByColumn(int16_t headerId);
    void SetMarked(bool marked) override;

    // In-place editing.
    void BeginRowEdit(int16_t row);
    bool StoreRowEdit();
    bool CommitRowEdit();
    void PlaceEditors();
    void RemoveEditors();
    // Ends a pending edit without storing it: the schedule it belonged to is gone.
    void DiscardRowEdit();

    // Events (from the observer).
    void Opened();
    void Closed();
    void CloseRequested();
    void Resized(int16_t dx, int16_t dy);
    void ButtonClicked(int16_t item);
    void CurrentDateChanged();
    void DateEditorChanged();
    void ListSelectionChanged();
    void ListDoubleClicked(int16_t row);
    void DrawStateCell(int16_t row, DGCanvas& canvas);

    // The host's palette manager.
    static GSErr PaletteCallback(int32_t dialogId, int32_t message, int32_t param);

    bool IsVisible() const { return dialog_ && dialog_->IsVisible(); }
    bool Marked() const { return marked_; }
    bool PendingSharedWarning() const { return pendingSharedWarning_; }
    void SetPendingSharedWarning(bool pending) { pendingSharedWarning_ = pending; }
    int16_t EditedRow() const { return editedRow_; }
    int16_t SelectedRow() const { return selectedRow_; }
    int16_t SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return sortDescending_; }
    bool VisibleByUser() const { return visibleByUser_; }

private:
    void SetToggleText();
    bool SelectionHasElements();
    void DeleteSelectedTask(const std::string& caption);
    void NewTaskCommand();
    void SelectListRow(int16_t row);
    void ReSortIfByState();
    int16_t RowCount();

    TaskDB& taskDB_;
    ElementHider& elementHider_;
    std::unique_ptr<DGDialog> dialog_;
    std::array<std::string, 5> typeNames_;
    bool typeNamesLoaded_ = false;
    std::array<std::string, 2> toggleTexts_;
    int16_t editedRow_ = -1;
    int16_t previousRow_ = -1;
    int16_t selectedRow_ = 0;
    bool marked_ = false;
    bool pendingSharedWarning_ = false;
    bool visibleByUser_ = false;
    int16_t sortColumn_ = -1;
    bool sortDescending_ = false;
};

// The palette of the module, while it exists (the palette manager's callback needs it).
MainDialogCPP* CurrentPalette();
