#include "TestSupport.h"
#include "bytes/LittleEndian.h"
#include "schedule/tasks/AnimationSettings.h"

#include <string>

namespace {

using AnimationSettingsTest = FixedClockTest;

TEST_F(AnimationSettingsTest, DefaultsAndDefaultNames) {
    AnimationSettings s;
    EXPECT_EQ(std::string(s.projectFilePath), Cp("Új terv.txt"));
    EXPECT_EQ(std::string(s.movieFilePath), Cp("Új terv.avi"));
    EXPECT_EQ(s.movieKind, QuickTime);
    EXPECT_TRUE(s.fromCurrentView);
    EXPECT_TRUE(s.use3DWindow);
    EXPECT_FALSE(s.labelObjectOn || s.customLabelOn || s.dateLabelOn);
    EXPECT_EQ(s.animationStart.status, DateTimeStatus::Invalid);
    EXPECT_EQ(s.step, DateTimeSpan(1, 0, 0, 0));
    EXPECT_TRUE(s.untitled);

    s.SetCustomLabelText("Ház");
    s.dateLabelOn = true;
    s.animationStart = DateTime(2009, 1, 1);
    s.step = DateTimeSpan(7, 0, 0, 0);
    s.ApplyDefaultNames();
    EXPECT_EQ(std::string(s.customLabelText), "Ház"); // switches and texts stay
    EXPECT_TRUE(s.dateLabelOn);
    EXPECT_EQ(s.animationStart.status, DateTimeStatus::Invalid);
    EXPECT_EQ(s.step, DateTimeSpan(1, 0, 0, 0));
}

TEST_F(AnimationSettingsTest, ResetKeepsSwitchesButEmptiesPathsAndTexts) {
    AnimationSettings s;
    s.movieKind = VideoForWindows;
    s.use3DWindow = false;
    s.SetCustomLabelText("x");
    s.SetLabelObjectName("BV felirat");
    s.untitled = false;
    s.Reset();
    EXPECT_EQ(s.movieKind, VideoForWindows);
    EXPECT_FALSE(s.use3DWindow);
    EXPECT_STREQ(s.movieFilePath, "");
    EXPECT_STREQ(s.projectFilePath, "");
    EXPECT_STREQ(s.customLabelText, "");
    EXPECT_STREQ(s.labelObjectName, "");
    EXPECT_TRUE(s.untitled);
    EXPECT_EQ(s.animationEnd.status, DateTimeStatus::Invalid);
    EXPECT_EQ(s.step, DateTimeSpan(1, 0, 0, 0));
}

TEST_F(AnimationSettingsTest, RangeNormalisation) {
    AnimationSettings s;
    DateTime first(2009, 3, 1), last(2009, 9, 1);
    s.step = DateTimeSpan(3, 0, 0, 0);
    s.NormaliseRange(first, last); // dates Invalid: both reset, step one day
    EXPECT_EQ(s.animationStart, first);
    EXPECT_EQ(s.animationEnd, last);
    EXPECT_EQ(s.step, DateTimeSpan(1, 0, 0, 0));

    s.step = DateTimeSpan(7, 0, 0, 0);
    s.animationStart = DateTime(2009, 2, 1); // partly before the first task
    s.animationEnd = DateTime(2009, 5, 1);
    s.NormaliseRange(first, last);
    EXPECT_EQ(s.animationStart, first);
    EXPECT_EQ(s.animationEnd, last);
    EXPECT_EQ(s.step, DateTimeSpan(7, 0, 0, 0));

    s.animationStart = DateTime(2009, 4, 1);
    s.animationEnd = DateTime(2009, 5, 1);
    s.NormaliseRange(first, last); // inside: kept
    EXPECT_EQ(s.animationStart, DateTime(2009, 4, 1));
    s.animationStart = DateTime(2009, 6, 1); // reversed
    s.NormaliseRange(first, last);
    EXPECT_EQ(s.animationStart, first);
    EXPECT_EQ(s.step, DateTimeSpan(1, 0, 0, 0));
}

TEST_F(AnimationSettingsTest, StoredRecordLayout) {
    AnimationSettings s;
    s.SetProjectFilePath("/home/ép/terv.csp");
    s.SetMovieFilePath("/home/ép/film.mov");
    s.animationStart = DateTime(2009, 3, 1);
    s.animationEnd = DateTime(2041, 3, 2);
    s.step = DateTimeSpan(0, 36, 0, 0);
    s.movieKind = VideoForWindows;
    s.customLabelOn = true;
    s.SetCustomLabelText("Felirat");
    s.SetLabelObjectName("BV felirat");
    auto r = s.ToRecord();
    std::span<const uint8_t> b(r);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data()), 4), "RPD4");
    EXPECT_EQ(LE::Get<int32_t>(b, 4), 2);
    EXPECT_EQ(LE::GetText(b, 8, 261), "/home/ép/terv.csp");
    EXPECT_EQ(LE::GetText(b, 269, 267), "/home/ép/film.mov");
    EXPECT_EQ(LE::Get<int64_t>(b, 536), s.animationStart.ToPlatformTime());
    EXPECT_EQ(LE::Get<int32_t>(b, 552), 1); // 36 hours are one whole day
    EXPECT_EQ(b[556], 1);
    EXPECT_EQ(LE::Get<int16_t>(b, 558), 2);
    EXPECT_EQ(b[561], 1);
    EXPECT_EQ(LE::GetText(b, 563, 128), "Felirat");
    EXPECT_EQ(LE::GetText(b, 691, 32), "BV felirat");
    for (size_t i = 723; i < 728; ++i) EXPECT_EQ(b[i], 0);

    AnimationSettings back;
    back.untitled = false;
    back.projectFileKind = 1;
    ASSERT_TRUE(back.FromRecord(b));
    EXPECT_STREQ(back.projectFilePath, s.projectFilePath);
    EXPECT_STREQ(back.movieFilePath, s.movieFilePath);
    EXPECT_EQ(back.animationStart, s.animationStart);
    EXPECT_EQ(back.animationEnd, s.animationEnd); // past 2038
    EXPECT_EQ(back.step, DateTimeSpan(1, 0, 0, 0));
    EXPECT_EQ(back.movieKind, VideoForWindows);
    EXPECT_STREQ(back.labelObjectName, "BV felirat");
    EXPECT_FALSE(back.untitled); // bookkeeping not in the record stays
    EXPECT_EQ(back.projectFileKind, 1);
    EXPECT_TRUE(back.supportCheckOn);

    // The support check turned off is the one mark in the trailing bytes; on, the record is as it was.
    s.supportCheckOn = false;
    auto off = s.ToRecord();
    EXPECT_EQ(off[723], 1);
    for (size_t i = 0; i < 728; ++i) {
        if (i == 723) continue;
        EXPECT_EQ(off[i], r[i]) << i;
    }
    ASSERT_TRUE(back.FromRecord(off));
    EXPECT_FALSE(back.supportCheckOn);
    back.ApplyDefaults();
    EXPECT_TRUE(back.supportCheckOn);
}

