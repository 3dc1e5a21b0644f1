// What an element is, as the building model it came from says: its facts, for add-ons.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "host/ops/OperationCall.h"

#include <cstring>

using namespace hostops;

namespace hostops {

GSErr OpElementGetFacts(uint32_t token, const uint8_t* head, uint32_t* factsHandle, int32_t* count, int32_t flags) {
    Call c(token);
    if (!c || !head || !factsHandle || !count) return kHostErrBadParameter;
    *factsHandle = 0;
    *count = 0;
    if (flags & ~kHostFactsUtf8) return kHostErrBadParameter;
    Element* e = Locate(c.Model(), head);
    if (!e) return kHostErrNoElement;
    if (e->facts.empty()) return kHostNoError;
    std::string bytes;
    for (const auto& [key, value] : c.Model().FactsOf(*e))
        for (std::string_view text : {key, value}) {
            if (flags & kHostFactsUtf8) bytes += text;
            else bytes += BKFromUtf8(text);
            bytes += '\0';
        }
    BKHandle h = BKNewHandle(bytes.size());
    if (!h) return kHostErrNoMemory;
    std::memcpy(BKHandleData(h), bytes.data(), bytes.size());
    *factsHandle = h;
    *count = static_cast<int32_t>(e->facts.size());
    return kHostNoError;
}

} // namespace hostops
