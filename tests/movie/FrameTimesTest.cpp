#include "movie/FrameTimes.h"
#include "schedule/tasks/AnimationSettings.h"

#include <gtest/gtest.h>

namespace {

AnimationSettings Range(DateTime first, DateTime lastDay) {
    AnimationSettings s;
    s.animationStart = first.StartOfDay();
    s.animationEnd = lastDay.EndOfDay();
    return s;
}

TEST(FrameTimesTest, AStepMovieKeepsItsFramesAndItsRateUnlessOneIsChosen) {
    AnimationSettings s = Range(DateTime(2009, 1, 1), DateTime(2009, 1, 10));
    FrameTimes fromView(s, 4);
    EXPECT_FALSE(fromView.Timed());
    EXPECT_EQ(fromView.Count(), 4);
    EXPECT_EQ(fromView.Rate(), 1);
    s.fromCurrentView = false;
    EXPECT_EQ(FrameTimes(s, 5).Rate(), 10);
    s.movie.framesPerSecond = 25;
    EXPECT_EQ(FrameTimes(s, 5).Rate(), 25);
    // A camera path has its frames: a length asked for does not time it.
    s.movie.timing = MovieTiming::WholeSeconds;
    EXPECT_FALSE(FrameTimes(s, 5).Timed());
    EXPECT_EQ(FrameTimes(s, 5).Count(), 5);
}

TEST(FrameTimesTest, AMovieOfAGivenLengthRunsFromTheStartToTheEndAtFractionalDates) {
    AnimationSettings s = Range(DateTime(2009, 3, 2), DateTime(2009, 6, 30)); // 121 days
    s.movie.timing = MovieTiming::WholeSeconds;
    s.movie.seconds = 40;
    s.movie.framesPerSecond = 30;
    FrameTimes t(s, 40);
    ASSERT_TRUE(t.Timed());
    EXPECT_EQ(t.Count(), 1200);
    EXPECT_EQ(t.Rate(), 30);
    EXPECT_EQ(t.At(0), DateTime(2009, 3, 2));
    EXPECT_EQ(t.At(1199), DateTime(2009, 7, 1)); // the end of the last day
    // 121 days over 1199 steps: the second frame lies about 2 h 25 min in.
    DateTime second = t.At(1);
    EXPECT_EQ(second.Day(), 2);
    EXPECT_EQ(second.Hour(), 2);
    EXPECT_EQ(second.Minute(), 25);
    for (int32_t i = 1; i < t.Count(); ++i) ASSERT_LT(t.At(i - 1), t.At(i)) << i;
    // An odd count has its middle frame halfway through the range, to the tick.
    s.movie.seconds = 1;
    s.movie.framesPerSecond = 25;
    FrameTimes odd(s, 40);
    ASSERT_EQ(odd.Count(), 25);
    EXPECT_EQ(odd.At(12), DateTime(2009, 3, 2) + DateTimeSpan(60, 12, 0, 0));
}

TEST(FrameTimesTest, DaysPerSecondAndTheRateATimedMovieTakesWithoutOne) {
    AnimationSettings s = Range(DateTime(2009, 1, 1), DateTime(2009, 1, 28)); // 28 days
    s.movie.timing = MovieTiming::DaysPerSecond;
    s.movie.daysPerSecond = 7;
    FrameTimes t(s, 28);
    ASSERT_TRUE(t.Timed());
    EXPECT_EQ(t.Rate(), 25); // not the slide show's one a second
    EXPECT_EQ(t.Count(), 100); // four seconds
    EXPECT_EQ(t.At(t.Count() - 1), DateTime(2009, 1, 29));
    EXPECT_EQ(t.At(-3), DateTime(2009, 1, 1));
    EXPECT_EQ(t.At(5000), DateTime(2009, 1, 29));

    // A range of one day still gets a first and a last frame; a huge one is bounded.
    AnimationSettings day = Range(DateTime(2009, 1, 1), DateTime(2009, 1, 1));
    day.movie.timing = MovieTiming::DaysPerSecond;
    day.movie.daysPerSecond = 365;
    day.movie.framesPerSecond = 1;
    EXPECT_EQ(FrameTimes(day, 1).Count(), 2);
    AnimationSettings long_ = Range(DateTime(2000, 1, 1), DateTime(2099, 1, 1));
    long_.movie.timing = MovieTiming::DaysPerSecond;
    long_.movie.daysPerSecond = 1;
    long_.movie.framesPerSecond = 60;
    EXPECT_EQ(FrameTimes(long_, 1).Count(), FrameTimes::kMostFrames);
}

} // namespace
