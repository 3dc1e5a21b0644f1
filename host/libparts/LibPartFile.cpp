#include "host/libparts/LibPartFile.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostLibPartRecord.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <set>

using nlohmann::json;

namespace {

bool Fail(std::string& error, const std::string& what) {
    error = what;
    return false;
}

bool ReadColour(const json& j, double (&out)[3]) {
    if (!j.is_array() || j.size() != 3) return false;
    for (size_t i = 0; i < 3; ++i) {
        if (!j[i].is_number()) return false;
        double v = j[i].get<double>();
        if (!(v >= 0 && v <= 1)) return false;
        out[i] = v;
    }
    return true;
}

bool ReadNumber(const json& j, const char* key, double lo, double hi, double& out) {
    if (!j.contains(key)) return true;
    if (!j.at(key).is_number()) return false;
    double v = j.at(key).get<double>();
    if (!(v >= lo && v <= hi)) return false;
    out = v;
    return true;
}

bool PrintableAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool ReadLabel(const json& j, LabelStyle& label, std::string& error) {
    if (!j.is_object()) return Fail(error, "label: expected an object");
    for (auto [key, field] : {std::pair{"text", &label.textParam}, std::pair{"size", &label.sizeParam},
                              std::pair{"proportion", &label.proportionParam}}) {
        if (!j.contains(key)) continue;
        if (!j.at(key).is_string()) return Fail(error, std::string("label: ") + key + " is not a name");
        *field = j.at(key).get<std::string>();
    }
    if (j.contains("anchor")) {
        if (!j.at("anchor").is_string()) return Fail(error, "label: bad anchor");
        std::string a = j.at("anchor").get<std::string>();
        if (a == "top-left") label.right = false, label.bottom = false;
        else if (a == "top-right") label.right = true, label.bottom = false;
        else if (a == "bottom-left") label.right = false, label.bottom = true;
        else if (a == "bottom-right") label.right = true, label.bottom = true;
        else return Fail(error, "label: bad anchor");
    }
    if (!ReadNumber(j, "margin", 0, 0.5, label.margin)) return Fail(error, "label: bad margin");
    if (!ReadNumber(j, "padding", 0, 2, label.padding)) return Fail(error, "label: bad padding");
    if (!ReadNumber(j, "boxOpacity", 0, 1, label.boxOpacity)) return Fail(error, "label: bad boxOpacity");
    if (j.contains("ink") && !ReadColour(j.at("ink"), label.ink)) return Fail(error, "label: bad ink");
    if (j.contains("box") && !ReadColour(j.at("box"), label.box)) return Fail(error, "label: bad box");
    return true;
}

void PutD(std::span<uint8_t> bytes, size_t offset, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    LE::Put<uint64_t>(bytes, offset, bits);
}

// Library part files are flat; deep nesting is refused before the parser sees it.
bool NestingWithin(std::span<const uint8_t> bytes, int limit) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (uint8_t c : bytes) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return false;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

} // namespace

std::u16string Utf8ToUtf16(const std::string& utf8, bool& ok) {
    std::u16string out;
    ok = true;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0;
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > utf8.size()) {
            ok = false;
            return {};
        }
        cp = n == 1 ? c : n == 2 ? (c & 0x1Fu) : n == 3 ? (c & 0x0Fu) : (c & 0x07u);
        for (size_t k = 1; k < n; ++k) {
            unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc >> 6) != 2) {
                ok = false;
                return {};
            }
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            ok = false;
            return {};
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
    return out;
}

std::vector<uint8_t> MakeTextParam(const std::string& name, const std::u16string& value) {
    std::vector<uint8_t> r(HostLibPartParam::kSize, 0);
    LE::Put<int32_t>(r, HostLibPartParam::kType, HostLibPartParam::kText);
    LE::PutText(r, HostLibPartParam::kName, HostLibPartParam::kNameSize, name);
    size_t n = std::min(value.size(), HostLibPartParam::kTextUnits - 1);
    for (size_t i = 0; i < n; ++i) LE::Put<uint16_t>(r, HostLibPartParam::kValue + 2 * i, value[i]);
    return r;
}

std::vector<uint8_t> MakeNumberParam(const std::string& name, double value) {
    std::vector<uint8_t> r(HostLibPartParam::kSize, 0);
    LE::Put<int32_t>(r, HostLibPartParam::kType, HostLibPartParam::kNumber);
    LE::PutText(r, HostLibPartParam::kName, HostLibPartParam::kNameSize, name);
    PutD(r, HostLibPartParam::kValue, value);
    return r;
}

std::optional<size_t> FindParam(std::span<const uint8_t> params, const std::string& name) {
    for (size_t off = 0; off + HostLibPartParam::kSize <= params.size(); off += HostLibPartParam::kSize)
        if (LE::GetText(params, off + HostLibPartParam::kName, HostLibPartParam::kNameSize) == name) return off;
    return std::nullopt;
}

