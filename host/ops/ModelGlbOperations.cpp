// The model's bodies as a glTF binary, for the shared page.
#include "host/ops/HostOperationAreas.h"

#include "basekit/BKMemory.h"
#include "host/gltf/GeometryBody.h"
#include "host/gltf/ModelGlb.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostModelGlb.h"

#include <cstring>
#include <new>

using namespace hostops;

namespace hostops {

GSErr OpModelGetGlb(uint32_t token, uint32_t* glbHandle, uint32_t* guidHandle, int32_t* count, int32_t flags) {
    Call c(token);
    if (!c || !glbHandle || !guidHandle || !count || flags != 0) return kHostErrBadParameter;
    *glbHandle = *guidHandle = 0;
    *count = 0;
    std::vector<TriangleBody> bodies;
    std::vector<API_Guid> guids;
    std::vector<uint8_t> glb;
    try {
        for (const auto& e : c.Model().Elements()) {
            if (e->geometry.shape == Geometry::Shape::None) continue;
            bodies.push_back(BodyOfGeometry(e->geometry));
            guids.push_back(e->Guid());
        }
        if (guids.size() > static_cast<size_t>(INT32_MAX) / 16) return kHostErrNoMemory;
        glb = WriteModelGlb(bodies);
    } catch (const std::bad_alloc&) {
        return kHostErrNoMemory;
    } catch (const std::exception&) {
        return kHostErrNotAvailable;
    }
    BKHandle g = BKNewHandle(glb.size());
    BKHandle ids = guids.empty() ? 0 : BKNewHandle(guids.size() * 16);
    if (!g || (!guids.empty() && !ids)) {
        BKDisposeHandle(g);
        BKDisposeHandle(ids);
        return kHostErrNoMemory;
    }
    std::memcpy(BKHandleData(g), glb.data(), glb.size());
    for (size_t i = 0; i < guids.size(); ++i) guids[i].ToBytes(BKHandleData(ids) + 16 * i);
    *glbHandle = g;
    *guidHandle = ids;
    *count = static_cast<int32_t>(guids.size());
    return kHostNoError;
}

} // namespace hostops
