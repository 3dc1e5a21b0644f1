#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"

void AnimationSettings::Store() const {
    auto record = ToRecord();
    HostPreferencesWrite(kRecordVersion, static_cast<uint32_t>(record.size()), record.data());
}

void AnimationSettings::Load() {
    int32_t version = 0;
    uint32_t size = 0;
    std::array<uint8_t, kRecordSize> record{};
    if (HostPreferencesRead(&version, &size, nullptr) != kHostNoError || version != kRecordVersion ||
        size != kRecordSize || HostPreferencesRead(&version, &size, record.data()) != kHostNoError ||
        !FromRecord(record)) {
        ApplyDefaults();
    }
}
