// What each palette button does.
#include "palette/MainDialogCPP.h"
#include "resources/AddonAlerts.h"

#include "basekit/BKMemory.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "display/DisplayPass.h"
#include "hostapi/HostElementRecord.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostLists.h"
#include "hostcalls/HostScopes.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/Exceptions.h"

bool MainDialogCPP::SelectionHasElements() { return ReadHostSelection(false).count != 0; }

void MainDialogCPP::NewTaskCommand() {
    taskDB_.ClearMarks(*this);
    size_t index = taskDB_.NewTask();
    RefillList(false);
    // The new task's own row, wherever the schedule put it.
    auto n = static_cast<int32_t>(index + 1);
    if (!IsTaskRow(n)) return;
    selectedRow_ = previousRow_ = n;
    SelectListRow(n);
    BeginRowEdit(n);
    dialog_->SetFocus(kNameEditor);
}

// A link is the user's change of the model, so it is undone as one; the display's cache checks
// every element against its link record, so it follows an undone or redone link.
void MainDialogCPP::LinkAsOneStep(int32_t taskId, const std::string& caption) {
    HostUndoStep undo(caption);
    taskDB_.LinkSelection(taskId);
}

void MainDialogCPP::DeleteSelectedTask(const std::string& caption) {
    if (!IsTaskRow(selectedRow_)) return;
    Task t;
    taskDB_.GetTaskAt(static_cast<size_t>(selectedRow_) - 1, t);
    if (AddonAlert(kAlertDeleteTask, std::string(t.Name()).c_str()) != 1) return;
    DGListState& list = *dialog_->List(kList);
    int32_t id = list.rows[static_cast<size_t>(selectedRow_) - 1].value;
    --selectedRow_;
    if (selectedRow_ == 0 && taskDB_.TaskCount() > 1) selectedRow_ = 1;
    if (selectedRow_ >= 1) SelectListRow(selectedRow_);
    previousRow_ = selectedRow_;
    try {
        taskDB_.DeleteTask(id);
        HostUndoStep undo(caption);
        taskDB_.RemoveTaskLinks(id);
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
    bool hasRow = IsTaskRow(selectedRow_);
    if (hasRow) taskDB_.GetTaskAt(static_cast<size_t>(selectedRow_) - 1, selected);

    if (item >= kFirstHeader && item <= kLastHeader) {
        SortByColumn(item);
        RefillList(true);
        return;
    }
    switch (item) {
    case kLink:
        if (!SelectionHasElements()) return;
        if (hasRow && AddonAlert(kAlertLinkSelection, std::string(selected.Name()).c_str()) == 1) {
            taskDB_.ClearMarks(*this);
            LinkAsOneStep(selected.id, caption);
            RefillList(true);
        }
        break;
    case kUnlink:
        if (!SelectionHasElements()) return;
        if (AddonAlert(kAlertUnlinkSelection) == 1) {
            taskDB_.ClearMarks(*this);
            LinkAsOneStep(0, caption);
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
            AddonAlert(kAlertInternalError);
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
    // A display failure leaves the click handler for the palette's event boundary, which shows
    // alert 32527, once the pass has put back what it changed.
    case kShowAll:
        HostSelectElements(nullptr, 0, false);
        DisplayPass(elementHider_, taskDB_).ShowAll(caption);
        break;
    case kShowBuilt: DisplayPass(elementHider_, taskDB_).ShowAtCurrentDate(caption); break;
    case kKeepBaseline: KeepBaselineCommand(); break;
    case kMarkDone:
        if (!hasRow) return;
        MarkDoneCommand(static_cast<size_t>(selectedRow_) - 1, caption);
        break;
    default: break;
    }
}
