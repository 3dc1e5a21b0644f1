#include "IfcCopiesGenerator.h"
#include "host/ifc/building/IfcGuid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct Record {
    int id = 0;
    std::string_view text; // from '#' to ';'
    std::string_view type; // upper case as written
    std::vector<int> refs;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Past a STEP string that begins at `at`.
size_t SkipString(std::string_view s, size_t at) {
    for (size_t p = at + 1; p < s.size(); ++p) {
        if (s[p] != '\'') continue;
        if (p + 1 < s.size() && s[p + 1] == '\'') {
            ++p;
            continue;
        }
        return p + 1;
    }
    return s.size();
}

std::vector<Record> ReadRecords(std::string_view text, size_t& dataBegin, size_t& dataEnd) {
    size_t data = text.find("DATA;");
    size_t end = text.find("ENDSEC;", data == std::string_view::npos ? 0 : data);
    if (data == std::string_view::npos || end == std::string_view::npos) throw std::runtime_error("no data section");
    dataBegin = data + 5;
    dataEnd = end;
    std::vector<Record> records;
    size_t p = dataBegin;
    while (true) {
        p = text.find('#', p);
        if (p == std::string_view::npos || p >= dataEnd) break;
        Record r;
        size_t q = p + 1;
        while (IsDigit(text[q])) r.id = r.id * 10 + (text[q++] - '0');
        q = text.find('=', q) + 1;
        while (text[q] == ' ' || text[q] == '(') ++q;
        size_t typeEnd = q;
        while (typeEnd < text.size() && (std::isalnum(static_cast<unsigned char>(text[typeEnd])) || text[typeEnd] == '_')) ++typeEnd;
        r.type = text.substr(q, typeEnd - q);
        for (q = typeEnd; q < dataEnd && text[q] != ';';) {
            if (text[q] == '\'') {
                q = SkipString(text, q);
            } else if (text[q] == '#') {
                int ref = 0;
                ++q;
                while (IsDigit(text[q])) ref = ref * 10 + (text[q++] - '0');
                r.refs.push_back(ref);
            } else {
                ++q;
            }
        }
        r.text = text.substr(p, q + 1 - p);
        records.push_back(std::move(r));
        p = q + 1;
    }
    return records;
}

// The attributes of a simple record, split at its top-level commas.
std::vector<std::string_view> Attributes(std::string_view record) {
    size_t open = record.find('(');
    std::vector<std::string_view> out;
    int depth = 0;
    size_t begin = open + 1;
    for (size_t p = open + 1; p < record.size(); ++p) {
        char c = record[p];
        if (c == '\'') {
            p = SkipString(record, p) - 1;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth-- == 0) {
            out.push_back(record.substr(begin, p - begin));
            break;
        } else if (c == ',' && depth == 0) {
            out.push_back(record.substr(begin, p - begin));
            begin = p + 1;
        }
    }
    return out;
}

int RefOf(std::string_view attribute) {
    size_t hash = attribute.find('#');
    if (hash == std::string_view::npos) return -1;
    int id = 0;
    for (size_t p = hash + 1; p < attribute.size() && IsDigit(attribute[p]); ++p) id = id * 10 + (attribute[p] - '0');
    return id;
}

std::string GlobalIdOf(uint32_t copy, uint32_t record) {
    std::array<uint8_t, 16> b{};
    b[0] = 0x43; // 'C'opies: never a GlobalId a real exporter makes
    for (int i = 0; i < 4; ++i) {
        b[4 + i] = static_cast<uint8_t>(copy >> (24 - 8 * i));
        b[12 + i] = static_cast<uint8_t>(record >> (24 - 8 * i));
    }
    return EncodeIfcGlobalId(API_Guid::FromBytes(b.data()));
}

bool IsGlobalIdText(std::string_view attribute) {
    return attribute.size() == 24 && attribute.front() == '\'' && attribute.back() == '\'';
}

std::string Number(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    return buffer;
}

} // namespace

