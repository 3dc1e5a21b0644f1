#pragma once
// When a recovery copy is due: a few seconds after the changes stop, and while they go on at
// least every so often, so that neither a long stretch of work nor a burst of it goes unsaved.
#include <cstdint>

class AutosavePolicy {
public:
    AutosavePolicy(double quietSeconds, double longestSeconds) : quiet_(quietSeconds), longest_(longestSeconds) {}

    // What the project looks like now (any number that changes with it) at `now` (seconds).
    void Note(uint64_t stamp, double now);
    bool Due(double now) const;
    // The copy was written, or there was nothing to write: nothing is pending until the next change.
    void Done() { pending_ = false; }
    // Something changed that the stamp does not show (a save): look again once it is quiet.
    void Touch(double now);
    bool Pending() const { return pending_; }

private:
    double quiet_, longest_;
    uint64_t stamp_ = 0;
    bool seen_ = false, pending_ = false;
    double lastChange_ = 0, firstPending_ = 0;
};
