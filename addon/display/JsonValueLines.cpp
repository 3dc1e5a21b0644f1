#include "display/JsonValueLines.h"

#include <vector>

namespace {

struct Frame {
    bool object = false;
    std::string key;
    size_t index = 0;
};

} // namespace

std::map<std::string, int> JsonValueLines(std::string_view text) {
    std::map<std::string, int> lines;
    std::vector<Frame> stack;
    size_t i = 0;
    int line = 1;
    const size_t n = text.size();
    auto skip = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
            if (text[i] == '\n') ++line;
            ++i;
        }
    };
    // At an opening quote: the text up to the closing one.
    auto readString = [&] {
        std::string out;
        for (++i; i < n && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < n) out.push_back(text[i++]);
            out.push_back(text[i]);
        }
        ++i;
        return out;
    };
    auto pointer = [&] {
        std::string p;
        for (const Frame& f : stack) p += "/" + (f.object ? f.key : std::to_string(f.index));
        return p;
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
    enum class Want { Value, Key, After } want = Want::Value;
    while (true) {
        skip();
        if (i >= n) break;
        const char c = text[i];
        if (want == Want::Value) {
            lines.emplace(pointer(), line);
            if (c == '{' || c == '[') {
                stack.push_back({c == '{', {}, 0});
                ++i;
                skip();
                if (i < n && (text[i] == '}' || text[i] == ']')) {
                    ++i;
                    stack.pop_back();
                    want = Want::After;
                } else {
                    want = c == '{' ? Want::Key : Want::Value;
                }
            } else if (c == '"') {
                readString();
                want = Want::After;
            } else {
                while (i < n && text[i] != ',' && text[i] != ']' && text[i] != '}' && text[i] != ' ' && text[i] != '\n' &&
                       text[i] != '\r' && text[i] != '\t')
                    ++i;
                want = Want::After;
            }
        } else if (want == Want::Key) {
            if (c != '"' || stack.empty()) break;
            stack.back().key = readString();
            skip();
            if (i >= n || text[i] != ':') break;
            ++i;
            want = Want::Value;
        } else {
            if (stack.empty()) break;
            ++i;
            if (c == ',') {
                if (stack.back().object) {
                    want = Want::Key;
                } else {
                    ++stack.back().index;
                    want = Want::Value;
                }
            } else if (c == ']' || c == '}') {
                stack.pop_back();
            } else {
                break;
            }
        }
    }
    return lines;
}

int LineOf(const std::map<std::string, int>& lines, std::string pointer) {
    while (true) {
        if (auto it = lines.find(pointer); it != lines.end()) return it->second;
        if (pointer.empty()) return 1;
        pointer.erase(pointer.rfind('/'));
    }
}
