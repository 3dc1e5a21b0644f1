#pragma once
// A drag through the schedule's dates, by the current-date line, the arrow keys or play: each
// date becomes the schedule's current date (the palette follows) and the model is shown as built
// then. The whole drag is one undo step, and what the checks found at the last date is written
// to the report window once, when it ends; no alert is shown meanwhile.
#include "hostcalls/ReportHold.h"

#include <cstdint>
#include <string>

class ElementHider;
class MainDialogCPP;
class TaskDB;

class ChartScrub {
public:
    ChartScrub(ElementHider& hider, TaskDB& db, MainDialogCPP* palette, const std::string& undoStep);
    ~ChartScrub();
    ChartScrub(const ChartScrub&) = delete;
    ChartScrub& operator=(const ChartScrub&) = delete;

    // False when the day is the current one already (nothing is done).
    bool MoveTo(int64_t day);
    // Shows the model at the current date again, after the schedule changed under it.
    void ShowAgain();
    // Closes the undo step and writes the findings; the destructor does it when not called.
    void End();
    int32_t Steps() const { return steps_; }

private:
    ElementHider& hider_;
    TaskDB& db_;
    MainDialogCPP* palette_;
    ReportHold hold_;
    bool undoOpen_ = false;
    bool ended_ = false;
    int32_t steps_ = 0;
};

// Makes the day the schedule's current date, as the palette's date control does.
void SetScheduleDay(TaskDB& db, MainDialogCPP* palette, int64_t day);
