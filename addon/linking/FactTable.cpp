#include "linking/FactTable.h"

#include "linking/WildcardPattern.h"

namespace {

// Values as they arrive: element by element, each with its value's number.
struct ColumnBuilder {
    FactTable::Column column;
    std::vector<std::pair<uint32_t, uint32_t>> pairs; // element, value

    void Add(uint32_t element, std::string folded) {
        auto [it, added] = column.byText.try_emplace(std::move(folded), static_cast<uint32_t>(column.values.size()));
        if (added) {
            column.values.push_back(it->first);
            column.elementsOf.emplace_back();
        }
        std::vector<uint32_t>& holders = column.elementsOf[it->second];
        // An element with one material twice holds it once.
        if (!holders.empty() && holders.back() == element) return;
        holders.push_back(element);
        pairs.emplace_back(element, it->second);
    }

    FactTable::Column Finish(size_t elements) {
        column.first.assign(elements + 1, 0);
        for (const auto& [e, v] : pairs) ++column.first[e + 1];
        for (size_t e = 0; e < elements; ++e) column.first[e + 1] += column.first[e];
        column.of.reserve(pairs.size());
        for (const auto& [e, v] : pairs) column.of.push_back(v); // already element by element
        return std::move(column);
    }
};

} // namespace

FactTable::FactTable(const std::vector<ElementFacts>& elements) {
    std::unordered_map<std::string, ColumnBuilder> builders;
    kinds_.reserve(elements.size());
    for (size_t i = 0; i < elements.size(); ++i) {
        const ElementFacts& e = elements[i];
        auto element = static_cast<uint32_t>(i);
        kinds_.push_back(e.kind);
        builders["name"].Add(element, FoldedCp1250(e.idText));
        builders["layer"].Add(element, FoldedCp1250(e.layer));
        for (const auto& [key, value] : e.facts) {
            std::string k = FoldedCp1250(key);
            // The rules' `name` is the ID text and `layer` the host's layer, whatever the model says.
            if (k == "name" || k == "layer") continue;
            builders[k].Add(element, FoldedCp1250(value));
        }
    }
    for (auto& [key, builder] : builders) columns_.emplace(key, builder.Finish(elements.size()));
}

const FactTable::Column* FactTable::Find(std::string_view key) const {
    auto it = columns_.find(FoldedCp1250(key));
    return it == columns_.end() ? nullptr : &it->second;
}
