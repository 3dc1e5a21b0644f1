#include "dialogkit/DGDialog.h"

#include "dialogkit/DGBackEnd.h"


namespace {

std::map<int32_t, DGDialog*>& Registry() {
    static auto* registry = new std::map<int32_t, DGDialog*>; // dialogs may die in unload hooks
    return *registry;
}

std::function<void(DGDialog&, int16_t, int32_t, int32_t)>& ProgressListener() {
    static auto* listener = new std::function<void(DGDialog&, int16_t, int32_t, int32_t)>;
    return *listener;
}

std::function<void()>& EventPump() {
    static auto* pump = new std::function<void()>;
    return *pump;
}

} // namespace

void DGSetProgressListener(std::function<void(DGDialog&, int16_t, int32_t, int32_t)> listener) {
    ProgressListener() = std::move(listener);
}
void DGSetEventPump(std::function<void()> pump) { EventPump() = std::move(pump); }
void DGProcessEvents() {
    if (IDGBackEnd* backEnd = DGCurrentBackEnd()) backEnd->ProcessEvents();
    if (EventPump()) EventPump()();
}

DGDialog::DGDialog(int32_t id, std::string title, int16_t width, int16_t height, std::vector<DGItem> items)
    : id_(id), title_(std::move(title)), width_(width), height_(height), items_(std::move(items)) {
    for (const auto& item : items_)
        if (item.kind == DGItemKind::List) lists_[item.id] = DGListState{};
    Registry()[id_] = this;
    if (IDGBackEnd* backEnd = DGCurrentBackEnd()) backEnd->DialogCreated(*this);
}

DGDialog::~DGDialog() {
    if (observer_) {
        observer_->DialogClosed(*this);
        if (observer_) observer_->SourceDestroyed(*this);
    }
    if (IDGBackEnd* backEnd = DGCurrentBackEnd()) backEnd->DialogDestroyed(*this);
    auto it = Registry().find(id_);
    if (it != Registry().end() && it->second == this) Registry().erase(it);
}

DGDialog* DGDialog::Find(int32_t id) {
    auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : it->second;
}

void DGDialog::BeginEventProcessing() {
    processing_ = true;
    if (!opened_) {
        opened_ = true;
        if (observer_) observer_->DialogOpened(*this);
    }
}

DGItem* DGDialog::Item(int16_t id) {
    for (auto& item : items_)
        if (item.id == id) return &item;
    return nullptr;
}

std::string DGDialog::ItemText(int16_t id) {
    DGItem* item = Item(id);
    return item ? item->text : std::string();
}

void DGDialog::SetItemText(int16_t id, const std::string& text) {
    if (DGItem* item = Item(id)) item->text = text;
}

int32_t DGDialog::ItemValue(int16_t id) {
    DGItem* item = Item(id);
    return item ? item->value : 0;
}

void DGDialog::SetItemValue(int16_t id, int32_t value) {
    DGItem* item = Item(id);
    if (!item) return;
    bool changed = item->value != value;
    item->value = value;
    if (changed && item->kind == DGItemKind::ProgressBar && ProgressListener())
        ProgressListener()(*this, id, value, item->maximum);
}

void DGDialog::EnableItem(int16_t id, bool enabled) {
    if (DGItem* item = Item(id)) item->enabled = enabled;
}

void DGDialog::ShowItem(int16_t id, bool visible) {
    if (DGItem* item = Item(id)) item->visible = visible;
}

void DGDialog::MoveItem(int16_t id, int16_t dx, int16_t dy) {
    if (DGItem* item = Item(id)) {
        item->rect.left = static_cast<int16_t>(item->rect.left + dx);
        item->rect.top = static_cast<int16_t>(item->rect.top + dy);
    }
}

void DGDialog::GrowItem(int16_t id, int16_t dx, int16_t dy) {
    if (DGItem* item = Item(id)) {
        item->rect.width = static_cast<int16_t>(item->rect.width + dx);
        item->rect.height = static_cast<int16_t>(item->rect.height + dy);
    }
}

void DGDialog::SetItemSize(int16_t id, int16_t width, int16_t height) {
    if (DGItem* item = Item(id)) {
        item->rect.width = width;
        item->rect.height = height;
    }
}

void DGDialog::PopUpAppend(int16_t id, const std::string& text, int32_t data) {
    if (DGItem* item = Item(id)) item->entries.push_back({text, data});
}

DGListState* DGDialog::List(int16_t id) {
    auto it = lists_.find(id);
    return it == lists_.end() ? nullptr : &it->second;
}

