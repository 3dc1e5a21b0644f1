#pragma once
// What the reader takes from its own scan of the STEP text (StepEntityScan.h), made while the
// helper parses the same text: the scan itself is not kept, so its memory is given back before
// the helper's parse is at its largest.
#include "host/model/ModelWorkSchedules.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TextFacts {
    size_t mayBeProducts = 0; // records that may be products, the most the helper converts
    std::vector<int> repeated; // numbers written twice with the same text
    ModelWorkSchedules workSchedules;
};

// Throws EIfcFile (without a file name) as ScanStepEntities does.
TextFacts ReadTextFacts(std::string_view text, const std::string& schema);
