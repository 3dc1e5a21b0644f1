#include "dialogkit/DGAnswers.h"
#include "movie/AVICreator.h"
#include "movie/MovieProbe.h"
#include "utilkit/UTBeep.h"
#include "utilkit/UTErrorReport.h"
#include "avifile/AVIFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using probe::TempFolder;

class AVICreatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        DGResetAnswers();
        UTResetReports();
        UTResetBeeps();
    }
    void TearDown() override { DGResetAnswers(); }

    static void Accept(std::vector<std::pair<std::string, std::string>> items = {}) {
        DGQueueDialogAnswer({"avi-options", std::move(items), 1});
    }
    // Adds `count` moving pictures; true when every one was written.
    static bool AddPictures(IMovieFileCreator& writer, int count, int32_t width = 160, int32_t height = 120) {
        bool all = true;
        for (int i = 0; i < count; ++i) {
            BKHandle picture = probe::MakePicture(width, height, i);
            all = writer.AddFrame(picture) && all;
            BKDisposeHandle(picture);
        }
        return all;
    }
};

TEST_F(AVICreatorTest, DefaultOptionsGiveVideo1WithAKeyFrameEverySeventhSample) {
    TempFolder dir;
    auto file = dir / "plan.avi";
    {
        Accept();
        AVICreator writer(file.string(), 32, 160, 120, 15, 10);
        ASSERT_TRUE(writer.ok);
        EXPECT_TRUE(AddPictures(writer, 15));
        EXPECT_EQ(writer.framesWritten, 15);
    }
    auto v = probe::ProbeVideo(file);
    EXPECT_EQ(v.format, "avi");
    EXPECT_EQ(v.codec, "msvideo1");
    EXPECT_EQ(v.width, 160);
    EXPECT_EQ(v.height, 120);
    EXPECT_EQ(v.frames, 15);
    EXPECT_EQ(v.rate, "10/1");
    EXPECT_EQ(probe::KeyFrames(file), "K......K......K");
    EXPECT_EQ(probe::DecodeErrors(file), "");
    EXPECT_TRUE(UTReports().empty());
    EXPECT_EQ(UTBeepCount(), 0);
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_EQ(DGShownDialogs()[0].dialogId, "avi-options");
}

TEST_F(AVICreatorTest, TheUsersChoicesAndTheFrameRateReachTheFile) {
    TempFolder dir;
    {
        Accept({{"codec", "MJPG"}, {"quality", "9000"}, {"keyframes", "0"}});
        AVICreator writer((dir / "a.avi").string(), 32, 160, 120, 3, 1);
        EXPECT_TRUE(AddPictures(writer, 3));
    }
    auto v = probe::ProbeVideo(dir / "a.avi");
    EXPECT_EQ(v.codec, "mjpeg");
    EXPECT_EQ(v.rate, "1/1"); // one second a frame
    {
        Accept({{"codec", "mjpg"}}); // the default quality leaves the data rate in charge
        AVICreator writer((dir / "rate.avi").string(), 32, 160, 120, 3, 10);
        EXPECT_TRUE(AddPictures(writer, 3));
    }
    EXPECT_EQ(probe::ProbeVideo(dir / "rate.avi").frames, 3);
    {
        Accept({{"codec", "msvc"}, {"keyframes", "0"}});
        AVICreator writer((dir / "b.avi").string(), 32, 160, 120, 9, 10);
        EXPECT_TRUE(AddPictures(writer, 9));
    }
    // No sample is asked to be a key frame; only the first is one, having nothing before it.
    EXPECT_EQ(probe::KeyFrames(dir / "b.avi"), "K........");
    {
        Accept({{"codec", "cvid"}});
        AVICreator writer((dir / "c.avi").string(), 32, 160, 120, 2, 10);
        writer.SetFrameRate(5); // too late: the stream took its rate when the file was opened
        EXPECT_TRUE(AddPictures(writer, 2));
    }
    EXPECT_EQ(probe::ProbeVideo(dir / "c.avi").codec, "cinepak");
    EXPECT_EQ(probe::ProbeVideo(dir / "c.avi").rate, "10/1");
}

TEST_F(AVICreatorTest, AFrameBeyondTheCountIsWrittenButNotCounted) {
    TempFolder dir;
    {
        Accept();
        AVICreator writer((dir / "m.avi").string(), 32, 160, 120, 2, 10);
        EXPECT_TRUE(AddPictures(writer, 3));
        EXPECT_EQ(writer.framesWritten, 2);
    }
    EXPECT_EQ(probe::ProbeVideo(dir / "m.avi").frames, 3);
}

TEST_F(AVICreatorTest, PalettePicturesAreWritten) {
    TempFolder dir;
    {
        Accept();
        AVICreator writer((dir / "m.avi").string(), 8, 64, 48, 1, 10);
        BKHandle picture = PXNewPixMap(64, 48, PXPixelFormat::Indexed8, 256);
        EXPECT_TRUE(writer.AddFrame(picture));
        BKDisposeHandle(picture);
    }
    EXPECT_EQ(probe::ProbeVideo(dir / "m.avi").frames, 1);
}

