#include "movie/FrameTimes.h"

#include "schedule/tasks/AnimationSettings.h"

#include <algorithm>
#include <cmath>

FrameTimes::FrameTimes(const AnimationSettings& s, int32_t stepFrames) {
    const MovieOptions& o = s.movie;
    int16_t own = s.fromCurrentView ? 1 : 10;
    rate_ = o.framesPerSecond > 0 ? o.framesPerSecond : own;
    count_ = stepFrames;
    // A camera path has its own frames; only a movie from the view is timed.
    timed_ = o.timing != MovieTiming::Step && s.fromCurrentView && s.animationStart.status == DateTimeStatus::Valid &&
             s.animationEnd.status == DateTimeStatus::Valid && s.animationStart < s.animationEnd;
    if (!timed_) return;
    // A timed movie at the step movie's own rate of one frame a second would be a slide show.
    if (o.framesPerSecond == 0) rate_ = 25;
    start_ = s.animationStart;
    end_ = s.animationEnd;
    double seconds = o.timing == MovieTiming::WholeSeconds
                         ? static_cast<double>(o.seconds)
                         : static_cast<double>((end_ - start_).ticks) / static_cast<double>(kTicksPerDay) /
                               static_cast<double>(std::max(1, o.daysPerSecond));
    double frames = std::ceil(seconds * rate_ - 1e-9);
    count_ = static_cast<int32_t>(std::clamp(frames, 2.0, static_cast<double>(kMostFrames)));
}

DateTime FrameTimes::At(int32_t index) const {
    if (index <= 0) return start_;
    if (index >= count_ - 1) return end_;
    // Whole ticks, rounded: the same frame date on every machine.
    int64_t span = (end_ - start_).ticks;
    auto offset = static_cast<int64_t>(std::llround(static_cast<long double>(span) * index / (count_ - 1)));
    return start_ + DateTimeSpan::FromTicks(offset);
}