TEST_F(AnimationSettingsTest, ForeignRecordsAreRefused) {
    AnimationSettings s;
    s.step = DateTimeSpan(0, 0, 0, 0);
    auto r = s.ToRecord();
    AnimationSettings zero;
    ASSERT_TRUE(zero.FromRecord(r));
    EXPECT_EQ(zero.step.ticks, 0); // a stored step of 0 days loads as 0

    AnimationSettings other;
    other.movieKind = VideoForWindows;
    EXPECT_FALSE(other.FromRecord(std::span<const uint8_t>(r).first(727)));
    auto wrongVersion = r;
    LE::Put<int32_t>(wrongVersion, 4, 1);
    EXPECT_FALSE(other.FromRecord(wrongVersion));
    auto wrongTag = r;
    wrongTag[0] = 'X';
    EXPECT_FALSE(other.FromRecord(wrongTag));
    EXPECT_EQ(other.movieKind, VideoForWindows);

    // Unterminated text fields are read only up to their width.
    auto full = r;
    for (size_t i = 8; i < 8 + 261; ++i) full[i] = 'a';
    for (size_t i = 691; i < 723; ++i) full[i] = 'b';
    ASSERT_TRUE(other.FromRecord(full));
    EXPECT_EQ(std::string(other.projectFilePath).size(), 260u);
    EXPECT_EQ(std::string(other.labelObjectName).size(), 31u);
}

} // namespace
