#include "hostcalls/PlanDatabase.h"

#include "bytes/LittleEndian.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"

namespace {

// The databases on which elements cannot be changed as on the floor plan.
bool NeedsFloorPlan(int32_t kind) {
    using namespace HostDatabaseKind;
    return kind == Section || kind == Detail || kind == Window3D || kind == Layout || kind == Worksheet ||
           kind == Elevation;
}

bool ReadCurrent(std::array<uint8_t, HostDatabaseRecord::kSize>& record) {
    return HostDatabaseQuery(kHostSelDatabaseGet, record.data(), nullptr) == kHostNoError &&
           NeedsFloorPlan(LE::Get<int32_t>(record, HostDatabaseRecord::kKind));
}

std::array<uint8_t, HostDatabaseRecord::kSize> FloorPlan() {
    std::array<uint8_t, HostDatabaseRecord::kSize> plan{};
    LE::Put<int32_t>(plan, HostDatabaseRecord::kKind, HostDatabaseKind::FloorPlan);
    return plan;
}

} // namespace

PlanDatabaseGuard::PlanDatabaseGuard() {
    if (!ReadCurrent(saved_)) return;
    auto plan = FloorPlan();
    HostAutomate(kHostSelWindowToFront, plan.data(), nullptr);
    switched_ = true;
}

PlanDatabaseGuard::~PlanDatabaseGuard() {
    if (switched_) HostAutomate(kHostSelWindowToFront, saved_.data(), nullptr);
}

PlanDatabaseSwitch::PlanDatabaseSwitch() {
    if (!ReadCurrent(saved_)) return;
    auto plan = FloorPlan();
    if (HostDatabaseQuery(kHostSelDatabaseChange, plan.data(), nullptr) != kHostNoError)
        HostAutomate(kHostSelWindowToFront, plan.data(), nullptr);
    switched_ = true;
}

PlanDatabaseSwitch::~PlanDatabaseSwitch() {
    if (switched_) HostDatabaseQuery(kHostSelDatabaseChange, saved_.data(), nullptr);
}
