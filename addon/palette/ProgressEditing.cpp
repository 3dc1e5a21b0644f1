// The edited row's progress, below the list while a row is in edit: whether and when the task
// began, whether and when it finished, and its percent complete. Stored with the row's other
// fields; a task that had no percent keeps none while it is left at 0.
#include "palette/MainDialogCPP.h"

namespace {

const DateTime kNone = DateTime::FromTicks(0, DateTimeStatus::Null);

bool Known(const DateTime& d) { return d.status == DateTimeStatus::Valid; }

// The day a finish is shown on: a finish at midnight ends the day before.
DateTime FinishDay(const DateTime& finish) { return finish == finish.StartOfDay() ? finish.DayBefore() : finish.StartOfDay(); }

} // namespace

void MainDialogCPP::FillProgressEditors(size_t index) {
    DGDialog& d = *dialog_;
    const TaskPlan* plan = taskDB_.PlanAt(index);
    const TaskPlan none;
    const TaskPlan& p = plan ? *plan : none;
    const Task& t = taskDB_.Tasks()[index];
    // A date not known yet is offered as the planned one.
    const DateTime start = Known(p.actualStart) ? p.actualStart : t.start;
    const DateTime finish = Known(p.actualFinish) ? FinishDay(p.actualFinish) : t.finish.DayBefore();
    d.SetItemValue(kStartedCheck, Known(p.actualStart) ? 1 : 0);
    d.SetItemValue(kActualStartEditor, Known(start) ? start.ToPlatformTime() : DateTime::Now().ToPlatformTime());
    d.SetItemValue(kFinishedCheck, Known(p.actualFinish) ? 1 : 0);
    d.SetItemValue(kActualFinishEditor, Known(finish) ? finish.ToPlatformTime() : DateTime::Now().ToPlatformTime());
    d.SetItemValue(kPercentEditor, p.percentComplete <= 100 ? p.percentComplete : 0);
}

void MainDialogCPP::ShowProgressEditors(bool show) {
    for (int16_t e = kStartedCheck; e <= kPercentEditor; ++e) dialog_->ShowItem(e, show);
}

void MainDialogCPP::StoreProgressEdit(size_t index) {
    DGDialog& d = *dialog_;
    const TaskPlan* plan = taskDB_.PlanAt(index);
    DateTime start = kNone, finish = kNone;
    // A day left as it was keeps the moment the plan gave; another day is taken whole.
    if (d.ItemValue(kStartedCheck) != 0) {
        start.FromPlatformTime(d.ItemValue(kActualStartEditor));
        start = start.StartOfDay();
        if (plan && Known(plan->actualStart) && plan->actualStart.StartOfDay() == start) start = plan->actualStart;
    }
    if (d.ItemValue(kFinishedCheck) != 0) {
        finish.FromPlatformTime(d.ItemValue(kActualFinishEditor));
        finish = finish.StartOfDay();
        finish = plan && Known(plan->actualFinish) && FinishDay(plan->actualFinish) == finish ? plan->actualFinish : finish.EndOfDay();
    }
    const int32_t value = d.ItemValue(kPercentEditor);
    uint8_t percent = static_cast<uint8_t>(value < 0 ? 0 : value > 100 ? 100 : value);
    if (percent == 0 && (!plan || plan->percentComplete > 100)) percent = TaskPlan::kNoPercent;
    // Nothing entered for a task without progress leaves it without a plan.
    if (!plan && !Known(start) && !Known(finish) && percent == TaskPlan::kNoPercent) return;
    taskDB_.SetProgress(index, start, finish, percent);
}
