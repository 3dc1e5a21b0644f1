#include "host/ifc/helper/RecordContent.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// Geometry lies a few records deep; a chain deeper than this is not worth following.
constexpr int kMaxDepth = 64;

// The record's text after its `=`; empty when it has none within the text.
std::string_view BodyAt(std::string_view text, const StepScan& scan, uint32_t position) {
    const size_t offset = scan.Offset(position), end = scan.End(position);
    if (end > text.size() || end < offset) return {};
    std::string_view record = text.substr(offset, end - offset);
    const size_t equals = record.find('=');
    return equals == std::string_view::npos ? std::string_view() : record.substr(equals + 1);
}

// Walks a record's text: `plain` is given each run between references, `reference` each
// referenced record's place (false ends the walk). References in strings are text.
template <class Plain, class Reference>
bool EachPart(const StepScan& scan, std::string_view body, Plain&& plain, Reference&& reference) {
    bool quoted = false;
    size_t run = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\'') quoted = !quoted;
        if (quoted || c != '#' || i + 1 >= body.size() || body[i + 1] < '0' || body[i + 1] > '9') continue;
        plain(body.substr(run, i - run));
        int64_t id = 0;
        size_t j = i + 1;
        for (; j < body.size() && body[j] >= '0' && body[j] <= '9'; ++j) {
            id = id * 10 + (body[j] - '0');
            if (id > INT32_MAX) return false;
        }
        const int64_t place = scan.Position(static_cast<int>(id));
        if (place < 0 || !reference(static_cast<uint32_t>(place))) return false;
        run = j;
        i = j - 1;
    }
    plain(body.substr(run));
    return true;
}

uint64_t Mix(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}

uint64_t Add(uint64_t h, uint64_t word) { return Mix(h ^ (word + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2))); }

uint64_t AddBytes(uint64_t h, std::string_view bytes) {
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        h = Add(h, word);
    }
    uint64_t tail = bytes.size();
    for (size_t k = 0; i < bytes.size(); ++i, ++k) tail ^= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * (k + 1));
    return Add(h, tail);
}

struct Hasher {
    std::string_view text;
    const StepScan& scan;
    std::unordered_map<uint32_t, uint64_t> known;

    std::optional<uint64_t> Of(uint32_t position, int depth) {
        if (auto found = known.find(position); found != known.end()) return found->second;
        if (depth > kMaxDepth) return std::nullopt;
        const std::string_view body = BodyAt(text, scan, position);
        if (body.empty()) return std::nullopt;
        uint64_t h = 0x243f6a8885a308d3ull;
        const bool whole = EachPart(
            scan, body, [&](std::string_view run) { h = AddBytes(h, run); },
            [&](uint32_t place) {
                const std::optional<uint64_t> below = Of(place, depth + 1);
                if (below) h = Add(h, *below);
                return below.has_value();
            });
        if (!whole) return std::nullopt;
        known.emplace(position, h);
        return h;
    }
};

struct Comparer {
    std::string_view text;
    const StepScan& scan;
    std::unordered_set<uint64_t> same; // pairs found alike

    bool Same(uint32_t a, uint32_t b, int depth) {
        if (a == b) return true;
        const uint64_t pair = uint64_t{a} << 32 | b;
        if (same.count(pair)) return true;
        if (depth > kMaxDepth) return false;
        const std::string_view bodyA = BodyAt(text, scan, a), bodyB = BodyAt(text, scan, b);
        if (bodyA.empty() || bodyB.empty()) return false;
        // Both walked alike: the runs of each, with their references, in turn.
        std::vector<std::string_view> runs;
        std::vector<uint32_t> references;
        if (!EachPart(
                scan, bodyA, [&](std::string_view run) { runs.push_back(run); },
                [&](uint32_t place) {
                    references.push_back(place);
                    return true;
                }))
            return false;
        size_t run = 0, reference = 0;
        bool alike = true;
        const bool whole = EachPart(
            scan, bodyB,
            [&](std::string_view r) { alike = alike && run < runs.size() && runs[run++] == r; },
            [&](uint32_t place) {
                alike = alike && reference < references.size() && Same(references[reference++], place, depth + 1);
                return alike;
            });
        if (!whole || !alike || run != runs.size() || reference != references.size()) return false;
        same.insert(pair);
        return true;
    }
};

} // namespace

std::optional<uint64_t> RecordContentHash(std::string_view text, const StepScan& scan, uint32_t position) {
    if (position >= scan.ids.size()) return std::nullopt;
    Hasher hasher{text, scan, {}};
    return hasher.Of(position, 0);
}

bool SameRecordContent(std::string_view text, const StepScan& scan, uint32_t a, uint32_t b) {
    if (a >= scan.ids.size() || b >= scan.ids.size()) return false;
    Comparer comparer{text, scan, {}};
    return comparer.Same(a, b, 0);
}

uint64_t AddToContentHash(uint64_t hash, uint64_t word) { return Add(hash, word); }
