// The add-ons' records in the preference store.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "host/ops/GraphicsOperations.h"
#include "host/ops/HostCore.h"
#include "host/ops/LibPartOperations.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include <cstring>
#include <span>

#include <cstring>
#include <span>

using namespace hostops;

namespace hostops {

GSErr OpPreferencesRead(uint32_t token, int32_t* version, uint32_t* size, void* data) {
    Call c(token);
    if (!c || !version || !size) return kHostErrBadParameter;
    auto entry = c.host->Preferences().Read(c.addon->name);
    if (!entry) return kHostErrNoPreferences;
    if (data) {
        if (*size != entry->bytes.size()) return kHostErrBadParameter;
        std::memcpy(data, entry->bytes.data(), entry->bytes.size());
    }
    *version = entry->version;
    *size = static_cast<uint32_t>(entry->bytes.size());
    return kHostNoError;
}

GSErr OpPreferencesWrite(uint32_t token, int32_t version, uint32_t size, const void* data) {
    Call c(token);
    if (!c || (!data && size)) return kHostErrBadParameter;
    const auto* p = static_cast<const uint8_t*>(data);
    std::string error;
    if (c.host->Preferences().Write(c.addon->name, version, std::vector<uint8_t>(p, p + size), error)) return kHostNoError;
    // The add-on may not tell anyone (it stores its settings while being unloaded), so the host does.
    if (c.host->Events().error) c.host->Events().error(error);
    return kHostErrFile;
}

} // namespace hostops
