#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"

void AnimationSettings::Store() const {
    auto record = ToStoredRecord();
    int32_t version = record.size() == kRecordSize ? kRecordVersion : kMovieRecordVersion;
    HostPreferencesWrite(version, static_cast<uint32_t>(record.size()), record.data());
}

void AnimationSettings::Load() {
    int32_t version = 0;
    uint32_t size = 0;
    std::array<uint8_t, kMovieRecordSize> record{};
    bool known = HostPreferencesRead(&version, &size, nullptr) == kHostNoError &&
                 ((version == kRecordVersion && size == kRecordSize) ||
                  (version == kMovieRecordVersion && size == kMovieRecordSize));
    uint32_t asked = size;
    if (!known || HostPreferencesRead(&version, &size, record.data()) != kHostNoError || size != asked ||
        !FromRecord(std::span<const uint8_t>(record.data(), size))) {
        ApplyDefaults();
    }
}
