#include "host/ifc/step/StepEntityScan.h"

#include "host/ifc/step/EIfcFile.h"
#include "host/ifc/step/StepDataReader.h"

#include "steptext/StepLexemes.h"

#include <algorithm>
#include <exception>
#include <future>
#include <span>
#include <string>
#include <system_error>
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

namespace {

// A text this large is read in two halves at once: reading the records is the most of the
// open's work before the IFC library can start.
constexpr size_t kHalvesFrom = size_t{1} << 20;

// The records of one stretch of the text, in its order, before they get their places.
struct ScannedRecords {
    std::vector<int> ids;
    std::vector<uint32_t> offsets, ends, firstRef{0};
    std::vector<int> refs;
    ProductRefList productRefs;
};

class ScanTable {
public:
    ScanTable(std::string_view text, StepScan& scan)
        : text_(text), scan_(scan), nearLimit_(text.size() / 8 + 1024) {
        // Room for what a file of this size usually holds, so that the lists are not copied as
        // they grow; what is never written is never given pages.
        const size_t records = text.size() / 48 + 16;
        for (auto* list : {&scan.offsets, &scan.ends, &scan.firstRef}) list->reserve(records);
        scan.ids.reserve(records);
        scan.productRefs.reserve(records);
        scan.refs.reserve(text.size() / 16 + 16);
    }

    // Numbers up to one for every eight characters of the text have their places in the table:
    // never more than half the text's size, and every number of a file numbered from 1 up.
    void Add(int id, size_t offset, size_t end, std::array<int, 2> productRefs, std::span<const int> refs) {
        StepScan& g = scan_;
        if (!g.Place(id, static_cast<uint32_t>(g.ids.size()), nearLimit_)) {
            // The library keeps one of the two without a word, and which one decides the model.
            const auto earlier = static_cast<uint32_t>(g.Position(id));
            const size_t first = g.offsets[earlier];
            std::string_view before = text_.substr(first, g.ends[earlier] - first);
            if (before != text_.substr(offset, end - offset))
                throw EIfcFile("entity #" + std::to_string(id) + " is defined twice, differently (on lines " +
                               std::to_string(StepLineAt(text_, first)) + " and " + std::to_string(StepLineAt(text_, offset)) + ")");
            if (repeated_.insert(id).second) g.repeated.push_back(id);
            return;
        }
        g.ids.push_back(id);
        g.offsets.push_back(static_cast<uint32_t>(offset));
        g.ends.push_back(static_cast<uint32_t>(end));
        g.productRefs.push_back(productRefs);
        g.refs.insert(g.refs.end(), refs.begin(), refs.end());
        g.firstRef.push_back(static_cast<uint32_t>(g.refs.size()));
    }

