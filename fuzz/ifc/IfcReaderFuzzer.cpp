// The IFC reader: any bytes give either an EIfcFile or building data whose every product has a
// GUID of its own that is its GlobalId (or made from it when past 128 bits), finite coordinates and triangles within its vertices; nothing else
// is thrown, and standard output is the program's again afterwards. The IFC library takes milliseconds per
// small file, so inputs stay small (the seeds are a few kilobytes).
#include "host/ifc/building/IfcGuid.h"
#include "host/ifc/reader/IfcReader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>

namespace {

constexpr size_t kMaxInput = 16 * 1024;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

void Check(const IfcBuildingData& data) {
    if (data.products.empty()) Fail("building data without a product", data.schema);
    if (data.schema != "IFC2X3" && data.schema != "IFC4") Fail("an unknown schema read", data.schema);
    std::set<API_Guid> guids;
    for (const auto& p : data.products) {
        // A GlobalId past 128 bits is kept under a GUID made from its text.
        auto guid = DecodeIfcGlobalId(p.globalId);
        if (!IsOutOfRangeIfcGlobalId(p.globalId) && (!guid || *guid != p.guid)) Fail("a GUID that is not the GlobalId", p.globalId);
        if (!guids.insert(p.guid).second) Fail("a GUID two products have", p.globalId);
        if (p.triangles.empty()) Fail("a product without triangles", p.globalId);
        for (const auto& v : p.vertices)
            for (double c : v)
                if (!std::isfinite(c)) Fail("a coordinate that is not finite", p.globalId);
        for (const auto& t : p.triangles)
            for (int32_t i : t)
                if (i < 0 || static_cast<size_t>(i) >= p.vertices.size()) Fail("a triangle outside its vertices", p.globalId);
        if (p.transparency < 0 || p.transparency > 1) Fail("a transparency outside 0..1", p.globalId);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::streambuf* out = std::cout.rdbuf();
    try {
        Check(ReadIfcText(text));
    } catch (const EIfcFile& e) {
        if (std::string(e.what()).empty()) Fail("an error without a message", "");
    }
    // Anything else thrown ends the run as an uncaught exception, which libFuzzer reports.
    if (std::cout.rdbuf() != out) Fail("standard output left redirected", "");
    return 0;
}
