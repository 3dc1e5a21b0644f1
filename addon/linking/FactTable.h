#pragma once
// The elements' values by rule key, each distinct value once, so that a pattern is tried once per
// distinct value of its key (a few storeys, classes and materials) rather than once per element,
// and a literal value leads straight to its elements.
#include "linking/ElementFacts.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class FactTable {
public:
    struct Column {
        std::vector<std::string> values;                  // folded, each once
        std::unordered_map<std::string, uint32_t> byText; // folded value -> its number
        std::vector<std::vector<uint32_t>> elementsOf;    // per value, its elements, ascending
        std::vector<uint32_t> first;                      // per element, where its values begin in `of`
        std::vector<uint32_t> of;                         // value numbers, element by element

        std::span<const uint32_t> ValuesOf(size_t element) const {
            return std::span<const uint32_t>(of).subspan(first[element], first[element + 1] - first[element]);
        }
    };

    explicit FactTable(const std::vector<ElementFacts>& elements);

    size_t Size() const { return kinds_.size(); }
    int32_t Kind(size_t element) const { return kinds_[element]; }
    // The column of a rule key, letter case ignored: `name` the ID texts, `layer` the layers,
    // any other key the facts of that key. Null when no element has a value for it.
    const Column* Find(std::string_view key) const;

private:
    std::vector<int32_t> kinds_;
    std::unordered_map<std::string, Column> columns_; // by folded key
};
