#include "display/DisplayPass.h"

#include "display/ElementHider.h"
#include "display/PassBracket.h"
#include "hostcalls/HostScopes.h"
#include "hostcalls/ScopeGuard.h"
#include "schedule/tasks/TaskDB.h"

namespace {

// Once Prepare has unlocked the layers and set the host switch, Finish puts them back however the
// work ends; a Prepare that failed has changed neither, so nothing is finished then.
template <class Work> void WhilePrepared(ElementHider& hider, TaskDB& db, Work&& work) {
    hider.Prepare(db);
    ScopeGuard finish([&hider] { hider.Finish(); });
    work();
    finish.Run();
}

} // namespace

void DisplayPass::ShowAtCurrentDate(const std::string& undoStep) {
    WhilePrepared(hider_, db_, [this, &undoStep] {
        PassBracket pass(hider_);
        // What the display remembers showing was worked out from the schedule before its edits.
        if (db_.IsDirty()) hider_.ResetShownState(db_, Appearance::Unlinked);
        HostUndoStep undo(undoStep);
        hider_.ShowAtCurrentDate(db_, 0);
    });
}

void DisplayPass::ShowAll(const std::string& undoStep) {
    WhilePrepared(hider_, db_, [this, &undoStep] {
        HostUndoStep undo(undoStep);
        hider_.ShowAll(db_); // a whole pass of its own
    });
}

bool DisplayPass::Movie(const std::function<bool()>& makeFrames) {
    bool made = false;
    WhilePrepared(hider_, db_, [&made, &makeFrames] { made = makeFrames(); });
    return made;
}

void DisplayPass::ShowFrame() {
    PassBracket pass(hider_);
    hider_.ShowAtCurrentDate(db_, 1);
}

void DisplayPass::ScrubStep(bool first) {
    hider_.SetQuiet(true);
    ScopeGuard loud([this] { hider_.SetQuiet(false); });
    WhilePrepared(hider_, db_, [this, first] {
        PassBracket pass(hider_);
        if (first && db_.IsDirty()) hider_.ResetShownState(db_, Appearance::Unlinked);
        hider_.ShowAtCurrentDate(db_, 1);
    });
    loud.Run();
}
