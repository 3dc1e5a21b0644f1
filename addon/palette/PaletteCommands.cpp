// What each palette button does.
#include "palette/MainDialogCPP.h"

#include "basekit/BKMemory.h"
#include "basekit/FixedText.h"
#include "basekit/LittleEndian.h"
#include "display/ElementHider.h"
#include "hostapi/HostElementRecord.h"
#include "resources/AddonResources.h"
#include "schedule/Exceptions.h"
#include "shell/HostInterface.h"

bool MainDialogCPP::SelectionHasElements() {
    std::array<uint8_t, HostSelection::kInfoSize> info{};
    HostSelectionGet(info.data(), nullptr, 0);
    int32_t kind = LE::Get<int32_t>(info, HostSelection::kKind);
    if (kind >= 2 && kind <= 4) BKDisposeHandle(LE::Get<uint32_t>(info, HostSelection::kMarquee));
    return LE::Get<int32_t>(info, HostSelection::kCount) != 0;
}

void MainDialogCPP::NewTaskCommand() {
    taskDB_.ClearMarks(*this);
    taskDB_.NewTask();
    RefillList(false);
    int16_t n = RowCount();
    if (n < 1) return;
    selectedRow_ = editedRow_ = previousRow_ = n;
    SelectListRow(n);
    BeginRowEdit(n);
    dialog_->SetFocus(kNameEditor);
}

void MainDialogCPP::DeleteSelectedTask(const std::string& caption) {
    if (selectedRow_ < 1) return;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(selectedRow_) - 1, t);
    if (AddonAlert(32511, std::string(t.Name()).c_str()) != 1) return;
    DGListState& list = *dialog_->List(kList);
    int32_t id = list.rows[static_cast<size_t>(selectedRow_) - 1].value;
    --selectedRow_;
    if (selectedRow_ == 0 && taskDB_.TaskCount() > 1) selectedRow_ = 1;
    if (selectedRow_ >= 1) SelectListRow(selectedRow_);
    previousRow_ = selectedRow_;
    try {
        taskDB_.DeleteTask(id);
        HostUndoOpen(caption.c_str());
        try {
            taskDB_.RemoveTaskLinks(id);
        } catch (...) {
            HostUndoClose();
            throw;
        }
        HostUndoClose();
    } catch (const ETaskNotFound&) {
    }
    taskDB_.ClearMarks(*this);
    RefillList(true);
}

void MainDialogCPP::ButtonClicked(int16_t item) {
    if (!CommitRowEdit()) return;
    char captionBuffer[256] = {};
    BKCopyText(captionBuffer, dialog_->ItemText(item));
    std::string caption = captionBuffer;
    Task selected;
    bool hasRow = selectedRow_ >= 1 && static_cast<size_t>(selectedRow_) <= taskDB_.TaskCount();
    if (hasRow) taskDB_.GetTaskAt(static_cast<size_t>(selectedRow_) - 1, selected);

    if (item >= kFirstHeader && item <= kLastHeader) {
        SortByColumn(item);
        RefillList(true);
        return;
    }
    switch (item) {
    case kLink:
        if (!SelectionHasElements()) return;
        if (hasRow && AddonAlert(32509, std::string(selected.Name()).c_str()) == 1) {
            taskDB_.ClearMarks(*this);
            taskDB_.LinkSelection(selected.id);
            RefillList(true);
        }
        break;
    case kUnlink:
        if (!SelectionHasElements()) return;
        if (AddonAlert(32510) == 1) {
            taskDB_.ClearMarks(*this);
            taskDB_.LinkSelection(0);
            RefillList(true);
        }
        break;
    case kMarkToggle:
        if (marked_) {
            taskDB_.ClearMarks(*this);
            RefillList(true);
            break;
        }
        if (!SelectionHasElements()) return;
        try {
            taskDB_.MarkLinkedToSelection(*this);
            SetToggleText();
        } catch (const EAddon&) {
            AddonAlert(32527);
        }
        RefillList(true);
        break;
    case kSelectLinked:
        if (!hasRow) return;
        taskDB_.ClearMarks(*this);
        taskDB_.SelectLinkedElements(selected.id);
        RefillList(true);
        break;
    case kSelectUnlinked:
        taskDB_.ClearMarks(*this);
        taskDB_.SelectLinkedElements(-1);
        RefillList(true);
        break;
    case kNewTask: NewTaskCommand(); break;
    case kDeleteTask: DeleteSelectedTask(caption); break;
    case kShowAll:
        // A display failure must not leave the click handler; it is reported like the toggle's.
        try {
            HostSelectElements(nullptr, 0, false);
            elementHider_.Prepare(taskDB_);
            HostUndoOpen(caption.c_str());
            try {
                elementHider_.ShowAll(taskDB_);
            } catch (...) {
                HostUndoClose();
                throw;
            }
            HostUndoClose();
            elementHider_.Finish();
        } catch (const EElementHider&) {
            AddonAlert(32527);
        }
        break;
    case kShowBuilt:
        try {
            elementHider_.Prepare(taskDB_);
            elementHider_.BeginPass();
            if (taskDB_.IsDirty()) elementHider_.ResetShownState(taskDB_, kUnlinked);
            HostUndoOpen(caption.c_str());
            try {
                elementHider_.ShowAtCurrentDate(taskDB_, 0);
            } catch (...) {
                HostUndoClose();
                throw;
            }
            HostUndoClose();
            elementHider_.EndPass();
            elementHider_.Finish();
        } catch (const EElementHider&) {
            elementHider_.EndPass();
            AddonAlert(32527);
        }
        break;
    default: break;
    }
}
