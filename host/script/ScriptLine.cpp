#include "host/script/ScriptLine.h"

#include <charconv>

std::optional<std::vector<std::string>> SplitScriptLine(const std::string& line, std::string& error) {
    std::vector<std::string> args;
    size_t i = 0, n = line.size();
    while (i < n) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string arg;
        if (c == '"') {
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
                        return std::nullopt;
                    }
                    d = line[i++];
                }
                arg.push_back(d);
            }
            if (!closed) {
                error = "unterminated quote";
                return std::nullopt;
            }
            if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                error = "text right after a closing quote";
                return std::nullopt;
            }
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') arg.push_back(line[i++]);
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
