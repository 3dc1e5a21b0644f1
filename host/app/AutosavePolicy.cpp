#include "host/app/AutosavePolicy.h"

void AutosavePolicy::Note(uint64_t stamp, double now) {
    // The first look is the project as it was found, not a change.
    if (!seen_) {
        seen_ = true;
        stamp_ = stamp;
        return;
    }
    if (stamp == stamp_) return;
    stamp_ = stamp;
    Touch(now);
}

void AutosavePolicy::Touch(double now) {
    lastChange_ = now;
    if (!pending_) {
        pending_ = true;
        firstPending_ = now;
    }
}

bool AutosavePolicy::Due(double now) const {
    return pending_ && (now - lastChange_ >= quiet_ || now - firstPending_ >= longest_);
}
