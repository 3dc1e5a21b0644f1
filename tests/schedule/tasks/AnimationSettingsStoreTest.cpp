#include "HostFixture.h"
#include "hostcalls/HostInterface.h"
#include "schedule/tasks/AnimationSettings.h"

#include <filesystem>
#include <unistd.h>

namespace {

class AnimationSettingsStoreTest : public HostFixture {
protected:
    std::string PreferencesPath() override {
        path = std::filesystem::temp_directory_path() / ("bv-prefs-" + std::to_string(getpid()));
        std::filesystem::remove(path);
        return path;
    }
    void TearDown() override {
        HostFixture::TearDown();
        std::filesystem::remove(path);
    }
    std::string path;
};

TEST_F(AnimationSettingsStoreTest, StoreAndLoadThroughThePreferenceFile) {
    AnimationSettings s;
    s.SetMovieFilePath("/tmp/film.avi");
    s.movieKind = VideoForWindows;
    s.animationStart = DateTime(2009, 3, 1);
    s.animationEnd = DateTime(2010, 1, 1);
    s.step = DateTimeSpan(2, 0, 0, 0);
    s.dateLabelOn = true;
    s.Store();
    ASSERT_TRUE(std::filesystem::exists(path));

    // A fresh host reads the same file.
    Host other(path);
    std::string error;
    ASSERT_TRUE(other.Preferences().Load(error)) << error;
    Host::SetCurrent(&other);
    AddonRegistration& reg = other.AddAddon("Bauvista");
    SetImportedFuncAddrs(other.Table().data());
    SetAddonToken(reg.token);
    AnimationSettings back;
    back.Load();
    EXPECT_STREQ(back.movieFilePath, "/tmp/film.avi");
    EXPECT_EQ(back.movieKind, VideoForWindows);
    EXPECT_EQ(back.animationStart, DateTime(2009, 3, 1));
    EXPECT_EQ(back.animationEnd, DateTime(2010, 1, 1));
    EXPECT_EQ(back.step, DateTimeSpan(2, 0, 0, 0));
    EXPECT_TRUE(back.dateLabelOn);
    Host::SetCurrent(host.get());
}

TEST_F(AnimationSettingsStoreTest, ForeignRecordsGiveDefaults) {
    AnimationSettings s;
    auto record = s.ToRecord();
    for (auto [version, size] : {std::pair<int32_t, uint32_t>{1, 728}, {2, 727}}) {
        ASSERT_EQ(HostPreferencesWrite(version, size, record.data()), kHostNoError);
        AnimationSettings loaded;
        loaded.movieKind = VideoForWindows;
        loaded.SetMovieFilePath("x");
        loaded.Load();
        EXPECT_EQ(std::string(loaded.movieFilePath), Cp("Új terv.avi"));
        EXPECT_EQ(loaded.movieKind, QuickTime);
    }
    // Nothing stored at all.
    std::string error;
    ASSERT_TRUE(host->Preferences().Reset(error));
    AnimationSettings none;
    none.movieKind = VideoForWindows;
    none.Load();
    EXPECT_EQ(none.movieKind, QuickTime);
}

TEST_F(AnimationSettingsStoreTest, MovieOptionsGoThroughThePreferenceFileInTheLongerRecord) {
    AnimationSettings s;
    s.movie.timing = MovieTiming::DaysPerSecond;
    s.movie.daysPerSecond = 14;
    s.movie.framesPerSecond = 60;
    s.movie.overlays = kOverlayAll;
    s.Store();
    int32_t version = 0;
    uint32_t size = 0;
    ASSERT_EQ(HostPreferencesRead(&version, &size, nullptr), kHostNoError);
    EXPECT_EQ(version, 3);
    EXPECT_EQ(size, AnimationSettings::kMovieRecordSize);
    AnimationSettings back;
    back.Load();
    EXPECT_EQ(back.movie, s.movie);

    // Back to the defaults, the record is the 728 bytes of version 2 again.
    s.movie = MovieOptions{};
    s.Store();
    ASSERT_EQ(HostPreferencesRead(&version, &size, nullptr), kHostNoError);
    EXPECT_EQ(version, 2);
    EXPECT_EQ(size, 728u);
}

} // namespace