    void AddAll(const ScannedRecords& records) {
        // Up to the first number written again, if any, the lists are appended whole.
        StepScan& g = scan_;
        const size_t base = g.ids.size(), refBase = g.refs.size();
        size_t placed = 0;
        while (placed < records.ids.size() && g.Place(records.ids[placed], static_cast<uint32_t>(base + placed), nearLimit_)) ++placed;
        g.ids.insert(g.ids.end(), records.ids.begin(), records.ids.begin() + static_cast<ptrdiff_t>(placed));
        g.offsets.insert(g.offsets.end(), records.offsets.begin(), records.offsets.begin() + static_cast<ptrdiff_t>(placed));
        g.ends.insert(g.ends.end(), records.ends.begin(), records.ends.begin() + static_cast<ptrdiff_t>(placed));
        g.productRefs.Append(records.productRefs, placed);
        g.refs.insert(g.refs.end(), records.refs.begin(), records.refs.begin() + records.firstRef[placed]);
        for (size_t i = 1; i <= placed; ++i) g.firstRef.push_back(static_cast<uint32_t>(refBase + records.firstRef[i]));
        for (size_t i = placed; i < records.ids.size(); ++i)
            Add(records.ids[i], records.offsets[i], records.ends[i], records.productRefs[i],
                std::span<const int>(records.refs).subspan(records.firstRef[i], records.firstRef[i + 1] - records.firstRef[i]));
    }

private:
    std::string_view text_;
    StepScan& scan_;
    size_t nearLimit_;
    std::unordered_set<int> repeated_;
};

ScannedRecords ScanRecords(std::string_view text, size_t from) {
    ScannedRecords out;
    const size_t records = (text.size() - from) / 48 + 16;
    for (auto* list : {&out.offsets, &out.ends, &out.firstRef}) list->reserve(records);
    out.ids.reserve(records);
    out.productRefs.reserve(records);
    out.refs.reserve((text.size() - from) / 16 + 16);
    StepDataReader reader(text, from, std::string_view::npos);
    StepRecord record;
    while (reader.Next(record)) {
        out.ids.push_back(record.id);
        out.offsets.push_back(static_cast<uint32_t>(record.offset));
        out.ends.push_back(static_cast<uint32_t>(record.end));
        out.productRefs.push_back(record.productRefs);
        out.refs.insert(out.refs.end(), record.refs.begin(), record.refs.end());
        out.firstRef.push_back(static_cast<uint32_t>(out.refs.size()));
    }
    return out;
}

// Where the second half may begin: the first line after the middle that begins "#N=". A string
// or comment may hold such a line; the first half's reader ending there is the proof.
size_t SplitAt(std::string_view text) {
    for (size_t at = text.find('\n', text.size() / 2); at != std::string_view::npos; at = text.find('\n', at + 1)) {
        size_t p = at + 1;
        if (p >= text.size() || text[p] != '#') continue;
        const size_t digits = ++p;
        while (p < text.size() && IsStepDigit(text[p])) ++p;
        if (p == digits) continue;
        while (p < text.size() && IsStepBlank(text[p])) ++p;
        if (p < text.size() && text[p] == '=') return at + 1;
    }
    return std::string_view::npos;
}

void ScanInOrder(std::string_view text, StepScan& g) {
    ScanTable table(text, g);
    StepDataReader reader(text);
    StepRecord record;
    while (reader.Next(record)) table.Add(record.id, record.offset, record.end, record.productRefs, record.refs);
}

// False, with `g` to be made anew, when the halves do not meet at a record or either has a fault:
// read in order, the fault's message is the one a reader from the start gives.
bool ScanInHalves(std::string_view text, StepScan& g) {
    const size_t split = SplitAt(text);
    if (split == std::string_view::npos) return false;
    std::future<ScannedRecords> second;
    try {
        second = std::async(std::launch::async, ScanRecords, text, split);
    } catch (const std::system_error&) {
        return false; // no thread to be had: one reader does it all
    }
    try {
        ScanTable table(text, g);
        const size_t data = text.find("DATA;");
        if (data == std::string_view::npos || data >= split) return false;
        StepDataReader reader(text, data + 5, split);
        StepRecord record;
        while (reader.Next(record)) table.Add(record.id, record.offset, record.end, record.productRefs, record.refs);
        if (reader.At() != split) return false;
        table.AddAll(second.get());
        return true;
    } catch (const EIfcFile&) {
        return false;
    }
}

} // namespace

StepScan ScanStepEntities(std::string_view text, const std::function<void(const StepScan&)>& beside) {
    if (text.size() > kMaxStepTextBytes) throw EIfcFile("larger than " + std::to_string(kMaxStepTextBytes >> 20) + " MB");
    StepScan g;
    if (text.size() < kHalvesFrom || !ScanInHalves(text, g)) {
        g = StepScan();
        ScanInOrder(text, g);
    }
    std::future<void> checked;
    if (beside) {
        try {
            checked = std::async(std::launch::async, [&g] { CheckForLoops(g); });
        } catch (const std::system_error&) {
        }
    }
    if (!checked.valid()) CheckForLoops(g);
    if (!beside) return g;
    std::exception_ptr besideFailed;
    try {
        beside(g);
    } catch (...) {
        besideFailed = std::current_exception();
    }
    if (checked.valid()) checked.get();
    if (besideFailed) std::rethrow_exception(besideFailed);
    return g;
}
