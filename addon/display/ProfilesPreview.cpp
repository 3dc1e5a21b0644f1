#include "display/ProfilesPreview.h"

#include "display/DisplayPass.h"
#include "display/ElementHider.h"
#include "hostcalls/HostInterface.h"

ProfilesPreview::ProfilesPreview(ElementHider& hider, TaskDB& db, std::string undoStep)
    : hider_(hider), db_(db), undoStep_(std::move(undoStep)) {}

ProfilesPreview::~ProfilesPreview() {
    try {
        End();
    } catch (...) {
    }
}

bool ProfilesPreview::Show() {
    if (ended_ || !hider_.ShowsDate()) return false;
    if (!undoOpen_) undoOpen_ = HostUndoOpen(undoStep_.c_str()) == kHostNoError;
    hold_.TakeLines(); // only the last showing's findings count
    // The first showing checks every element: the display's cache knows only the looks before.
    DisplayPass(hider_, db_).ScrubStep(!shown_);
    shown_ = true;
    return true;
}

void ProfilesPreview::End() {
    if (ended_) return;
    ended_ = true;
    if (undoOpen_) HostUndoClose();
    hold_.Release();
}
