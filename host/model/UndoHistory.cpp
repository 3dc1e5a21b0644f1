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

size_t UndoHistory::WholeBytes(const Element& e) {
    constexpr size_t kNode = 64;
    size_t n = kNode + sizeof(Element) + e.record.capacity() + e.geometry.vertices.capacity() * sizeof(Vec3) +
               e.geometry.triangles.capacity() * sizeof(e.geometry.triangles[0]) + e.facts.capacity() * sizeof(ElementFact);
    for (const auto& [name, block] : e.userData) n += kNode + name.capacity() + block.bytes.capacity();
    for (const auto& [key, text] : e.unknownKeys) n += kNode + key.capacity() + text.capacity();
    return n;
}

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
        base_ = undo_.front().serial;
        undo_.pop_front();
    }
}

bool UndoHistory::Open(const std::string& name) {
    if (open_) return false;
    open_ = Step{};
    open_->name = name;
    return true;
}

std::optional<std::string> UndoHistory::Close(
    const std::function<std::optional<ElementState>(const API_Guid&)>& stateOf,
    const std::function<Whole(const API_Guid&)>& wholeOf) {
    if (!open_) return std::nullopt;
    Step step = std::move(*open_);
    open_.reset();
    if (step.modelsBefore && modelsAfter_) step.modelsAfter = modelsAfter_();
    modelsAfter_ = nullptr;
    for (const auto& [guid, before] : step.before) {
        auto now = stateOf(guid);
        if (now) step.after[guid] = *now;
    }
    if (wholeOf)
        for (const auto& [guid, before] : step.wholeBefore) step.wholeAfter[guid] = wholeOf(guid);
    std::string name = step.name;
    if (!step.before.empty() || !step.wholeBefore.empty() || step.modelsBefore) {
        step.bytes = sizeof(Step) + step.name.capacity();
        for (const auto* side : {&step.before, &step.after})
            for (const auto& [guid, state] : *side) step.bytes += StateBytes(state);
        for (const auto* side : {&step.wholeBefore, &step.wholeAfter})
            for (const auto& [guid, whole] : *side) step.bytes += whole ? WholeBytes(*whole) : 64;
        step.serial = ++serials_;
        ClearRedo();
        keptBytes_ += step.bytes;
        undo_.push_back(std::move(step));
        Trim();
    }
    return name;
}

void UndoHistory::NoteModels(std::shared_ptr<const Models> before,
                             std::function<std::shared_ptr<const Models>()> after) {
    if (!open_ || open_->modelsBefore) return;
    open_->modelsBefore = std::move(before);
    modelsAfter_ = std::move(after);
}

void UndoHistory::NoteChange(const API_Guid& guid, const ElementState& before) {
    if (open_) {
        open_->before.try_emplace(guid, before);
    } else {
        ClearRedo();
    }
}

void UndoHistory::NoteWhole(const API_Guid& guid, Whole before) {
    if (open_) open_->wholeBefore.try_emplace(guid, std::move(before));
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
    modelsAfter_ = nullptr;
    undo_.clear();
    redo_.clear();
    keptBytes_ = 0;
    base_ = ++serials_;
}
