#include "display/ProfilesDialog.h"

#include "display/ElementHider.h"
#include "display/ProfileEdits.h"
#include "display/ProfilesPreview.h"
#include "hostcalls/HostInterface.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <array>

namespace {

enum : int16_t {
    kConfirm = 1, kCancel = 2, kList = 3, kAdd = 4, kCopy = 5, kDelete = 6, kName = 8, kRename = 9,
    kGrow = 81, kStagger = 82, kFirstTypeChoice = 96,
};

// Each phase's row of items: its look, red, green, blue and transparency; during's also the
// transparency at its finish.
constexpr std::array<int16_t, 5> kPhaseRows{30, 40, 50, 60, 70};
enum : int16_t { kLook = 1, kRed = 2, kGreen = 3, kBlue = 4, kTransparency = 5, kAtFinish = 6 };
constexpr int kDuring = 1;

constexpr int16_t kTexts = 32643;
enum : int16_t {
    kUndoStep = 1, kNewName = 2, kCopyName = 3, kOwnWord = 4, kTypeWord = 5, kNameEmpty = 6, kNameTooLong = 7,
    kNameTaken = 8, kFirstLook = 9, kFirstGrow = 13,
};
constexpr int16_t kTypeNames = 32512;
constexpr int kLookKinds = 4, kGrowKinds = 7;
// A colour newly chosen for a phase until the planner picks one.
constexpr ProfileColour kFirstColour{160, 160, 160};

// The row's layout in pixels: the name, then a swatch a phase.
constexpr int32_t kNameRight = 168, kFirstSwatch = 172, kSwatchPitch = 52, kSwatchWidth = 46;

// Before, during, after, early, late: the rows' order.
template <class Profile> auto& PhaseOf(Profile& p, int phase) {
    switch (phase) {
    case 0: return p.before;
    case 1: return p.during;
    case 2: return p.after;
    case 3: return p.early;
    default: return p.late;
    }
}

} // namespace

ProfilesDialog::ProfilesDialog(ElementHider& hider, TaskDB& db) : hider_(hider), db_(db) {
    dialog_ = MakeAddonModalDialog(kDialogId);
    words_ = {AddonString(kTexts, kOwnWord), AddonString(kTexts, kTypeWord)};
}

ProfilesDialog::~ProfilesDialog() = default;

const AppearanceProfile* ProfilesDialog::Selected() const {
    const auto& profiles = working_.Profiles();
    if (selected_ < 1 || selected_ > static_cast<int32_t>(profiles.size())) return nullptr;
    return &profiles[static_cast<size_t>(selected_) - 1];
}

int32_t ProfilesDialog::Value(int16_t item) {
    DGItem* i = dialog_->FindItem(item);
    return i ? i->value : 0;
}

void ProfilesDialog::Fill() {
    const auto& profiles = working_.Profiles();
    selected_ = std::clamp<int32_t>(selected_, profiles.empty() ? 0 : 1, static_cast<int32_t>(profiles.size()));
    DGItem& list = *dialog_->FindItem(kList);
    list.entries.clear();
    for (const AppearanceProfile& p : profiles) list.entries.push_back({p.name, 0});
    list.value = selected_;
    for (int i = 0; i < kConstructionTypeCount; ++i) {
        DGItem& choice = *dialog_->FindItem(static_cast<int16_t>(kFirstTypeChoice + i));
        choice.entries = list.entries;
        const std::string& name = working_.TypeChoice(static_cast<ConstructionType>(i));
        auto at = std::find_if(profiles.begin(), profiles.end(), [&](const AppearanceProfile& p) { return p.name == name; });
        choice.value = at == profiles.end() ? 0 : static_cast<int32_t>(at - profiles.begin()) + 1;
    }
    FillEditors();
}

void ProfilesDialog::FillEditors() {
    const AppearanceProfile* p = Selected();
    for (size_t phase = 0; phase < kPhaseRows.size(); ++phase) {
        const int16_t row = kPhaseRows[phase];
        const PhaseLook look = p ? PhaseOf(*p, static_cast<int>(phase)) : PhaseLook{};
        const bool colour = p && look.kind == PhaseLook::Kind::Colour;
        dialog_->FindItem(static_cast<int16_t>(row + kLook))->value = static_cast<int32_t>(look.kind) + 1;
        dialog_->FindItem(static_cast<int16_t>(row + kLook))->enabled = p != nullptr;
        const std::array<int32_t, 4> values{look.colour.red, look.colour.green, look.colour.blue, look.transparency};
        for (int16_t k = kRed; k <= kTransparency; ++k) {
            DGItem& item = *dialog_->FindItem(static_cast<int16_t>(row + k));
            item.value = values[static_cast<size_t>(k - kRed)];
            item.enabled = colour;
        }
        if (DGItem* atFinish = dialog_->FindItem(static_cast<int16_t>(row + kAtFinish))) {
            atFinish->value = look.transparencyAtFinish;
            atFinish->enabled = colour;
        }
    }
    dialog_->FindItem(kGrow)->value = p ? static_cast<int32_t>(p->grow) + 1 : 1;
    dialog_->FindItem(kGrow)->enabled = p != nullptr;
    dialog_->FindItem(kStagger)->value = p && p->stagger ? 1 : 0;
    dialog_->FindItem(kStagger)->enabled = p && p->grow != GrowDirection::None;
    dialog_->FindItem(kName)->text = p ? p->name : std::string();
    for (int16_t button : {kCopy, kDelete, kRename}) dialog_->FindItem(button)->enabled = p != nullptr;
}