std::string GenerateIfcCopies(std::string_view original, const IfcCopiesLayout& layout) {
    size_t dataBegin = 0, dataEnd = 0;
    std::vector<Record> records = ReadRecords(original, dataBegin, dataEnd);
    std::unordered_map<int, size_t> byId;
    int maxId = 0;
    const Record* project = nullptr;
    const Record* site = nullptr;
    for (size_t i = 0; i < records.size(); ++i) {
        byId[records[i].id] = i;
        maxId = std::max(maxId, records[i].id);
        if (records[i].type == "IFCPROJECT") project = &records[i];
        if (records[i].type == "IFCSITE" && !site) site = &records[i];
    }
    if (!project || !site) throw std::runtime_error("no project or no site");

    // The project and everything below it stay single.
    std::unordered_set<int> shared;
    std::vector<int> open{project->id};
    while (!open.empty()) {
        int id = open.back();
        open.pop_back();
        if (!shared.insert(id).second) continue;
        auto found = byId.find(id);
        if (found != byId.end())
            for (int ref : records[found->second].refs) open.push_back(ref);
    }

    const auto siteAttributes = Attributes(site->text);
    const int sitePlacement = siteAttributes.size() > 5 ? RefOf(siteAttributes[5]) : -1;
    if (sitePlacement < 0 || !byId.count(sitePlacement)) throw std::runtime_error("the site has no placement");
    const auto placementAttributes = Attributes(records[byId[sitePlacement]].text);
    const int axis = RefOf(placementAttributes.back());
    if (axis < 0 || !byId.count(axis)) throw std::runtime_error("the site's placement has no axis placement");
    const auto axisAttributes = Attributes(records[byId[axis]].text);
    const int location = RefOf(axisAttributes.front());
    if (location < 0 || !byId.count(location)) throw std::runtime_error("the site's placement has no location");
    std::array<double, 3> origin{};
    {
        std::string_view point = records[byId[location]].text;
        point = point.substr(point.find("((") + 2);
        std::sscanf(std::string(point).c_str(), "%lf,%lf,%lf", &origin[0], &origin[1], &origin[2]);
    }
    double unit = 1; // file length units in a metre
    if (original.find(".MILLI.,.METRE.") != std::string_view::npos) unit = 1000;

    const int64_t stride = maxId + 1;
    const int64_t added = stride * layout.copies;
    if (added + 3 * layout.copies > 999'999'999) throw std::runtime_error("too many copies for STEP record numbers");
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(layout.copies))));

    std::string out(original.substr(0, dataBegin));
    out.reserve(original.size() * static_cast<size_t>(layout.copies) + 1024);
    out += '\n';
    for (int k = 0; k < layout.copies; ++k) {
        auto mapped = [&](int id) { return shared.count(id) ? int64_t{id} : id + stride * k; };
        const int64_t newPoint = added + 3 * k, newAxis = newPoint + 1;
        for (const Record& r : records) {
            if (k > 0 && shared.count(r.id)) continue;
            std::string_view t = r.text;
            if (k > 0 && r.id == sitePlacement) {
                // The copy's site placed through a moved location.
                const double dx = (k % columns) * layout.spacingMetres * unit, dy = (k / columns) * layout.spacingMetres * unit;
                out += "#" + std::to_string(newPoint) + "=IFCCARTESIANPOINT((" + Number(origin[0] + dx) + "," +
                       Number(origin[1] + dy) + "," + Number(origin[2]) + "));\n";
                std::string axisText = "#" + std::to_string(newAxis) + "=IFCAXIS2PLACEMENT3D(#" + std::to_string(newPoint);
                for (size_t a = 1; a < axisAttributes.size(); ++a) {
                    int ref = RefOf(axisAttributes[a]);
                    axisText += ref < 0 ? "," + std::string(axisAttributes[a]) : ",#" + std::to_string(mapped(ref));
                }
                out += axisText + ");\n";
                std::string relTo(placementAttributes.front());
                int relRef = RefOf(relTo);
                out += "#" + std::to_string(mapped(r.id)) + "=IFCLOCALPLACEMENT(" +
                       (relRef < 0 ? relTo : "#" + std::to_string(mapped(relRef))) + ",#" + std::to_string(newAxis) + ");\n";
                continue;
            }
            // Numbers and, in a copy, the GlobalId: everything else as the original writes it.
            size_t globalIdAt = std::string_view::npos;
            if (k > 0) {
                size_t open = t.find('(');
                size_t first = t.find_first_not_of(' ', open + 1);
                if (first != std::string_view::npos && IsGlobalIdText(t.substr(first, 24)) && t.substr(first + 24, 1) == ",")
                    globalIdAt = first;
            }
            for (size_t p = 0; p < t.size();) {
                char c = t[p];
                if (p == globalIdAt) {
                    out += "'" + GlobalIdOf(static_cast<uint32_t>(k), static_cast<uint32_t>(r.id)) + "'";
                    p += 24;
                } else if (c == '\'') {
                    size_t end = SkipString(t, p);
                    out.append(t.substr(p, end - p));
                    p = end;
                } else if (c == '#') {
                    int id = 0;
                    size_t q = p + 1;
                    while (q < t.size() && IsDigit(t[q])) id = id * 10 + (t[q++] - '0');
                    out += "#" + std::to_string(mapped(id));
                    p = q;
                } else {
                    out += c;
                    ++p;
                }
            }
            out += '\n';
        }
    }
    out.append(original.substr(dataEnd));
    return out;
}
