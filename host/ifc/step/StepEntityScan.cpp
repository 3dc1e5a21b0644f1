#include "host/ifc/step/StepEntityScan.h"

#include "host/ifc/step/EIfcFile.h"
#include "host/ifc/step/StepDataReader.h"

#include <algorithm>
#include <string>
#include <unordered_set>

namespace {

void CheckForLoops(const StepScan& g) {
    // Depth first without recursion: a file can nest as deep as it has entities.
    enum : uint8_t { kNew, kOnPath, kDone };
    std::vector<uint8_t> state(g.ids.size(), kNew);
    std::vector<std::pair<uint32_t, uint32_t>> path; // entity, next reference to follow
    for (uint32_t start = 0; start < g.ids.size(); ++start) {
        if (state[start] != kNew) continue;
        state[start] = kOnPath;
        path.push_back({start, g.firstRef[start]});
        while (!path.empty()) {
            auto& [node, next] = path.back();
            if (next == g.firstRef[node + 1]) {
                state[node] = kDone;
                path.pop_back();
                continue;
            }
            const int64_t found = g.Position(g.refs[next++]);
            if (found < 0) continue;
            const auto to = static_cast<uint32_t>(found);
            if (state[to] == kOnPath)
                throw EIfcFile("entity #" + std::to_string(g.ids[to]) + " refers back to itself through its attributes");
            if (state[to] == kNew) {
                state[to] = kOnPath;
                path.push_back({to, g.firstRef[to]});
            }
        }
    }
}

} // namespace

bool StepScan::Place(int id, uint32_t position, size_t nearLimit) {
    if (id >= 0 && static_cast<size_t>(id) < nearLimit) {
        const auto near = static_cast<size_t>(id);
        if (near >= places.size()) places.resize(std::min(nearLimit, std::max(near + 1, places.size() + places.size() / 2)), kNowhere);
        if (places[near] != kNowhere) return false;
        places[near] = position;
        return true;
    }
    return farPlaces.emplace(id, position).second;
}

std::vector<uint32_t> StepScan::InNumberOrder() const {
    std::vector<uint32_t> order;
    order.reserve(ids.size());
    for (uint32_t place : places)
        if (place != kNowhere) order.push_back(place);
    // Every number past the table is larger than those in it.
    std::vector<std::pair<int, uint32_t>> far(farPlaces.begin(), farPlaces.end());
    std::sort(far.begin(), far.end());
    for (const auto& [id, place] : far) order.push_back(place);
    return order;
}

StepScan ScanStepEntities(std::string_view text) {
    if (text.size() > kMaxStepTextBytes) throw EIfcFile("larger than " + std::to_string(kMaxStepTextBytes >> 20) + " MB");
    StepDataReader reader(text);
    StepScan g;
    StepRecord record;
    std::unordered_set<int> repeated;
    // Numbers up to one for every eight characters of the text have their places in the table:
    // never more than half the text's size, and every number of a file numbered from 1 up.
    const size_t nearLimit = text.size() / 8 + 1024;
    // Room for what a file of this size usually holds, so that the lists are not copied as they
    // grow; what is never written is never given pages.
    const size_t records = text.size() / 48 + 16;
    for (auto* list : {&g.offsets, &g.ends, &g.firstRef}) list->reserve(records);
    g.ids.reserve(records);
    g.productRefs.reserve(records);
    g.refs.reserve(text.size() / 16 + 16);
    while (reader.Next(record)) {
        if (!g.Place(record.id, static_cast<uint32_t>(g.ids.size()), nearLimit)) {
            // The library keeps one of the two without a word, and which one decides the model.
            const auto earlier = static_cast<uint32_t>(g.Position(record.id));
            const size_t first = g.offsets[earlier];
            std::string_view before = text.substr(first, g.ends[earlier] - first);
            if (before != text.substr(record.offset, record.end - record.offset))
                throw EIfcFile("entity #" + std::to_string(record.id) + " is defined twice, differently (on lines " +
                               std::to_string(StepLineAt(text, first)) + " and " + std::to_string(StepLineAt(text, record.offset)) + ")");
            if (repeated.insert(record.id).second) g.repeated.push_back(record.id);
            continue;
        }
        g.ids.push_back(record.id);
        g.offsets.push_back(static_cast<uint32_t>(record.offset));
        g.ends.push_back(static_cast<uint32_t>(record.end));
        g.productRefs.push_back(record.productRefs);
        g.refs.insert(g.refs.end(), record.refs.begin(), record.refs.end());
        g.firstRef.push_back(static_cast<uint32_t>(g.refs.size()));
    }
    CheckForLoops(g);
    return g;
}
