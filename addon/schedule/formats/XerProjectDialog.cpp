#include "schedule/formats/XerProjectDialog.h"

#include "resources/AddonDialogs.h"

namespace {
constexpr int16_t kDialogId = 32508;
constexpr int16_t kOk = 1, kCancel = 2, kProjectPopUp = 4;
} // namespace

std::unique_ptr<DGModalDialog> MakeXerProjectDialog(const std::vector<std::string>& names) {
    auto dialog = MakeAddonModalDialog(kDialogId);
    if (!dialog) return nullptr;
    DGItem* popUp = dialog->FindItem(kProjectPopUp);
    if (popUp == nullptr || popUp->kind != DGItemKind::PopUp) return nullptr;
    for (size_t i = 0; i < names.size(); ++i) popUp->entries.push_back({names[i], static_cast<int32_t>(i)});
    popUp->value = 1;
    return dialog;
}

std::optional<size_t> AskXerProject(const std::vector<std::string>& names) {
    if (names.empty()) return std::nullopt;
    auto dialog = MakeXerProjectDialog(names);
    if (!dialog || dialog->Run(kOk, kCancel) != kOk) return std::nullopt;
    const DGItem* popUp = dialog->FindItem(kProjectPopUp);
    if (popUp->value < 1 || static_cast<size_t>(popUp->value) > popUp->entries.size()) return std::nullopt;
    return static_cast<size_t>(popUp->value) - 1;
}
