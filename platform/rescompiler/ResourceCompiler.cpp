// Build-time tool: compiles the UTF-8 resource sources into the stored form (Windows-1250) and
// writes them as a C++ byte array to be linked into the module.
//
//   ResourceCompiler OUT.cpp SYMBOL [strings=FILE.json] [alerts=FILE.json] [dialogs=FILE.json]
//                    [raw:TYPE:ID=FILE]...
//
// A text that has no Windows-1250 form fails the build rather than turning into '?'.
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string ToCp1250(const std::string& utf8) {
    iconv_t cd = iconv_open("CP1250", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP1250");
    std::string out(utf8.size() + 1, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* o = out.data();
    size_t outLeft = out.size();
    size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1) || inLeft != 0)
        throw std::runtime_error("text has no Windows-1250 form: " + utf8);
    out.resize(out.size() - outLeft);
    return out;
}

void PutU32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutI16(Bytes& b, int16_t v) {
    auto u = static_cast<uint16_t>(v);
    b.push_back(static_cast<uint8_t>(u));
    b.push_back(static_cast<uint8_t>(u >> 8));
}
void PutText(Bytes& b, const std::string& utf8) {
    std::string t = ToCp1250(utf8);
    b.insert(b.end(), t.begin(), t.end());
    b.push_back(0);
}

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    return nlohmann::json::parse(in);
}

int16_t ResourceId(const std::string& key) {
    long v = std::stol(key);
    if (v < INT16_MIN || v > INT16_MAX) throw std::runtime_error("resource id out of range: " + key);
    return static_cast<int16_t>(v);
}

struct Entry {
    uint32_t type;
    int16_t id;
    Bytes data;
};

uint32_t TypeCode(const std::string& code) {
    if (code.size() != 4) throw std::runtime_error("type code must have four characters: " + code);
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8 | static_cast<uint8_t>(code[3]);
}

void AddStrings(std::vector<Entry>& entries, const std::string& path) {
    const nlohmann::json doc = ReadJson(path);
    for (auto& [key, items] : doc.items()) {
        Bytes body;
        for (auto& item : items) PutText(body, item.get<std::string>());
        Entry e{TypeCode("STR#"), ResourceId(key), {}};
        PutU32(e.data, static_cast<uint32_t>(body.size()));
        e.data.insert(e.data.end(), body.begin(), body.end());
        entries.push_back(std::move(e));
    }
}

void AddAlerts(std::vector<Entry>& entries, const std::string& path) {
    const nlohmann::json doc = ReadJson(path);
    for (auto& [key, alert] : doc.items()) {
        Bytes body;
        PutI16(body, static_cast<int16_t>(alert.at("kind").get<int>()));
        PutText(body, alert.value("title", ""));
        PutText(body, alert.value("main", ""));
        PutText(body, alert.value("explanation", ""));
        auto buttons = alert.value("buttons", std::vector<std::string>{});
        if (buttons.size() > 3) throw std::runtime_error("alert " + key + " has more than three buttons");
        buttons.resize(3);
        for (auto& b : buttons) PutText(body, b);
        Entry e{TypeCode("ALRT"), ResourceId(key), {}};
        PutU32(e.data, static_cast<uint32_t>(body.size()));
        e.data.insert(e.data.end(), body.begin(), body.end());
        entries.push_back(std::move(e));
    }
}

// Item kinds of a dialog description, numbered as the add-on's reader expects them.
uint16_t DialogItemKind(const std::string& kind) {
    static const std::map<std::string, uint16_t> kinds = {
        {"button", 0}, {"static", 1}, {"text", 2}, {"popup", 3}, {"check", 4},
        {"radio", 5},  {"int", 6},    {"date", 7}, {"group", 8}, {"list", 9}, {"progress", 10},
        {"userarea", 11}};
    auto it = kinds.find(kind);
    if (it == kinds.end()) throw std::runtime_error("unknown dialog item kind: " + kind);
    return it->second;
}

