#pragma once
// The appearance profiles dialog: the profiles listed with a swatch of each phase, to add, copy,
// rename, delete and edit them, and each construction type's choice. It works on a copy; the
// model follows the edits at the current date as it will look, and is put back on cancel. A
// confirmed edit is the schedule's, and the model's changes one undo step.
#include "dialogkit/DGModalDialog.h"
#include "display/ProfileSet.h"
#include "display/ProfileSwatch.h"
#include "schedule/tasks/LinkRules.h"

#include <memory>
#include <string>

class ElementHider;
class ProfilesPreview;
class TaskDB;

class ProfilesDialog {
public:
    static constexpr int16_t kDialogId = 32421;

    ProfilesDialog(ElementHider& hider, TaskDB& db);
    ~ProfilesDialog();
    ProfilesDialog(const ProfilesDialog&) = delete;
    ProfilesDialog& operator=(const ProfilesDialog&) = delete;

    // Shows the dialog; true when it was confirmed with a change.
    bool Run();

    DGModalDialog* Dialog() { return dialog_.get(); }
    const ProfileSet& Working() const { return working_; }

private:
    void Fill();
    void FillEditors();
    void OnChange(int16_t item);
    bool OnClick(int16_t item);
    void TakePhase(int phase, int16_t item);
    void Add(AppearanceProfile profile, const std::string& base);
    // False when the name typed was refused (the alert says why).
    bool RenameSelected();
    void DeleteSelected();
    void DrawRow(int32_t row, DGCanvas& canvas) const;
    const AppearanceProfile* Selected() const;
    int32_t Value(int16_t item);
    // The working profiles on the model.
    void Preview();
    void ShowAgain();

    ElementHider& hider_;
    TaskDB& db_;
    std::unique_ptr<DGModalDialog> dialog_;
    ProfileSet original_, working_;
    LinkRules rules_;
    SwatchWords words_;
    int32_t selected_ = 1; // row from 1
    std::unique_ptr<ProfilesPreview> preview_;
};