TEST_F(AVICreatorTest, CancelledOptionsLeaveNoFileAndNoReport) {
    TempFolder dir;
    auto file = dir / "m.avi";
    {
        DGQueueDialogAnswer({"avi-options", {}, 2});
        AVICreator writer(file.string(), 32, 160, 120, 5, 10);
        EXPECT_FALSE(writer.ok);
        EXPECT_FALSE(std::filesystem::exists(file));
        BKHandle picture = probe::MakePicture(160, 120, 0);
        EXPECT_FALSE(writer.AddFrame(picture)); // nothing open to write into
        BKDisposeHandle(picture);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(UTReports().empty());
    EXPECT_EQ(UTBeepCount(), 0);
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_FALSE(DGShownDialogs()[0].confirmed);
}

TEST_F(AVICreatorTest, ACancelledOrFailedMovieKeepsTheUsersPreviousOne) {
    TempFolder dir;
    auto file = dir / "m.avi";
    std::ofstream(file, std::ios::binary) << "the previous movie";
    auto previous = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    {
        DGQueueDialogAnswer({"avi-options", {}, 2});
        AVICreator writer(file.string(), 32, 160, 120, 5, 10);
        EXPECT_FALSE(writer.ok);
    }
    EXPECT_EQ(previous(), "the previous movie");
    {
        Accept();
        AVICreator writer(file.string(), 32, 160, 120, 5, 10);
        ASSERT_TRUE(writer.ok);
        BKHandle picture = probe::MakePicture(160, 120, 0);
        EXPECT_TRUE(writer.AddFrame(picture));
        BKDisposeHandle(picture);
        EXPECT_FALSE(writer.AddFrame(0)); // the run's own failure
        EXPECT_FALSE(writer.Finish());
    }
    EXPECT_EQ(previous(), "the previous movie");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(AVICreatorTest, AnEmptyPathTouchesNothing) {
    Accept();
    AVICreator writer("", 32, 160, 120, 5, 10);
    EXPECT_FALSE(writer.ok);
    EXPECT_EQ(DGPendingDialogAnswers(), 1u); // never asked
    EXPECT_TRUE(UTReports().empty());
}

TEST_F(AVICreatorTest, AFailedFrameIsReportedAndTheFileDeletedWithABeep) {
    TempFolder dir;
    auto file = dir / "m.avi";
    {
        Accept();
        AVICreator writer(file.string(), 32, 160, 120, 5, 10);
        EXPECT_TRUE(AddPictures(writer, 2));
        BKHandle damaged = BKNewHandle(10); // not a picture
        EXPECT_FALSE(writer.AddFrame(damaged));
        BKDisposeHandle(damaged);
        EXPECT_FALSE(writer.ok);
        EXPECT_EQ(writer.framesWritten, 2);
        EXPECT_FALSE(writer.AddFrame(0)); // a missing picture is refused without a report
        ASSERT_EQ(UTReports().size(), 1u);
        EXPECT_EQ(UTReports()[0].kind, UTReportKind::ErrorNumber);
        EXPECT_EQ(UTReports()[0].number, 57);
        EXPECT_EQ(UTBeepCount(), 0);
    }
    EXPECT_EQ(UTBeepCount(), 1);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(AVICreatorTest, APictureOfAnotherSizeMidwayFailsTheMovie) {
    TempFolder dir;
    auto file = dir / "m.avi";
    {
        Accept();
        AVICreator writer(file.string(), 32, 160, 120, 5, 10);
        EXPECT_TRUE(AddPictures(writer, 1));
        EXPECT_FALSE(AddPictures(writer, 1, 320, 240));
        ASSERT_EQ(UTReports().size(), 1u);
        EXPECT_EQ(UTReports()[0].kind, UTReportKind::SystemError);
        EXPECT_EQ(UTReports()[0].category, 4);
        EXPECT_EQ(UTReports()[0].code, AVIERR_BADSIZE);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(UTBeepCount(), 1);
}

TEST_F(AVICreatorTest, AFileThatCannotBeCreatedIsReportedWithItsCode) {
    TempFolder dir;
    {
        AVICreator writer((dir / "missing" / "m.avi").string(), 32, 160, 120, 5, 10);
        EXPECT_FALSE(writer.ok);
        ASSERT_EQ(UTReports().size(), 1u);
        EXPECT_EQ(UTReports()[0].category, 4);
        EXPECT_EQ(UTReports()[0].code, AVIERR_FILEOPEN);
        EXPECT_EQ(DGShownDialogs().size(), 0u); // no options asked for a file that is not there
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST_F(AVICreatorTest, ASecondWriterWhileOneIsOpenDoesNotDisturbIt) {
    TempFolder dir;
    {
        Accept();
        AVICreator first((dir / "first.avi").string(), 32, 160, 120, 4, 10);
        ASSERT_TRUE(first.ok);
        EXPECT_TRUE(AddPictures(first, 2));
        {
            Accept();
            AVICreator second((dir / "second.avi").string(), 32, 160, 120, 4, 10);
            EXPECT_FALSE(second.ok);
            EXPECT_FALSE(AddPictures(second, 1));
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "second.avi"));
        EXPECT_TRUE(AddPictures(first, 2));
    }
    EXPECT_EQ(probe::ProbeVideo(dir / "first.avi").frames, 4);
    EXPECT_TRUE(UTReports().empty());
}

} // namespace
