#pragma once
// The first reference, anywhere in what a record leads to, whose target a condition picks
// (a number no record has, a record the IFC library did not read). Each record's answer is
// found once and kept, so asking for every product of a file costs one walk over the file.
#include "host/ifc/step/StepEntityScan.h"

#include <functional>
#include <unordered_map>
#include <vector>

class ReferenceSearch {
public:
    struct Found {
        int holder = -1; // the record that makes the reference
        int target = -1;
        explicit operator bool() const { return target >= 0; }
    };

    // `picks` is asked about every number referred to, defined or not. The scan has no loops.
    ReferenceSearch(const StepScan& scan, std::function<bool(int id)> picks);

    // Through `holder`'s reference to `to` (nothing for -1): `to` itself, else below it.
    Found Through(int holder, int to);
    // Below the record `id`: its own references first, in the file's order of attributes.
    Found Below(int id);

private:
    Found BelowPosition(uint32_t position);

    const StepScan& scan_;
    std::function<bool(int)> picks_;
    void Keep(uint32_t position, Found found) {
        hit_[position] = true;
        hits_.emplace(position, found);
    }

    // Per record, whether it was searched and whether anything was found below it; what was
    // found, by the few records it was found below (a file's records are millions).
    std::vector<bool> known_, hit_;
    std::unordered_map<uint32_t, Found> hits_;
};
