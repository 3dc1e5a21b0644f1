#include "host/ifc/helper/RecordContent.h"

#include <cstring>
#include <optional>
#include <utility>
#include <unordered_map>
#include <unordered_set>

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

// The number of the reference at `at` (a '#' outside strings followed by a digit), and where it
// ends; nothing when there is none there.
std::optional<std::pair<int64_t, size_t>> ReferenceAt(std::string_view body, size_t at) {
    if (body[at] != '#' || at + 1 >= body.size() || body[at + 1] < '0' || body[at + 1] > '9') return std::nullopt;
    int64_t id = 0;
    size_t end = at + 1;
    for (; end < body.size() && body[end] >= '0' && body[end] <= '9'; ++end) {
        id = id * 10 + (body[end] - '0');
        if (id > INT32_MAX) return std::pair<int64_t, size_t>{-1, end};
    }
    return std::pair<int64_t, size_t>{id, end};
}

// Walks a record's text: `plain` is given each run between references, `reference` each
// referenced record's place (false ends the walk). References in strings are text.
template <class Plain, class Reference>
bool EachPart(const StepScan& scan, std::string_view body, Plain&& plain, Reference&& reference) {
    bool quoted = false;
    size_t run = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\'') quoted = !quoted;
        if (quoted || body[i] != '#') continue;
        const auto ref = ReferenceAt(body, i);
        if (!ref) continue;
        plain(body.substr(run, i - run));
        const int64_t place = ref->first < 0 ? -1 : scan.Position(static_cast<int>(ref->first));
        if (place < 0 || !reference(static_cast<uint32_t>(place))) return false;
        run = ref->second;
        i = ref->second - 1;
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

    // Both texts walked in step: the same bytes, but where both refer to records that say the same.
    bool Same(uint32_t a, uint32_t b, int depth) {
        if (a == b) return true;
        const uint64_t pair = uint64_t{a} << 32 | b;
        if (same.count(pair)) return true;
        if (depth > kMaxDepth) return false;
        const std::string_view bodyA = BodyAt(text, scan, a), bodyB = BodyAt(text, scan, b);
        if (bodyA.empty() || bodyB.empty()) return false;
        bool quoted = false;
        size_t i = 0, j = 0;
        while (i < bodyA.size() && j < bodyB.size()) {
            const char c = bodyA[i];
            if (!quoted && c == '#') {
                const auto refA = ReferenceAt(bodyA, i), refB = ReferenceAt(bodyB, j);
                if (refA.has_value() != refB.has_value()) return false;
                if (refA) {
                    const int64_t placeA = refA->first < 0 ? -1 : scan.Position(static_cast<int>(refA->first));
                    const int64_t placeB = refB->first < 0 ? -1 : scan.Position(static_cast<int>(refB->first));
                    if (placeA < 0 || placeB < 0 ||
                        !Same(static_cast<uint32_t>(placeA), static_cast<uint32_t>(placeB), depth + 1))
                        return false;
                    i = refA->second;
                    j = refB->second;
                    continue;
                }
            }
            if (c != bodyB[j]) return false;
            if (c == '\'') quoted = !quoted;
            ++i;
            ++j;
        }
        if (i != bodyA.size() || j != bodyB.size()) return false;
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
