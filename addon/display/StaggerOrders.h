#pragma once
// The elements of each task whose profile staggers, in the order they appear along its growth:
// a pass narrows each one's growth to its turn, and the shared page does the same.
#include "display/AppearanceProfile.h"
#include "hostapi/HostGuid.h"
#include "hostapi/HostGuidMap.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <utility>

class IElementDisplay;

struct StaggerOrder {
    size_t count = 0;
    GuidMap<size_t> place;
};

// For the tasks of `staggered` (by id, with their growth), their linked elements among
// `elements` (kind, identifier) ordered by where each begins along the growth (its box from the
// host), the first to appear first.
std::unordered_map<int32_t, StaggerOrder> OrderStaggeredElements(const std::unordered_map<int32_t, GrowDirection>& staggered,
                                                                  const IElementDisplay& display,
                                                                  std::span<const std::pair<int32_t, API_Guid>> elements);
