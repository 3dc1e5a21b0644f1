#pragma once
// Named undo steps over element records and user data. While a step is open the first change of
// an element keeps its state before; closing the step keeps the states after. Changes made
// outside a step cannot be undone and end the redo history.
#include "host/model/Element.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class UndoHistory {
public:
    struct Step {
        std::string name; // 8-bit code page
        std::map<API_Guid, ElementState> before, after;
    };

    bool IsOpen() const { return open_.has_value(); }
    bool Open(const std::string& name);
    // Returns the closed step's name, or nothing when no step was open; an empty step is dropped.
    std::optional<std::string> Close(const std::function<std::optional<ElementState>(const API_Guid&)>& stateOf);
    // Called before an element changes.
    void NoteChange(const API_Guid& guid, const ElementState& before);

    const Step* NextUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const Step* NextRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    // Moves the last step to the redo list and returns it (the caller restores `before`).
    std::optional<Step> TakeUndo();
    std::optional<Step> TakeRedo();
    void Clear();
    size_t UndoCount() const { return undo_.size(); }

private:
    std::optional<Step> open_;
    std::vector<Step> undo_, redo_;
};
