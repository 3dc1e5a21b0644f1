#include "movie/MOVCreator.h"
#include "movie/MovieProbe.h"
#include "moviekit/MKMovie.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using probe::TempFolder;

bool AddPictures(IMovieFileCreator& writer, int count, const char* caption = " ") {
    bool all = true;
    for (int i = 0; i < count; ++i) {
        writer.SetCaption(caption);
        BKHandle picture = probe::MakePicture(160, 120, i);
        all = writer.AddFrame(picture) && all;
        BKDisposeHandle(picture);
    }
    return all;
}

TEST(MOVCreatorTest, WritesTheFramesAndTheirCaptionsThroughTheScratchFile) {
    TempFolder dir;
    auto movie = dir / "plan.mov";
    {
        MOVCreator writer(movie.string(), 32, 160, 120, 2, 10);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(AddPictures(writer, 1));
        writer.SetCaption("Foundations\n2009.03.02 10:30");
        BKHandle picture = probe::MakePicture(160, 120, 1);
        EXPECT_TRUE(writer.AddFrame(picture));
        EXPECT_TRUE(writer.AddFrame(picture)); // one more than planned: written, not counted
        BKDisposeHandle(picture);
        EXPECT_EQ(writer.framesWritten, 2);
        // The scratch name is the writer's; the platform chooses where the bytes go meanwhile.
        EXPECT_FALSE(std::filesystem::exists(dir / "qtscr.mov"));
        EXPECT_FALSE(std::filesystem::exists(movie));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "qtscr.mov"));
    auto v = probe::ProbeVideo(movie);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.width, 160);
    EXPECT_EQ(v.height, 120);
    EXPECT_EQ(v.frames, 3);
    EXPECT_EQ(v.rate, "10/1");
    EXPECT_EQ(probe::FormatTag(movie, "title"), "QuorvelMovie");
    EXPECT_EQ(probe::DecodeErrors(movie), "");
    auto captions = probe::Captions(movie);
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(captions[0].text, " "); // a caption of one space is passed on too
    EXPECT_EQ(captions[1].text, "Foundations\n2009.03.02 10:30");
    EXPECT_DOUBLE_EQ(captions[2].start, 0.2);
    EXPECT_DOUBLE_EQ(captions[2].duration, 0.1);
}

TEST(MOVCreatorTest, AMovieStoppedBeforeItsFirstPictureKeepsItsVideoTrack) {
    TempFolder dir;
    auto movie = dir / "ures.mov";
    {
        MOVCreator writer(movie.string(), 32, 161, 121, 5, 10);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(writer.Finish());
    }
    auto v = probe::ProbeVideo(movie);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.frames, 1);
    EXPECT_EQ(probe::DecodeErrors(movie), "");
}

TEST(MOVCreatorTest, AnEmptyPathSetsTheRateButBeginsNoMovie) {
    TempFolder dir;
    MKSetFrameRate(3);
    MOVCreator writer("", 32, 160, 120, 3, 1);
    EXPECT_FALSE(writer.ok);
    EXPECT_EQ(MKFrameRate(), 1);
    EXPECT_FALSE(AddPictures(writer, 1));
    // No movie is open: another writer can begin one.
    MOVCreator other((dir / "m.mov").string(), 32, 160, 120, 1, 1);
    EXPECT_TRUE(other.ok);
}

TEST(MOVCreatorTest, AFailedWriterLeavesTheOldMovieAndNoScratch) {
    TempFolder dir;
    auto movie = dir / "plan.mov";
    std::ofstream(movie) << "older movie";
    {
        // A folder that does not exist: the movie cannot begin.
        MOVCreator missing((dir / "none" / "plan.mov").string(), 32, 160, 120, 3, 10);
        EXPECT_FALSE(missing.ok);
        MOVCreator writer(movie.string(), 32, 160, 120, 3, 10);
        ASSERT_TRUE(writer.ok);
        // A second writer while one is open is not ok and does not end the first one's movie.
        { MOVCreator second((dir / "second.mov").string(), 32, 160, 120, 3, 10); EXPECT_FALSE(second.ok); }
        EXPECT_TRUE(AddPictures(writer, 1));
        EXPECT_FALSE(writer.AddFrame(0));
        BKHandle damaged = BKNewHandle(10);
        EXPECT_FALSE(writer.AddFrame(damaged));
        BKDisposeHandle(damaged);
        EXPECT_EQ(writer.framesWritten, 1);
    }
    std::ifstream in(movie);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "older movie");
    EXPECT_FALSE(std::filesystem::exists(dir / "second.mov"));
    EXPECT_FALSE(std::filesystem::exists(dir / "qtscr.mov"));
}

} // namespace
