#include "moviekit/MKMovie.h"
#include "moviekit/MKTextTrack.h"
#include "movie/MovieProbe.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using probe::TempFolder;

std::u16string U16(const std::filesystem::path& p) {
    std::u16string out;
    for (char c : p.string()) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

class MovieKitTest : public ::testing::Test {
protected:
    void Begin(const std::filesystem::path& movie, int16_t rate = 10, int32_t width = 96, int32_t height = 64) {
        MKSetFrameRate(rate);
        MKSetScreenRect(0, 0, height, width);
        ASSERT_EQ(MKBeginMovie(U16(movie).c_str(), U16(movie.parent_path() / "scratch.mov").c_str(), 0, 1, "BV",
                               0x56544F44),
                  kMKNoError);
    }
    static int16_t Add(int frame, const char* caption, int32_t count = 1, int32_t width = 96, int32_t height = 64) {
        MKSetSlideParameters(false, count, caption, 0);
        BKHandle picture = probe::MakePicture(width, height, frame);
        int16_t r = MKAddSamplesToVideo(picture, count);
        BKDisposeHandle(picture);
        return r;
    }
    void TearDown() override { MKEndMovie(nullptr); }
};

TEST_F(MovieKitTest, WritesQuickTimeAnimationWithACaptionForEachPicture) {
    TempFolder dir;
    auto movie = dir / "plan.mov";
    Begin(movie);
    EXPECT_EQ(Add(0, "first"), kMKNoError);
    EXPECT_EQ(Add(1, "two\nlines", 3), kMKNoError);
    // Windows-1250: "Ház" with a-acute 0xE1.
    EXPECT_EQ(Add(2, "H\xE1z"), kMKNoError);
    EXPECT_TRUE(std::filesystem::exists(dir / "scratch.mov"));
    EXPECT_FALSE(std::filesystem::exists(movie));
    const uint8_t name[] = {4, 'P', 'l', 'a', 'n'};
    MKEndMovie(name);
    EXPECT_FALSE(std::filesystem::exists(dir / "scratch.mov"));

    auto v = probe::ProbeVideo(movie);
    EXPECT_NE(v.format.find("mov"), std::string::npos);
    EXPECT_EQ(v.codec, "qtrle");
    EXPECT_EQ(v.width, 96);
    EXPECT_EQ(v.height, 64);
    EXPECT_EQ(v.frames, 5);
    EXPECT_EQ(v.rate, "10/1");
    EXPECT_EQ(probe::FormatTag(movie, "title"), "Plan");
    auto captions = probe::Captions(movie);
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(captions[0].text, "first");
    EXPECT_DOUBLE_EQ(captions[0].start, 0.0);
    EXPECT_DOUBLE_EQ(captions[0].duration, 0.1);
    EXPECT_EQ(captions[1].text, "two\nlines");
    EXPECT_DOUBLE_EQ(captions[1].start, 0.1);
    EXPECT_DOUBLE_EQ(captions[1].duration, 0.3); // three samples of the same picture
    EXPECT_EQ(captions[2].text, "H\xC3\xA1z");
}

TEST_F(MovieKitTest, PicturesOfAnotherSizeAreScaledToTheMovie) {
    TempFolder dir;
    Begin(dir / "m.mov", 1, 64, 48);
    EXPECT_EQ(Add(0, " ", 1, 128, 96), kMKNoError);
    MKEndMovie(nullptr);
    auto v = probe::ProbeVideo(dir / "m.mov");
    EXPECT_EQ(v.width, 64);
    EXPECT_EQ(v.height, 48);
    EXPECT_EQ(v.rate, "1/1");
}

TEST_F(MovieKitTest, AFailedMovieNeverReplacesTheFileUnderItsName) {
    TempFolder dir;
    auto movie = dir / "m.mov";
    std::ofstream(movie) << "older movie";
    Begin(movie);
    EXPECT_EQ(Add(0, "a"), kMKNoError);
    BKHandle damaged = BKNewHandle(8);
    EXPECT_EQ(MKAddSamplesToVideo(damaged, 1), kMKBadPicture);
    BKDisposeHandle(damaged);
    EXPECT_EQ(Add(1, "b"), kMKNoMovie); // the movie lost a picture: it takes no more
    EXPECT_TRUE(std::filesystem::exists(dir / "scratch.mov"));
    MKEndMovie(nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "scratch.mov"));
    auto read = [&] {
        std::ifstream in(movie);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_EQ(read(), "older movie");

    MKSetScreenRect(0, 0, 64, 96);
    std::u16string missingScratch = U16(dir / "no-folder" / "s.mov");
    EXPECT_EQ(MKBeginMovie(U16(movie).c_str(), missingScratch.c_str(), 0, 1, "BV", 0), kMKFileError);
    EXPECT_EQ(Add(0, "a"), kMKNoMovie);
    MKEndMovie(nullptr);
    EXPECT_EQ(read(), "older movie");
}

TEST_F(MovieKitTest, OneMovieAtATimeAndOnlySensibleSizes) {
    TempFolder dir;
    MKSetFrameRate(10);
    MKSetScreenRect(0, 0, 0, 96);
    std::u16string movie = U16(dir / "m.mov"), scratch = U16(dir / "s.mov");
    EXPECT_EQ(MKBeginMovie(movie.c_str(), scratch.c_str(), 0, 1, "BV", 0), kMKBadParameter);
    MKSetScreenRect(0, 0, 64, 96);
    MKSetFrameRate(0);
    EXPECT_EQ(MKBeginMovie(movie.c_str(), scratch.c_str(), 0, 1, "BV", 0), kMKBadParameter);
    EXPECT_EQ(MKFrameRate(), 0);
    MKSetFrameRate(10);
    EXPECT_EQ(MKBeginMovie(u"", scratch.c_str(), 0, 1, "BV", 0), kMKBadParameter);
    ASSERT_EQ(MKBeginMovie(movie.c_str(), scratch.c_str(), 0, 1, "BV", 0), kMKNoError);
    std::u16string other = U16(dir / "other.mov");
    EXPECT_EQ(MKBeginMovie(other.c_str(), scratch.c_str(), 0, 1, "BV", 0), kMKMovieOpen);
    MKEndMovie(nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir / "m.mov"));
    EXPECT_FALSE(std::filesystem::exists(dir / "other.mov"));
}

TEST(MKTextTrackTest, SamplesCarryTheirLengthAndNeverSplitACharacter) {
    auto s = MKTextSample("abc");
    EXPECT_EQ(s, (std::vector<uint8_t>{0, 3, 'a', 'b', 'c'}));
    std::string longText(65534, 'x');
    longText += "\xC3\xA1"; // two bytes across the limit
    auto cut = MKTextSample(longText);
    EXPECT_EQ(cut.size(), 2u + 65534);
    EXPECT_EQ(cut[0], 0xFF);
    EXPECT_EQ(cut[1], 0xFE);
}

} // namespace
