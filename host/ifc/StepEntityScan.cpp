#include "host/ifc/StepEntityScan.h"

#include "host/ifc/IfcBuildingData.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace {

constexpr int kMaxId = 999'999'999;

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void SkipBlanksAndComments() {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '*') {
                size_t end = text_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    // "#123" at the cursor, or -1 (the cursor stays) when there is none.
    int Reference() {
        if (Peek() != '#') return -1;
        size_t p = at_ + 1;
        int64_t id = 0;
        size_t digits = 0;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
            if (id <= kMaxId) id = id * 10 + (text_[p] - '0');
            ++p;
            ++digits;
        }
        if (digits == 0) return -1;
        at_ = p;
        return id > kMaxId ? -1 : static_cast<int>(id);
    }

    // Up to and past the statement's ';', collecting the references on the way; strings and
    // comments are passed over whole.
    void Statement(std::vector<int>& refs) {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == ';') {
                ++at_;
                return;
            }
            if (c == '\'') {
                size_t end = text_.find('\'', at_ + 1);
                at_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '*') {
                SkipBlanksAndComments();
            } else if (c == '#') {
                int ref = Reference();
                if (ref >= 0) refs.push_back(ref);
                else ++at_;
            } else {
                ++at_;
            }
        }
    }

    void Advance() { ++at_; }
    void SeekPast(std::string_view marker) {
        size_t p = text_.find(marker, at_);
        at_ = p == std::string_view::npos ? text_.size() : p + marker.size();
    }

private:
    std::string_view text_;
    size_t at_ = 0;
};

struct Graph {
    std::vector<int> ids;           // in file order
    std::unordered_map<int, uint32_t> index;
    std::vector<uint32_t> firstRef; // into refs, one more than ids
    std::vector<int> refs;
};

void CheckForLoops(const Graph& g) {
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

std::vector<int> ScanStepEntities(std::string_view text) {
    Scanner s(text);
    s.SeekPast("DATA;");
    Graph g;
    g.firstRef.push_back(0);
    std::vector<int> refs;
    while (true) {
        s.SkipBlanksAndComments();
        if (s.AtEnd()) break;
        int id = s.Reference();
        refs.clear();
        if (id < 0) {
            s.Statement(refs); // ENDSEC; or what the library will refuse itself
            continue;
        }
        s.SkipBlanksAndComments();
        if (s.Peek() != '=') {
            s.Statement(refs);
            continue;
        }
        s.Advance();
        s.Statement(refs);
        // The library would keep one of the two silently, and which one decides what loops.
        if (!g.index.emplace(id, static_cast<uint32_t>(g.ids.size())).second)
            throw EIfcFile("entity #" + std::to_string(id) + " is defined twice");
        g.ids.push_back(id);
        g.refs.insert(g.refs.end(), refs.begin(), refs.end());
        g.firstRef.push_back(static_cast<uint32_t>(g.refs.size()));
    }
    CheckForLoops(g);
    return std::move(g.ids);
}
