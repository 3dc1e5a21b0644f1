#pragma once
// When a movie's frames fall and how fast they play. A step movie has one frame a step, from the
// end of the first day, at 1 frame a second from the view or 10 along a path, unless the planner
// chose a rate. A timed movie (a length in seconds, or days a second) spreads its frames evenly
// over the range: the first at its start, the last at its end, the ones between at fractional
// dates, so growth and fades move between days.
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/MovieOptions.h"

#include <cstdint>

class AnimationSettings;

class FrameTimes {
public:
    // The most frames a timed movie makes (an hour at 60 frames a second).
    static constexpr int32_t kMostFrames = 216000;

    // `stepFrames`: the frames of the step movie, as the dialog counted them.
    FrameTimes(const AnimationSettings& settings, int32_t stepFrames);

    bool Timed() const { return timed_; }
    int32_t Count() const { return count_; }
    int16_t Rate() const { return rate_; }
    // The date of frame `index` (0 first) of a timed movie.
    DateTime At(int32_t index) const;

private:
    bool timed_ = false;
    int32_t count_ = 0;
    int16_t rate_ = 1;
    DateTime start_, end_;
};
