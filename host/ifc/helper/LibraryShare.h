#pragma once
// The records the library parses when only some products' bodies are its to make (the others' and
// every product's facts come from the records): those products with what their placements and
// representations lead to, the openings cut from them and the wholes they are parts of with
// theirs, and the project with its units. What those refer to beyond is made bare (its attributes
// unread, so that references find an entity of the right type); the rest is not made.
#include "host/ifc/helper/RecordPathPlan.h"
#include "host/ifc/helper/RecordTypes.h"
#include "host/ifc/step/StepEntityScan.h"

#include <cstdint>
#include <string_view>
#include <vector>

std::vector<RecordUse> LibraryShare(std::string_view text, const StepScan& scan, const RecordTypes& types,
                                    const std::vector<uint32_t>& products);
