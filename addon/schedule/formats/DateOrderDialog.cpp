#include "schedule/formats/DateOrderDialog.h"

#include "resources/AddonDialogs.h"

namespace {
constexpr int16_t kDialogId = 32505;
constexpr int16_t kOk = 1, kCancel = 2, kOrderPopUp = 4;
} // namespace

std::unique_ptr<DGModalDialog> MakeDateOrderDialog(const DateOrderSet& candidates) {
    auto dialog = MakeAddonModalDialog(kDialogId);
    if (!dialog) return nullptr;
    DGItem* popUp = dialog->FindItem(kOrderPopUp);
    if (popUp == nullptr || popUp->kind != DGItemKind::PopUp) return nullptr;
    for (DateOrder order : candidates) popUp->entries.push_back({DateOrderSample(order), order});
    popUp->value = 1;
    return dialog;
}

bool AskDateOrder(DateOrderSet& candidates) {
    if (candidates.empty()) return false;
    auto dialog = MakeDateOrderDialog(candidates);
    if (!dialog) return false;
    if (dialog->Run(kOk, kCancel) != kOk) return false;
    const DGItem* popUp = dialog->FindItem(kOrderPopUp);
    if (popUp->value < 1 || static_cast<size_t>(popUp->value) > popUp->entries.size()) return false;
    auto chosen = static_cast<DateOrder>(popUp->entries[static_cast<size_t>(popUp->value) - 1].data);
    candidates = {chosen};
    return true;
}
