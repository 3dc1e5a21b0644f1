#include "bytes/LittleEndian.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"

#include <gtest/gtest.h>

namespace {

MovieOptions Chosen() {
    MovieOptions o;
    o.framesPerSecond = 30;
    o.timing = MovieTiming::WholeSeconds;
    o.seconds = 40;
    o.daysPerSecond = 3;
    o.size = MovieSize::HD1080;
    o.overlays = kOverlayDate | kOverlayTasks | kOverlayGantt;
    o.tasksCorner = MovieCorner::BottomLeft;
    o.taskLines = 7;
    o.SetDateFormat("%Y.%m.%d. %H:%M");
    o.SetTitle("Családi ház");
    return o;
}

// The record without movie options is the one it always was; with them, the same 728 bytes but
// the version, and the options after them.
TEST(MovieOptionsTest, TheRecordStaysAsItWasUntilThePlannerChoosesAnOption) {
    AnimationSettings s;
    s.SetMovieFilePath("/tmp/film.mp4");
    s.movieKind = Mpeg4;
    auto plain = s.ToRecord();
    auto stored = s.ToStoredRecord();
    ASSERT_EQ(stored.size(), 728u);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), plain.begin()));

    s.movie = Chosen();
    auto longer = s.ToStoredRecord();
    ASSERT_EQ(longer.size(), AnimationSettings::kMovieRecordSize);
    EXPECT_EQ(LE::Get<int32_t>(longer, 4), 3);
    for (size_t i = 0; i < 728; ++i) {
        if (i >= 4 && i <= 7) continue; // the version
        EXPECT_EQ(longer[i], plain[i]) << i;
    }

    AnimationSettings back;
    back.movie.overlays = kOverlayTitle; // a version 2 record says no option was chosen
    ASSERT_TRUE(back.FromRecord(plain));
    EXPECT_TRUE(back.movie.IsDefault());
    ASSERT_TRUE(back.FromRecord(longer));
    EXPECT_EQ(back.movie, Chosen());
    EXPECT_EQ(back.movieKind, Mpeg4);
    EXPECT_EQ(back.movie.DateFormat(), "%Y.%m.%d. %H:%M");
}

TEST(MovieOptionsTest, ARecordWithAnOptionOutOfItsRangeOrOfAMixedFormIsRefusedWhole) {
    AnimationSettings s;
    s.movie = Chosen();
    auto good = s.ToStoredRecord();
    struct Damage {
        size_t offset;
        int16_t value;
    };
    // Frame rate 7, timing 3, size 4, an unknown overlay bit, no task line, corner 4.
    for (Damage d : {Damage{728, 7}, Damage{730, 3}, Damage{740, 4}, Damage{742, 64}, Damage{748, 0}, Damage{744, 4}}) {
        auto bad = good;
        LE::Put<int16_t>(bad, d.offset, d.value);
        AnimationSettings back;
        back.SetMovieFilePath("mine");
        EXPECT_FALSE(back.FromRecord(bad)) << d.offset;
        EXPECT_STREQ(back.movieFilePath, "mine");
    }
    // A version 3 record of the old size, and a version 2 one of the new size.
    std::vector<uint8_t> shorter(good.begin(), good.begin() + 728);
    EXPECT_FALSE(AnimationSettings().FromRecord(shorter));
    auto mixed = good;
    LE::Put<int32_t>(mixed, 4, 2);
    EXPECT_FALSE(AnimationSettings().FromRecord(mixed));
}

TEST(MovieOptionsTest, DefaultsResetAndTheNamedSizes) {
    AnimationSettings s;
    s.movie = Chosen();
    s.Reset(); // the switches and options keep their values
    EXPECT_EQ(s.movie, Chosen());
    s.ApplyDefaults();
    EXPECT_TRUE(s.movie.IsDefault());
    EXPECT_EQ(s.movie.DateFormat(), "%Y.%m.%d.");

    int32_t w = 0, h = 0;
    EXPECT_FALSE(MovieOptions::SizeOf(MovieSize::Window, w, h));
    ASSERT_TRUE(MovieOptions::SizeOf(MovieSize::UHD2160, w, h));
    EXPECT_EQ(w, 3840);
    EXPECT_EQ(h, 2160);
    for (int32_t rate : {0, 1, 10, 24, 25, 30, 60}) EXPECT_TRUE(MovieOptions::IsFrameRate(rate));
    for (int32_t rate : {-1, 2, 29, 50, 120}) EXPECT_FALSE(MovieOptions::IsFrameRate(rate));
}

} // namespace
