#include "host/model/UndoHistory.h"

bool UndoHistory::Open(const std::string& name) {
    if (open_) return false;
    open_ = Step{name, {}, {}};
    return true;
}

std::optional<std::string> UndoHistory::Close(
    const std::function<std::optional<ElementState>(const API_Guid&)>& stateOf) {
    if (!open_) return std::nullopt;
    Step step = std::move(*open_);
    open_.reset();
    for (const auto& [guid, before] : step.before) {
        auto now = stateOf(guid);
        if (now) step.after[guid] = *now;
    }
    std::string name = step.name;
    if (!step.before.empty()) {
        undo_.push_back(std::move(step));
        redo_.clear();
    }
    return name;
}

void UndoHistory::NoteChange(const API_Guid& guid, const ElementState& before) {
    if (open_) {
        open_->before.try_emplace(guid, before);
    } else {
        redo_.clear();
    }
}

std::optional<UndoHistory::Step> UndoHistory::TakeUndo() {
    if (undo_.empty() || open_) return std::nullopt;
    Step s = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(s);
    return s;
}

std::optional<UndoHistory::Step> UndoHistory::TakeRedo() {
    if (redo_.empty() || open_) return std::nullopt;
    Step s = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(s);
    return s;
}

void UndoHistory::Clear() {
    open_.reset();
    undo_.clear();
    redo_.clear();
}
