#pragma once
// The texts of the elements' facts (IFC class, storey, material, property names and values), each
// kept once for the whole model: a large building repeats the same few thousand texts millions of
// times, and an element holds only their numbers. A text keeps its number while the model lives.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

// One fact of an element: its key ("class", "storey", "Pset_WallCommon.IsExternal") and value,
// as numbers of texts in the model's FactTexts.
struct ElementFact {
    uint32_t key = 0, value = 0;
    bool operator==(const ElementFact&) const = default;
};

class FactTexts {
public:
    FactTexts() = default;
    FactTexts(const FactTexts&) = delete;
    FactTexts& operator=(const FactTexts&) = delete;

    // The text's number, the same for the same text (UTF-8).
    uint32_t Intern(std::string_view text);
    // The text of a number Intern gave; empty for any other.
    std::string_view Text(uint32_t id) const { return id < texts_.size() ? std::string_view(texts_[id]) : std::string_view(); }
    size_t Count() const { return texts_.size(); }

private:
    std::deque<std::string> texts_; // a deque never moves its strings, so the index's views stay valid
    std::unordered_map<std::string_view, uint32_t> ids_;
};
