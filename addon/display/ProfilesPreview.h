#pragma once
// The model shown at the current date again and again while a dialog's edits go on, all of it one
// undo step, opened by the first showing and closed at the end. What the checks find is written
// to the report window once, at the end.
#include "hostcalls/ReportHold.h"

#include <string>

class ElementHider;
class TaskDB;

class ProfilesPreview {
public:
    ProfilesPreview(ElementHider& hider, TaskDB& db, std::string undoStep);
    ~ProfilesPreview();
    ProfilesPreview(const ProfilesPreview&) = delete;
    ProfilesPreview& operator=(const ProfilesPreview&) = delete;

    // Shows the model again when it shows a date; false when it does not.
    bool Show();
    // Whether the model has been shown again.
    bool Shown() const { return shown_; }
    // Closes the undo step and writes the findings; the destructor does it when not called.
    void End();

private:
    ElementHider& hider_;
    TaskDB& db_;
    std::string undoStep_;
    ReportHold hold_;
    bool undoOpen_ = false;
    bool shown_ = false;
    bool ended_ = false;
};
