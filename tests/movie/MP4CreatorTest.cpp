#include "movie/MOVCreator.h"
#include "movie/MP4Creator.h"
#include "movie/MovieProbe.h"
#include "moviekit/MKMovie.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using probe::TempFolder;

bool AddPictures(IMovieFileCreator& writer, int count, int32_t width = 160, int32_t height = 120) {
    bool all = true;
    for (int i = 0; i < count; ++i) {
        writer.SetCaption(" ");
        BKHandle picture = probe::MakePicture(width, height, i);
        all = writer.AddFrame(picture) && all;
        BKDisposeHandle(picture);
    }
    return all;
}

// The file's top-level boxes in order, e.g. "ftyp moov mdat".
std::string TopBoxes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string out;
    uint64_t at = 0;
    for (int i = 0; i < 8 && in; ++i) {
        unsigned char head[8];
        in.seekg(static_cast<std::streamoff>(at));
        if (!in.read(reinterpret_cast<char*>(head), 8)) break;
        uint64_t size = static_cast<uint64_t>(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
        out += (out.empty() ? "" : " ") + std::string(reinterpret_cast<char*>(head + 4), 4);
        if (size < 8) break;
        at += size;
    }
    return out;
}

TEST(MP4CreatorTest, WritesH264In420WithTheIndexAtTheFront) {
    TempFolder dir;
    auto movie = dir / "terv.mp4";
    {
        MP4Creator writer(movie.string(), 32, 161, 121, 30, 30);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(AddPictures(writer, 30, 161, 121));
        EXPECT_EQ(writer.framesWritten, 30);
        EXPECT_FALSE(std::filesystem::exists(movie)); // whole or absent
        EXPECT_TRUE(writer.Finish());
    }
    auto v = probe::ProbeVideo(movie);
    EXPECT_NE(v.format.find("mp4"), std::string::npos);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.width, 162); // 4:2:0 takes an even size
    EXPECT_EQ(v.height, 122);
    EXPECT_EQ(v.frames, 30);
    EXPECT_EQ(v.rate, "30/1");
    auto s = probe::Entries(probe::Run("ffprobe -v error -select_streams v:0 -show_entries stream=pix_fmt "
                                       "-show_entries format_tags=major_brand -of default=nw=1 " + probe::Quote(movie)));
    EXPECT_EQ(s["pix_fmt"], "yuv420p");
    EXPECT_EQ(s["TAG:major_brand"], "isom");
    std::string boxes = TopBoxes(movie);
    EXPECT_EQ(boxes.rfind("ftyp moov ", 0), 0u) << boxes;
    EXPECT_NE(boxes.find(" mdat"), std::string::npos) << boxes;
    EXPECT_EQ(probe::DecodeErrors(movie), "");
}

TEST(MP4CreatorTest, AStoppedMovieIsAShorterWholeFileAndAFailedOneLeavesTheOldFile) {
    TempFolder dir;
    auto stopped = dir / "rovid.mp4";
    {
        MP4Creator writer(stopped.string(), 32, 160, 120, 10, 10);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(AddPictures(writer, 3));
    } // destroyed unfinished: what was written is the movie
    EXPECT_EQ(probe::ProbeVideo(stopped).frames, 3);
    EXPECT_EQ(probe::DecodeErrors(stopped), "");

    auto failed = dir / "regi.mp4";
    std::ofstream(failed) << "older movie";
    {
        MP4Creator writer(failed.string(), 32, 160, 120, 10, 10);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(AddPictures(writer, 1));
        BKHandle damaged = BKNewHandle(10);
        EXPECT_FALSE(writer.AddFrame(damaged));
        BKDisposeHandle(damaged);
        EXPECT_FALSE(writer.Finish());
    }
    std::ifstream in(failed);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "older movie");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(MP4CreatorTest, TheContainerIsTheWritersOwnAndMP4TakesOnlyH264) {
    TempFolder dir;
    { MP4Creator writer((dir / "a.mp4").string(), 32, 160, 120, 1, 1); EXPECT_TRUE(AddPictures(writer, 1)); }
    // A QuickTime writer after an MP4 one writes QuickTime again.
    { MOVCreator writer((dir / "b.mov").string(), 32, 160, 120, 1, 1); EXPECT_TRUE(AddPictures(writer, 1)); }
    EXPECT_EQ(probe::FormatTag(dir / "a.mp4", "major_brand"), "isom");
    EXPECT_EQ(probe::FormatTag(dir / "b.mov", "major_brand"), "qt  ");

    MKSetVideoCodec(kMKCodecAnimation);
    {
        MP4Creator writer((dir / "c.mp4").string(), 32, 160, 120, 1, 1);
        EXPECT_FALSE(writer.ok);
    }
    MKSetVideoCodec(kMKCodecH264);
    EXPECT_FALSE(std::filesystem::exists(dir / "c.mp4"));
}

} // namespace
