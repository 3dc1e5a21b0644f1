#pragma once
// An element's looks over time as the page plays them: steps, each holding from its minute until
// the next; a step that leads on goes linearly to `next` at the next step's minute. Only the share
// drawn goes so: a transparency is a whole percent at every minute, so a fade is steps of one
// percent each. Made from the real look function, asked at the minutes where it may change and
// wherever a stretch between them is not one look or a straight line.
#include "webpage/ViewLookClock.h"

#include <cstdint>
#include <functional>
#include <vector>

struct TimelineStep {
    int64_t minute = 0;
    PageLook look;
    bool leadsOn = false;
    PageLook next; // where it leads: the next step's share drawn, its own everything else
    bool operator==(const TimelineStep&) const = default;
};

// `minutes` need no order and may repeat. The first step holds from the start of time.
std::vector<TimelineStep> MakeTimeline(std::vector<int64_t> minutes, const std::function<PageLook(int64_t)>& lookAt);
