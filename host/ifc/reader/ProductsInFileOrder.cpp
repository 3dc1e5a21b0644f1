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
    // The first process's run, then the second's: the products are put in order by their
    // numbers, each moved once, rather than sorted whole.
    std::vector<uint32_t> order(products_.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return products_[a].first < products_[b].first; });
    if (!std::is_sorted(skipped_.begin(), skipped_.end(), byPlace)) std::stable_sort(skipped_.begin(), skipped_.end(), byPlace);
    data.products.reserve(data.products.size() + products_.size());
    seen.reserve(seen.size() + products_.size());
    size_t s = 0;
    for (uint32_t index : order) {
        auto& [position, product] = products_[index];
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
