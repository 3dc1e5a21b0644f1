#include "chart/ChartScrub.h"

#include "chart/ChartTimeScale.h"
#include "display/DisplayPass.h"
#include "hostcalls/HostInterface.h"
#include "palette/MainDialogCPP.h"
#include "schedule/tasks/TaskDB.h"

void SetScheduleDay(TaskDB& db, MainDialogCPP* palette, int64_t day) {
    DateTime chosen = DateTime::FromTicks(TicksOfDay(day));
    if (palette && palette->Dialog()) {
        palette->Dialog()->SetItemValue(MainDialogCPP::kCurrentDate, chosen.ToPlatformTime());
        palette->CurrentDateChanged();
    } else {
        db.SetCurrentDate(chosen.EndOfDay(), false);
    }
}

ChartScrub::ChartScrub(ElementHider& hider, TaskDB& db, MainDialogCPP* palette, const std::string& undoStep)
    : hider_(hider), db_(db), palette_(palette) {
    undoOpen_ = HostUndoOpen(undoStep.c_str()) == kHostNoError;
}

ChartScrub::~ChartScrub() {
    try {
        End();
    } catch (...) {
    }
}

bool ChartScrub::MoveTo(int64_t day) {
    if (db_.CurrentDate().status == DateTimeStatus::Valid && DayOfTicks(db_.CurrentDate().ticks - 1) == day) return false;
    SetScheduleDay(db_, palette_, day);
    hold_.TakeLines(); // only the last date's findings are the drag's
    DisplayPass(hider_, db_).ScrubStep(steps_ == 0);
    ++steps_;
    return true;
}

void ChartScrub::ShowAgain() {
    hold_.TakeLines();
    DisplayPass(hider_, db_).ScrubStep(true);
    ++steps_;
}

void ChartScrub::End() {
    if (ended_) return;
    ended_ = true;
    if (undoOpen_) HostUndoClose();
    hold_.Release();
}
