#include "host/model/UndoHistory.h"

namespace {

// Heap bytes of a kept state, with a rough allowance for the map nodes that hold it.
size_t StateBytes(const ElementState& state) {
    constexpr size_t kNode = 64;
    size_t n = kNode + sizeof(ElementState) + state.record.capacity();
    for (const auto& [name, block] : state.userData) n += kNode + name.capacity() + block.bytes.capacity();
    return n;
}

} // namespace

void UndoHistory::SetLimits(size_t maxSteps, size_t maxBytes) {
    maxSteps_ = maxSteps < 1 ? 1 : maxSteps;
    maxBytes_ = maxBytes;
    Trim();
}

void UndoHistory::Trim() {
    // Redo steps furthest ahead go first, then the oldest undo steps.
    while (!redo_.empty() && (undo_.size() + redo_.size() > maxSteps_ || keptBytes_ > maxBytes_)) {
        keptBytes_ -= redo_.front().bytes;
        redo_.erase(redo_.begin());
    }
    while (undo_.size() > 1 && (undo_.size() > maxSteps_ || keptBytes_ > maxBytes_)) {
        keptBytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

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
        step.bytes = sizeof(Step) + step.name.capacity();
        for (const auto* side : {&step.before, &step.after})
            for (const auto& [guid, state] : *side) step.bytes += StateBytes(state);
        ClearRedo();
        keptBytes_ += step.bytes;
        undo_.push_back(std::move(step));
        Trim();
    }
    return name;
}

void UndoHistory::NoteChange(const API_Guid& guid, const ElementState& before) {
    if (open_) {
        open_->before.try_emplace(guid, before);
    } else {
        ClearRedo();
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

void UndoHistory::ClearRedo() {
    for (const auto& s : redo_) keptBytes_ -= s.bytes;
    redo_.clear();
}

void UndoHistory::Clear() {
    open_.reset();
    undo_.clear();
    redo_.clear();
    keptBytes_ = 0;
}