void ProfilesDialog::TakePhase(int phase, int16_t item) {
    const AppearanceProfile* p = Selected();
    if (!p) return;
    AppearanceProfile edited = *p;
    PhaseLook& look = PhaseOf(edited, phase);
    const int16_t row = kPhaseRows[static_cast<size_t>(phase)];
    const int32_t value = Value(item);
    switch (item - row) {
    case kLook: {
        const auto kind = static_cast<PhaseLook::Kind>(std::clamp(value, 1, kLookKinds) - 1);
        if (kind == look.kind) return;
        look = kind == PhaseLook::Kind::Colour ? PhaseLook::Coloured(kFirstColour, 0) : PhaseLook{kind, {}, 0, 0};
        break;
    }
    case kRed: look.colour.red = static_cast<uint8_t>(value); break;
    case kGreen: look.colour.green = static_cast<uint8_t>(value); break;
    case kBlue: look.colour.blue = static_cast<uint8_t>(value); break;
    case kTransparency:
        // Without a fade the finish follows the start; a fade keeps its finish.
        if (phase != kDuring || !look.Fades()) look.transparencyAtFinish = static_cast<uint8_t>(value);
        look.transparency = static_cast<uint8_t>(value);
        break;
    case kAtFinish: look.transparencyAtFinish = static_cast<uint8_t>(value); break;
    default: return;
    }
    working_.Put(edited);
    FillEditors();
    Preview();
}

void ProfilesDialog::OnChange(int16_t item) {
    const AppearanceProfile* p = Selected();
    if (item == kList) {
        selected_ = Value(kList);
        FillEditors();
        return;
    }
    if (item >= kFirstTypeChoice && item < kFirstTypeChoice + kConstructionTypeCount) {
        const int32_t chosen = Value(item);
        if (chosen >= 1 && chosen <= static_cast<int32_t>(working_.Profiles().size()))
            working_.ChooseForType(static_cast<ConstructionType>(item - kFirstTypeChoice),
                                   working_.Profiles()[static_cast<size_t>(chosen) - 1].name);
        Preview();
        return;
    }
    if (p && (item == kGrow || item == kStagger)) {
        AppearanceProfile edited = *p;
        if (item == kGrow) edited.grow = static_cast<GrowDirection>(std::clamp(Value(kGrow), 1, kGrowKinds) - 1);
        else edited.stagger = Value(kStagger) != 0;
        // Stagger is an order along the growth: without growth there is none.
        if (edited.grow == GrowDirection::None) edited.stagger = false;
        working_.Put(edited);
        FillEditors();
        Preview();
        return;
    }
    for (size_t phase = 0; phase < kPhaseRows.size(); ++phase)
        if (item > kPhaseRows[phase] && item <= kPhaseRows[phase] + kAtFinish) TakePhase(static_cast<int>(phase), item);
}

void ProfilesDialog::Add(AppearanceProfile profile, const std::string& base) {
    profile.name = FreeProfileName(working_, base);
    working_.Put(profile);
    selected_ = static_cast<int32_t>(working_.Profiles().size());
    Fill();
}

bool ProfilesDialog::RenameSelected() {
    const AppearanceProfile* p = Selected();
    if (!p) return true;
    const std::string from = p->name, to = dialog_->FindItem(kName)->text;
    if (to == from) return true;
    const ProfileNameProblem problem = CheckProfileName(working_, to, from);
    if (problem != ProfileNameProblem::None) {
        const int16_t why = problem == ProfileNameProblem::Empty     ? kNameEmpty
                            : problem == ProfileNameProblem::TooLong ? kNameTooLong
                                                                     : kNameTaken;
        AddonAlert(kAlertProfileName, to.c_str(), AddonString(kTexts, why).c_str());
        dialog_->FindItem(kName)->text = from;
        return false;
    }
    working_.Rename(from, to);
    RenameRuleProfiles(rules_, from, to);
    Fill();
    return true;
}

