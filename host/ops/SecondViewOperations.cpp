// What the second 3D window shows of each element, set by add-ons beside the model's own state.
#include "host/ops/HostOperationAreas.h"

#include "host/ops/LookRecordRead.h"
#include "host/ops/OperationCall.h"
#include "hostapi/HostSecondView.h"

using namespace hostops;

namespace hostops {

GSErr OpSecondViewGet(uint32_t token, int32_t* open) {
    Call c(token);
    if (!c || !open) return kHostErrBadParameter;
    *open = c.Model().SecondViewOpen() ? 1 : 0;
    return kHostNoError;
}

GSErr OpElementSetSecondLook(uint32_t token, const uint8_t* head, int32_t shown, int32_t material, int32_t pen,
                             const uint8_t* lookRecord) {
    Call c(token);
    if (!c || shown < kHostSecondFollow || shown > kHostSecondHidden) return kHostErrBadParameter;
    HostModel& model = c.Model();
    if (!model.SecondViewOpen()) return kHostErrNotAvailable;
    if (!head) {
        if (shown != kHostSecondFollow) return kHostErrBadParameter;
        for (const auto& e : model.Elements()) e->second.reset();
        return kHostNoError;
    }
    Element* e = Locate(model, head);
    if (!e) return kHostErrNoElement;
    if (shown == kHostSecondFollow) {
        e->second.reset();
        return kHostNoError;
    }
    SecondLook second;
    // An attribute index, 0 for the element's own; one the model lacks is refused.
    auto known = [&model](int32_t kind, int32_t index) {
        return index == 0 || (index > 0 && index <= INT16_MAX && model.Attribute(kind, static_cast<int16_t>(index)));
    };
    if (!known(HostAttribute::Material, material) || !known(HostAttribute::Pen, pen)) return kHostErrBadParameter;
    if (!ReadLookRecord(lookRecord, second.look)) return kHostErrBadParameter;
    second.hidden = shown == kHostSecondHidden;
    second.material = static_cast<int16_t>(material);
    second.pen = static_cast<int16_t>(pen);
    e->second = second;
    return kHostNoError;
}

} // namespace hostops
