#include "linking/TaskWeights.h"

#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

bool SameKey(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

double NumberOf(const std::string& text) {
    double v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(v) && v > 0 ? v : 0.0;
}

} // namespace

std::vector<double> TaskWeights(TaskDB& db, IElementFacts& facts, const std::string& key) {
    std::vector<double> weights(db.TaskCount(), 0.0);
    auto add = [&](int32_t id, double w) { db.ForEachIndexOfId(id, [&](size_t i) { weights[i] += w; }); };
    if (key.empty()) {
        for (const auto& [id, count] : db.LinkedElementCounts()) add(id, static_cast<double>(count));
        return weights;
    }
    for (const ElementFacts& e : facts.CollectElements()) {
        double w = 0;
        for (const auto& [k, v] : e.facts)
            if (SameKey(k, key)) {
                w = NumberOf(v);
                break;
            }
        if (w <= 0) continue;
        ElementLink slots = e.link.Slots();
        for (size_t k = 0; k < slots.size(); ++k)
            if (slots[k] != 0 && std::find(slots.begin(), slots.begin() + static_cast<std::ptrdiff_t>(k), slots[k]) ==
                                     slots.begin() + static_cast<std::ptrdiff_t>(k))
                add(slots[k], w);
    }
    return weights;
}