void ProfilesDialog::DeleteSelected() {
    const AppearanceProfile* p = Selected();
    if (!p) return;
    const std::string name = p->name;
    const ProfileUsers users = UsersOf(working_, rules_, name);
    // A type always has a profile: the planner chooses its next one first.
    if (!users.types.empty()) {
        const std::string type = AddonString(kTypeNames, static_cast<int16_t>(ConstructionTypeIndex(users.types[0]) + 1));
        AddonAlert(kAlertProfileOfType, name.c_str(), type.c_str());
        return;
    }
    if (users.tasks + users.rules > 0 &&
        AddonAlert(kAlertProfileInUse, name.c_str(), std::to_string(users.tasks).c_str(),
                   std::to_string(users.rules).c_str()) != 1)
        return;
    working_.Remove(name);
    RenameRuleProfiles(rules_, name, {});
    Fill();
    if (users.tasks > 0) Preview();
}

bool ProfilesDialog::OnClick(int16_t item) {
    switch (item) {
    // A name typed and confirmed with the dialog's default button is meant as given.
    case kConfirm: return RenameSelected();
    case kCancel: return true;
    case kAdd: Add(DefaultProfile(ConstructionType::Construction), AddonString(kTexts, kNewName)); break;
    case kCopy:
        if (const AppearanceProfile* p = Selected()) Add(*p, AddonFormat(kTexts, kCopyName, {p->name}));
        break;
    case kRename: RenameSelected(); break;
    case kDelete: DeleteSelected(); break;
    default: break;
    }
    return false;
}

void ProfilesDialog::DrawRow(int32_t row, DGCanvas& canvas) const {
    const auto& profiles = working_.Profiles();
    if (row < 1 || row > static_cast<int32_t>(profiles.size())) return;
    const AppearanceProfile& p = profiles[static_cast<size_t>(row) - 1];
    const int32_t h = canvas.Height();
    canvas.DrawTextLeft(4, (h - canvas.TextHeight()) / 2, p.name, 0, 0, kNameRight, h, kDGWindowTextColor);
    for (int phase = 0; phase < static_cast<int>(kPhaseRows.size()); ++phase) {
        const int32_t left = kFirstSwatch + phase * kSwatchPitch;
        DrawPhaseSwatch(canvas, PhaseOf(p, phase), words_, left, 2, left + kSwatchWidth, h - 2);
    }
}

void ProfilesDialog::Preview() {
    hider_.Profiles() = working_;
    ShowAgain();
}

void ProfilesDialog::ShowAgain() {
    // A failed showing leaves the dialog open: the edits are still the planner's to keep or drop.
    try {
        preview_->Show();
    } catch (const std::exception&) {
        HostReportWrite("Bauvista general error!", 0);
    }
}

bool ProfilesDialog::Run() {
    if (!dialog_) return false;
    BKResModuleScope scope(AddonResModule());
    original_ = working_ = hider_.Profiles();
    rules_ = db_.Rules();
    selected_ = 1;
    preview_ = std::make_unique<ProfilesPreview>(hider_, db_, AddonString(kTexts, kUndoStep));
    for (size_t phase = 0; phase < kPhaseRows.size(); ++phase) {
        DGItem& look = *dialog_->FindItem(static_cast<int16_t>(kPhaseRows[phase] + kLook));
        look.entries.clear();
        for (int16_t k = 0; k < kLookKinds; ++k) look.entries.push_back({AddonString(kTexts, static_cast<int16_t>(kFirstLook + k)), k});
        for (int16_t k = kRed; k <= kAtFinish; ++k)
            if (DGItem* number = dialog_->FindItem(static_cast<int16_t>(kPhaseRows[phase] + k))) {
                number->minimum = 0;
                number->maximum = k >= kTransparency ? 100 : 255;
            }
    }
    DGItem& grow = *dialog_->FindItem(kGrow);
    grow.entries.clear();
    for (int16_t k = 0; k < kGrowKinds; ++k) grow.entries.push_back({AddonString(kTexts, static_cast<int16_t>(kFirstGrow + k)), k});
    Fill();
    dialog_->onChange = [this](DGModalDialog&, int16_t item) { OnChange(item); };
    dialog_->onClick = [this](DGModalDialog&, int16_t item) { return OnClick(item); };
    dialog_->onDrawRow = [this](DGModalDialog&, int16_t, int32_t row, DGCanvas& canvas) { DrawRow(row, canvas); };

    int16_t pressed = kCancel;
    try {
        pressed = dialog_->Run(kConfirm, kCancel);
    } catch (...) {
        // The model may show the edits; the schedule keeps the profiles it had.
        hider_.Profiles() = original_;
        throw;
    }
    const bool confirmed = pressed == kConfirm;
    const bool changed = confirmed && (working_ != original_ || rules_ != db_.Rules());
    hider_.Profiles() = changed ? working_ : original_;
    if (changed) {
        db_.SetLinkRules(rules_);
        db_.SetDirty(true); // the project file keeps them
    } else if (preview_->Shown()) {
        ShowAgain();
    }
    preview_->End();
    return changed;
}
