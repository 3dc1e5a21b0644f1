// The settings record loader on any bytes the preference store may hold.
#include "schedule/tasks/AnimationSettings.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnimationSettings s;
    // Half the inputs get a valid tag and version so the fields behind them are reached.
    std::vector<uint8_t> bytes(data, data + size);
    bool longer = size == AnimationSettings::kMovieRecordSize;
    if ((size == AnimationSettings::kRecordSize || longer) && (data[0] & 1)) {
        std::memcpy(bytes.data(), "RPD4", 4);
        bytes[4] = longer ? 3 : 2;
        bytes[5] = bytes[6] = bytes[7] = 0;
    }
    if (s.FromRecord(bytes)) {
        auto again = s.ToStoredRecord();
        AnimationSettings t;
        if (!t.FromRecord(again) || !(t.movie == s.movie)) __builtin_trap();
    }
    return 0;
}
