#include "host/ifc/step/ReferenceSearch.h"

ReferenceSearch::ReferenceSearch(const StepScan& scan, std::function<bool(int id)> picks)
    : scan_(scan), picks_(std::move(picks)), known_(scan.ids.size(), false), hit_(scan.ids.size(), false) {}

ReferenceSearch::Found ReferenceSearch::Through(int holder, int to) {
    if (to < 0) return {};
    if (picks_(to)) return {holder, to};
    return Below(to);
}

ReferenceSearch::Found ReferenceSearch::Below(int id) {
    int64_t position = scan_.Position(id);
    return position < 0 ? Found{} : BelowPosition(static_cast<uint32_t>(position));
}

ReferenceSearch::Found ReferenceSearch::BelowPosition(uint32_t start) {
    // Depth first without recursion; a record is finished once its references all are.
    std::vector<std::pair<uint32_t, size_t>> path; // record, next of its references to look at
    if (!known_[start]) path.push_back({start, 0});
    while (!path.empty()) {
        auto& [node, next] = path.back();
        std::span<const int> refs = scan_.References(node);
        bool descended = false;
        while (next < refs.size() && !hit_[node]) {
            const int to = refs[next];
            if (picks_(to)) {
                Keep(node, {scan_.ids[node], to});
                break;
            }
            int64_t child = scan_.Position(to);
            if (child < 0) {
                ++next;
                continue;
            }
            auto c = static_cast<uint32_t>(child);
            if (!known_[c]) {
                path.push_back({c, 0});
                descended = true;
                break;
            }
            if (hit_[c]) Keep(node, hits_.at(c));
            ++next;
        }
        if (descended) continue;
        known_[node] = true;
        path.pop_back();
    }
    return hit_[start] ? hits_.at(start) : Found{};
}