bool DGDialog::UserClick(int16_t id) {
    DGItem* item = Item(id);
    if (!item || item->kind != DGItemKind::Button || !item->enabled || !item->visible || !processing_) return false;
    if (observer_) observer_->ItemClicked(*this, id);
    return true;
}

namespace {
bool IsListRow(const DGListState& list, int32_t row) {
    return row >= 1 && static_cast<size_t>(row) <= list.rows.size();
}
} // namespace

bool DGDialog::UserSelectRow(int16_t listItem, int32_t row) {
    DGListState* list = List(listItem);
    if (!list || !processing_ || (row != 0 && !IsListRow(*list, row))) return false;
    list->selected = row;
    if (observer_) observer_->ListSelectionChanged(*this, listItem);
    return true;
}

bool DGDialog::UserDoubleClick(int16_t listItem, int32_t row) {
    DGListState* list = List(listItem);
    if (!list || !processing_ || !IsListRow(*list, row)) return false;
    // A double click selects the row first, as a click would.
    if (list->selected != row) {
        list->selected = row;
        if (observer_) observer_->ListSelectionChanged(*this, listItem);
    }
    if (observer_) observer_->ListDoubleClicked(*this, listItem, row);
    return true;
}

bool DGDialog::UserChange(int16_t id, const std::string& utf8Value) {
    DGItem* item = Item(id);
    if (!item || !item->enabled || !processing_ || item->kind == DGItemKind::StaticText) return false;
    if (focus_ != id) {
        focus_ = id;
        if (observer_) observer_->ItemFocused(*this, id);
    }
    if (!DGTakeUserValue(*item, utf8Value)) return false;
    if (observer_) observer_->ItemChanged(*this, id);
    return true;
}

bool DGDialog::UserFocus(int16_t id) {
    DGItem* item = Item(id);
    if (!item || !processing_) return false;
    focus_ = id;
    if (observer_) observer_->ItemFocused(*this, id);
    return true;
}

void DGDialog::UserCloseRequest() {
    if (observer_ && processing_) observer_->CloseRequested(*this);
}

void DGDialog::UserResize(int16_t dx, int16_t dy) {
    width_ = static_cast<int16_t>(width_ + dx);
    height_ = static_cast<int16_t>(height_ + dy);
    if (observer_ && processing_) observer_->DialogResized(*this, dx, dy);
}

std::string DGDialog::RowTip(int16_t listItem, int32_t row) {
    DGListState* list = List(listItem);
    if (!observer_ || !list || !IsListRow(*list, row)) return {};
    return observer_->ListRowTip(*this, listItem, row);
}

DGCanvas DGDialog::DrawTab(int16_t listItem, int32_t row, int16_t tab) {
    DGListState* list = List(listItem);
    int32_t width = 0;
    int32_t height = list ? list->rowHeight : 0;
    if (list && tab >= 1 && tab <= static_cast<int16_t>(list->tabs.size()))
        width = list->tabs[static_cast<size_t>(tab) - 1].right - list->tabs[static_cast<size_t>(tab) - 1].left;
    DGCanvas canvas(width, height);
    if (observer_ && list && IsListRow(*list, row))
        observer_->ListTabDraw(*this, listItem, row, tab, canvas);
    return canvas;
}

namespace {
bool IsShownUserArea(DGItem* item) { return item && item->kind == DGItemKind::UserArea && item->visible; }
} // namespace

DGCanvas DGDialog::DrawUserArea(int16_t id, int32_t width, int32_t height) {
    DGCanvas canvas(width, height);
    if (observer_ && IsShownUserArea(Item(id))) observer_->UserAreaDraw(*this, id, canvas);
    return canvas;
}

DGCanvas DGDialog::DrawUserArea(int16_t id) {
    DGItem* item = Item(id);
    return item ? DrawUserArea(id, item->rect.width, item->rect.height) : DGCanvas(0, 0);
}

bool DGDialog::UserMouse(int16_t id, const DGMouse& mouse) {
    if (!IsShownUserArea(Item(id)) || !processing_) return false;
    if (observer_) observer_->UserAreaMouse(*this, id, mouse);
    return true;
}

bool DGDialog::UserKey(int16_t id, DGKey key, uint32_t modifiers) {
    if (!IsShownUserArea(Item(id)) || !processing_) return false;
    if (observer_) observer_->UserAreaKey(*this, id, key, modifiers);
    return true;
}

void DGDialog::UserTimer(int64_t ticks) {
    if (timerInterval_ > 0 && processing_ && observer_) observer_->TimerTick(*this, ticks);
}

bool DGDialog::UserGesture(const std::vector<std::string>& args, std::string& error) {
    if (!observer_ || !processing_) {
        error = "the dialog does not take input";
        return false;
    }
    return observer_->ScriptGesture(*this, args, error);
}
