// What the last revision of the building model did to the elements an add-on keeps data on.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "host/ops/OperationCall.h"
#include "host/ops/TextEntries.h"

#include <cstring>
#include <string>

using namespace hostops;

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

} // namespace

namespace hostops {

GSErr OpModelGetRevision(uint32_t token, uint32_t* handle, int32_t* count, int32_t flags) {
    Call c(token);
    if (!c || !handle || !count) return kHostErrBadParameter;
    *handle = 0;
    *count = 0;
    if (flags & ~kHostRevisionUtf8) return kHostErrBadParameter;
    HostModel& model = c.Model();
    const ModelRevision& r = model.lastRevision;
    if (!r.taken) return kHostNoError;
    const std::string& addon = c.addon->name;
    // Undo may since have taken an element back out: only those still there with the data count.
    auto carries = [&](const API_Guid& g) -> const Element* {
        const Element* e = model.Find(g);
        return e && e->userData.count(addon) != 0 ? e : nullptr;
    };
    TextEntries e((flags & kHostRevisionUtf8) != 0);
    for (const API_Guid& g : r.kept)
        if (const Element* k = carries(g)) e.Add({"kept", g.ToString(), std::to_string(k->Kind())});
    for (const ModelRevision::Rematch& m : r.rematched)
        if (const Element* k = carries(m.now)) e.Add({"rematched", m.was.ToString(), m.now.ToString(), std::to_string(k->Kind()), m.how});
    for (const ModelRevision::Lost& l : r.lost) {
        auto block = l.userData.find(addon);
        if (block == l.userData.end()) continue;
        e.Add({"lost", l.guid.ToString(), std::to_string(l.kind), BKToUtf8(l.idText), l.ambiguous ? "1" : "0",
               std::to_string(block->second.version), Hex(block->second.bytes)});
    }
    for (const API_Guid& g : r.added)
        if (const Element* k = model.Find(g)) e.Add({"added", g.ToString(), std::to_string(k->Kind())});
    if (e.Count() == 0) return kHostNoError;
    return e.HandOut(handle, count);
}

} // namespace hostops
