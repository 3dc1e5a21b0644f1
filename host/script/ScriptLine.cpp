#include "host/script/ScriptLine.h"

#include <charconv>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The quoted text starting at line[i] (a quote) onto `arg`, with its escapes; `i` moves past
// the closing quote, which must end the argument.
bool ReadQuoted(const std::string& line, size_t& i, std::string& arg, std::string& error) {
    const size_t n = line.size();
    ++i;
    bool closed = false;
    while (i < n) {
        char d = line[i++];
        if (d == '"') {
            closed = true;
            break;
        }
        if (d == '\\') {
            if (i >= n || (line[i] != '"' && line[i] != '\\')) {
                error = "bad escape in quoted argument";
                return false;
            }
            d = line[i++];
        }
        arg.push_back(d);
    }
    if (!closed) {
        error = "unterminated quote";
        return false;
    }
    if (i < n && !IsBlank(line[i])) {
        error = "text right after a closing quote";
        return false;
    }
    return true;
}

} // namespace

std::optional<std::vector<std::string>> SplitScriptLine(const std::string& line, std::string& error) {
    std::vector<std::string> args;
    size_t i = 0, n = line.size();
    while (i < n) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string arg;
        if (line[i] == '"') {
            if (!ReadQuoted(line, i, arg, error)) return std::nullopt;
        } else {
            while (i < n && !IsBlank(line[i])) {
                // KEY="a value with blanks": a quote right after the equals sign quotes the rest.
                if (line[i] == '"' && !arg.empty() && arg.back() == '=') {
                    if (!ReadQuoted(line, i, arg, error)) return std::nullopt;
                    break;
                }
                arg.push_back(line[i++]);
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string QuoteForTranscript(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') out.push_back('\\');
        if (c == '\r') {
            out += "\\r";
            continue;
        }
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

bool ParseScriptInt(std::string_view argument, int64_t& out) {
    auto r = std::from_chars(argument.data(), argument.data() + argument.size(), out);
    return r.ec == std::errc() && r.ptr == argument.data() + argument.size();
}

std::string ArgumentForTranscript(const std::string& utf8) {
    bool bare = !utf8.empty() && utf8.front() != '"';
    for (char c : utf8)
        if (c == ' ' || c == '\t' || c == '#' || static_cast<unsigned char>(c) < 0x20) bare = false;
    return bare ? utf8 : QuoteForTranscript(utf8);
}
