#include "host/ifc/StepEntityScan.h"

#include "host/ifc/IfcBuildingData.h"
#include "host/ifc/StepDataReader.h"

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
            auto found = g.index.find(g.refs[next++]);
            if (found == g.index.end()) continue;
            uint32_t to = found->second;
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

StepScan ScanStepEntities(std::string_view text) {
    StepDataReader reader(text);
    StepScan g;
    StepRecord record;
    std::unordered_set<int> repeated;
    while (reader.Next(record)) {
        auto [at, added] = g.index.emplace(record.id, static_cast<uint32_t>(g.ids.size()));
        if (!added) {
            // The library keeps one of the two without a word, and which one decides the model.
            const size_t first = g.offsets[at->second];
            std::string_view before = text.substr(first, g.ends[at->second] - first);
            if (before != text.substr(record.offset, record.end - record.offset))
                throw EIfcFile("entity #" + std::to_string(record.id) + " is defined twice, differently (on lines " +
                               std::to_string(StepLineAt(text, first)) + " and " + std::to_string(StepLineAt(text, record.offset)) + ")");
            if (repeated.insert(record.id).second) g.repeated.push_back(record.id);
            continue;
        }
        g.ids.push_back(record.id);
        g.offsets.push_back(record.offset);
        g.ends.push_back(record.end);
        g.productRefs.push_back(record.productRefs);
        g.refs.insert(g.refs.end(), record.refs.begin(), record.refs.end());
        g.firstRef.push_back(static_cast<uint32_t>(g.refs.size()));
    }
    CheckForLoops(g);
    return g;
}
