#pragma once
// Named undo steps over element records and user data. While a step is open the first change of
// an element keeps its state before; closing the step keeps the states after. A step that adds,
// removes or reshapes elements keeps those elements whole. Changes made outside a step cannot be
// undone and end the redo history.
// The history is bounded by steps and by the bytes the kept states take; the oldest steps go
// first, but the newest step is kept whatever its size, so the last action can be undone.
#include "host/model/Element.h"
#include "host/model/IfcModelSource.h"
#include "host/model/ModelWorkSchedules.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class UndoHistory {
public:
    // A whole element, or none where the element did not exist.
    using Whole = std::shared_ptr<const Element>;
    // The project's list of building models and what comes with the first: a step that adds or
    // removes a model keeps them, so undo never leaves a model listed without its elements.
    struct Models {
        std::vector<IfcModelSource> sources;
        bool layersByStorey = false;
        ModelWorkSchedules workSchedules;
    };
    struct Step {
        std::string name; // 8-bit code page
        std::map<API_Guid, ElementState> before, after;
        std::map<API_Guid, Whole> wholeBefore, wholeAfter;
        std::shared_ptr<const Models> modelsBefore, modelsAfter;
        size_t bytes = 0;    // what the step keeps in memory, roughly
        uint64_t serial = 0; // names the model's state after the step
    };

    // A display pass over 5,000 elements keeps some 35 MB; these bounds keep a few such passes
    // and a hundred ordinary edits.
    static constexpr size_t kDefaultMaxSteps = 100;
    static constexpr size_t kDefaultMaxBytes = size_t{256} << 20;
    void SetLimits(size_t maxSteps, size_t maxBytes);

    bool IsOpen() const { return open_.has_value(); }
    bool Open(const std::string& name);
    // Returns the closed step's name, or nothing when no step was open; an empty step is dropped.
    std::optional<std::string> Close(const std::function<std::optional<ElementState>(const API_Guid&)>& stateOf,
                                     const std::function<Whole(const API_Guid&)>& wholeOf = {});
    // Called before an element changes.
    void NoteChange(const API_Guid& guid, const ElementState& before);
    // Called, in an open step, before an element comes, goes or changes shape.
    void NoteWhole(const API_Guid& guid, Whole before);
    // Called, in an open step, before the list of models changes; `after` is asked at the close.
    void NoteModels(std::shared_ptr<const Models> before, std::function<std::shared_ptr<const Models>()> after);
    // Whether the open step already keeps the element's state before.
    bool Holds(const API_Guid& guid) const { return open_ && open_->before.count(guid) != 0; }

    const Step* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const Step* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    // Moves the last step to the redo list and returns it (the caller restores `before`).
    std::optional<Step> TakeUndo();
    std::optional<Step> TakeRedo();
    void Clear();
    size_t UndoCount() const { return undo_.size(); }
    size_t RedoCount() const { return redo_.size(); }
    size_t KeptBytes() const { return keptBytes_; }
    size_t MaxBytes() const { return maxBytes_; }
    // Names the state the undone and redone steps have led to: the same number means the same
    // state, and a state no step can lead back to never gets its number again.
    uint64_t Position() const { return undo_.empty() ? base_ : undo_.back().serial; }
    // What keeping this element whole costs a step, roughly.
    static size_t WholeBytes(const Element& element);

private:
    void Trim();
    void ClearRedo();

    size_t maxSteps_ = kDefaultMaxSteps, maxBytes_ = kDefaultMaxBytes;
    size_t keptBytes_ = 0; // of the undo and redo steps
    uint64_t serials_ = 0;
    uint64_t base_ = 0;    // the state before the oldest undo step
    std::optional<Step> open_;
    std::function<std::shared_ptr<const Models>()> modelsAfter_;
    std::deque<Step> undo_; // oldest first
    std::vector<Step> redo_;
};