std::u16string ParamText(std::span<const uint8_t> params, size_t offset) {
    std::u16string out;
    if (offset > params.size() || params.size() - offset < HostLibPartParam::kSize) return out;
    // The last unit is the terminator whatever the record says.
    for (size_t i = 0; i + 1 < HostLibPartParam::kTextUnits; ++i) {
        char16_t c = LE::Get<uint16_t>(params, offset + HostLibPartParam::kValue + 2 * i);
        if (c == 0) break;
        out.push_back(c);
    }
    return out;
}

double ParamNumber(std::span<const uint8_t> params, size_t offset) {
    if (offset > params.size() || params.size() - offset < HostLibPartParam::kSize) return 0;
    uint64_t bits = LE::Get<uint64_t>(params, offset + HostLibPartParam::kValue);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

int32_t ParamType(std::span<const uint8_t> params, size_t offset) {
    if (offset > params.size() || params.size() - offset < HostLibPartParam::kSize) return 0;
    return LE::Get<int32_t>(params, offset + HostLibPartParam::kType);
}

std::optional<LibPartDefinition> ParseLibPartFile(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.empty() || bytes.size() > kMaxLibPartFile) {
        error = "library part file is empty or larger than 64 KiB";
        return std::nullopt;
    }
    if (!NestingWithin(bytes, 8)) {
        error = "library part file nests too deeply";
        return std::nullopt;
    }
    json doc = json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) {
        error = "library part file is not a JSON object";
        return std::nullopt;
    }
    auto text = [&](const char* key) -> std::optional<std::string> {
        if (!doc.contains(key) || !doc.at(key).is_string()) return std::nullopt;
        return doc.at(key).get<std::string>();
    };
    if (text("format") != "QVLP" || !doc.contains("version") || doc.at("version") != 1) {
        error = "not a library part of version 1";
        return std::nullopt;
    }
    LibPartDefinition def;
    bool ok = false;
    auto name = text("name");
    if (name) def.name = Utf8ToUtf16(*name, ok);
    if (!ok || def.name.empty() || def.name.size() >= 256 || def.name.find(u'\0') != std::u16string::npos) {
        error = "bad name";
        return std::nullopt;
    }
    auto id = text("id");
    if (!id || id->empty() || id->size() > 127 || !PrintableAscii(*id)) {
        error = "bad id";
        return std::nullopt;
    }
    def.uniqueId = *id;
    if (doc.contains("variation")) {
        auto v = text("variation");
        if (!v || v->size() != 4 || !PrintableAscii(*v)) {
            error = "bad variation";
            return std::nullopt;
        }
        for (char c : *v) def.variation = def.variation << 8 | static_cast<uint8_t>(c);
    }
    if (doc.contains("template")) {
        if (!doc.at("template").is_boolean()) {
            error = "bad template mark";
            return std::nullopt;
        }
        def.isTemplate = doc.at("template").get<bool>();
    }
    if (doc.contains("parameters")) {
        const json& ps = doc.at("parameters");
        if (!ps.is_array() || ps.size() > 64) {
            error = "parameters: expected a list of at most 64";
            return std::nullopt;
        }
        std::set<std::string> names;
        for (const json& p : ps) {
            if (!p.is_object() || !p.contains("name") || !p.at("name").is_string()) {
                error = "parameter without a name";
                return std::nullopt;
            }
            std::string pn = p.at("name").get<std::string>();
            if (pn.empty() || pn.size() > 31 || !PrintableAscii(pn) || !names.insert(pn).second) {
                error = "bad or repeated parameter name";
                return std::nullopt;
            }
            std::vector<uint8_t> record;
            if (p.contains("text") && p.at("text").is_string()) {
                std::u16string value = Utf8ToUtf16(p.at("text").get<std::string>(), ok);
                if (!ok || value.size() > 255 || value.find(u'\0') != std::u16string::npos) {
                    error = "parameter " + pn + ": bad text";
                    return std::nullopt;
                }
                record = MakeTextParam(pn, value);
            } else if (p.contains("number") && p.at("number").is_number()) {
                double v = p.at("number").get<double>();
                if (!std::isfinite(v)) {
                    error = "parameter " + pn + ": bad number";
                    return std::nullopt;
                }
                record = MakeNumberParam(pn, v);
            } else {
                error = "parameter " + pn + ": needs a text or a number";
                return std::nullopt;
            }
            def.params.insert(def.params.end(), record.begin(), record.end());
        }
    }
    if (doc.contains("label")) {
        LabelStyle label;
        if (!ReadLabel(doc.at("label"), label, error)) return std::nullopt;
        def.label = label;
    }
    return def;
}