// 'DLG ': u32 byte count, i16 width, i16 height, title, u16 item count, then per item u16 id,
// u16 kind, i16 left, top, width, height, text, script name (texts zero-terminated).
void AddDialogs(std::vector<Entry>& entries, const std::string& path) {
    const nlohmann::json doc = ReadJson(path);
    for (auto& [key, dialog] : doc.items()) {
        Bytes body;
        PutI16(body, static_cast<int16_t>(dialog.at("width").get<int>()));
        PutI16(body, static_cast<int16_t>(dialog.at("height").get<int>()));
        PutText(body, dialog.value("title", ""));
        const auto& items = dialog.at("items");
        PutI16(body, static_cast<int16_t>(items.size()));
        for (const auto& item : items) {
            PutI16(body, static_cast<int16_t>(item.at("id").get<int>()));
            PutI16(body, static_cast<int16_t>(DialogItemKind(item.at("kind").get<std::string>())));
            auto rect = item.at("rect").get<std::vector<int>>();
            if (rect.size() != 4) throw std::runtime_error("dialog " + key + ": a rect has four numbers");
            for (int v : rect) PutI16(body, static_cast<int16_t>(v));
            PutText(body, item.value("text", ""));
            PutText(body, item.value("name", ""));
        }
        Entry e{TypeCode("DLG "), ResourceId(key), {}};
        PutU32(e.data, static_cast<uint32_t>(body.size()));
        e.data.insert(e.data.end(), body.begin(), body.end());
        entries.push_back(std::move(e));
    }
}

void AddRaw(std::vector<Entry>& entries, const std::string& spec, const std::string& path) {
    // spec: TYPE:ID
    auto colon = spec.find(':');
    if (colon == std::string::npos) throw std::runtime_error("raw resource needs TYPE:ID: " + spec);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entries.push_back({TypeCode(spec.substr(0, colon)), ResourceId(spec.substr(colon + 1)), std::move(data)});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: ResourceCompiler OUT.cpp SYMBOL [strings=F] [alerts=F] [dialogs=F] [raw:TYPE:ID=F]...\n";
        return 2;
    }
    try {
        std::vector<Entry> entries;
        for (int i = 3; i < argc; ++i) {
            std::string arg = argv[i];
            auto eq = arg.find('=');
            if (eq == std::string::npos) throw std::runtime_error("bad argument: " + arg);
            std::string kind = arg.substr(0, eq), path = arg.substr(eq + 1);
            if (kind == "strings") AddStrings(entries, path);
            else if (kind == "alerts") AddAlerts(entries, path);
            else if (kind == "dialogs") AddDialogs(entries, path);
            else if (kind.rfind("raw:", 0) == 0) AddRaw(entries, kind.substr(4), path);
            else throw std::runtime_error("unknown source kind: " + kind);
        }
        Bytes blob = {'B', 'V', 'R', 'S'};
        PutU32(blob, static_cast<uint32_t>(entries.size()));
        for (auto& e : entries) {
            for (int s = 24; s >= 0; s -= 8) blob.push_back(static_cast<uint8_t>(e.type >> s));
            PutI16(blob, e.id);
            PutI16(blob, 0);
            PutU32(blob, static_cast<uint32_t>(e.data.size()));
            blob.insert(blob.end(), e.data.begin(), e.data.end());
        }
        std::ostringstream src;
        std::string sym = argv[2];
        src << "// Generated by ResourceCompiler; do not edit.\n#include <cstddef>\n\n";
        src << "extern const unsigned char " << sym << "[];\nextern const std::size_t " << sym << "Size;\n";
        src << "alignas(8) const unsigned char " << sym << "[] = {";
        for (size_t i = 0; i < blob.size(); ++i) src << (i % 24 ? "" : "\n ") << static_cast<int>(blob[i]) << ',';
        src << "\n};\nconst std::size_t " << sym << "Size = " << blob.size() << ";\n";
        std::ofstream out(argv[1]);
        out << src.str();
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::cerr << "ResourceCompiler: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
