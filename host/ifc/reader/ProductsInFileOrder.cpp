#include "host/ifc/reader/ProductsInFileOrder.h"

#include "host/ifc/building/IfcGuid.h"

#include <algorithm>

void ProductsInFileOrder::Add(uint32_t position, IfcProductData product) { products_.emplace_back(position, std::move(product)); }

void ProductsInFileOrder::Add(uint32_t position, IfcSkippedProduct skipped) { skipped_.emplace_back(position, std::move(skipped)); }

void ProductsInFileOrder::DropPast(uint32_t position) {
    std::erase_if(products_, [&](const auto& p) { return p.first > position; });
    std::erase_if(skipped_, [&](const auto& s) { return s.first > position; });
}

void ProductsInFileOrder::MoveInto(IfcBuildingData& data, std::vector<size_t>& outOfRange,
                                   std::unordered_set<API_Guid, API_GuidHash>& seen) {
    auto byPlace = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Mostly in order already: the first process's run, then the second's.
    if (!std::is_sorted(products_.begin(), products_.end(), byPlace)) std::stable_sort(products_.begin(), products_.end(), byPlace);
    if (!std::is_sorted(skipped_.begin(), skipped_.end(), byPlace)) std::stable_sort(skipped_.begin(), skipped_.end(), byPlace);
    size_t s = 0;
    for (auto& [position, product] : products_) {
        while (s < skipped_.size() && skipped_[s].first < position) data.skipped.push_back(std::move(skipped_[s++].second));
        if (IsOutOfRangeIfcGlobalId(product.globalId)) {
            outOfRange.push_back(data.products.size());
        } else if (!seen.insert(product.guid).second) {
            data.skipped.push_back(RepeatedGlobalId(product));
            continue;
        }
        data.products.push_back(std::move(product));
    }
    for (; s < skipped_.size(); ++s) data.skipped.push_back(std::move(skipped_[s].second));
    products_.clear();
    skipped_.clear();
}

IfcSkippedProduct RepeatedGlobalId(const IfcProductData& p) {
    return {p.globalId, p.ifcClass, "GlobalId used by an earlier product", IfcLeftOutCause::RepeatedGlobalId, p.name};
}
