#include "movie/MovieFolder.h"
#include "movie/MovieProbe.h"
#include "moviekit/MKMovie.h"
#include "moviekit/MKTextTrack.h"

#include <gtest/gtest.h>

#include "filekit/FKError.h"
#include "filekit/FKFaults.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

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
    void TearDown() override {
        MKEndMovie(nullptr);
        FKClearFaults();
    }
};

// One entry of one stream, as ffprobe prints it.
std::string Probe(const std::filesystem::path& file, const std::string& stream, const std::string& entry) {
    std::string out = probe::Run("ffprobe -v error -select_streams " + stream + " -show_entries " + entry +
                                 " -of csv=p=0 " + probe::Quote(file.string()));
    while (!out.empty() && (out.back() == '\n' || out.back() == ',')) out.pop_back();
    return out;
}

TEST_F(MovieKitTest, WritesH264WithACaptionForEachPicture) {
    TempFolder dir;
    auto movie = dir / "plan.mov";
    Begin(movie);
    EXPECT_EQ(Add(0, "first"), kMKNoError);
    EXPECT_EQ(Add(1, "two\nlines", 3), kMKNoError);
    // Windows-1250: "Ház" with a-acute 0xE1.
    EXPECT_EQ(Add(2, "H\xE1z"), kMKNoError);
    EXPECT_FALSE(std::filesystem::exists(dir / "scratch.mov")); // the name passed, not where the bytes go
    EXPECT_FALSE(std::filesystem::exists(movie));
    EXPECT_EQ(FolderNames(dir.Path()).size(), 1u);
    const uint8_t name[] = {4, 'P', 'l', 'a', 'n'};
    EXPECT_EQ(MKEndMovie(name), kMKNoError);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"plan.mov"});

    auto v = probe::ProbeVideo(movie);
    EXPECT_NE(v.format.find("mov"), std::string::npos);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(Probe(movie, "v:0", "stream=pix_fmt"), "yuv420p");
    EXPECT_EQ(Probe(movie, "s:0", "stream=codec_tag_string"), "tx3g");
    EXPECT_EQ(probe::DecodeErrors(movie), "");
    // The index comes before the pictures, so the movie plays while it loads.
    std::string bytes = ReadAll(movie);
    ASSERT_NE(bytes.find("moov"), std::string::npos);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
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

TEST_F(MovieKitTest, OddSizesGrowByTheirEdgeAndAnimationKeepsThem) {
    TempFolder dir;
    Begin(dir / "odd.mov", 10, 95, 63);
    EXPECT_EQ(Add(0, " ", 1, 95, 63), kMKNoError);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoError);
    auto v = probe::ProbeVideo(dir / "odd.mov");
    EXPECT_EQ(v.width, 96);
    EXPECT_EQ(v.height, 64);
    // The added column and row repeat the picture's last ones (the test picture's field is 96 red).
    std::string bgr = probe::FirstFrameBgr(dir / "odd.mov");
    ASSERT_EQ(bgr.size(), 96u * 64 * 3);
    auto at = [&](int x, int y, int c) { return static_cast<int>(static_cast<uint8_t>(bgr[(y * 96 + x) * 3 + c])); };
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(at(95, 40, c), at(94, 40, c), 12) << c;
        EXPECT_NEAR(at(50, 63, c), at(50, 62, c), 12) << c;
    }

    MKSetVideoCodec(kMKCodecAnimation);
    Begin(dir / "lossless.mov", 10, 95, 63);
    MKSetVideoCodec(kMKCodecH264);
    EXPECT_EQ(Add(0, "a", 2, 95, 63), kMKNoError);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoError);
    v = probe::ProbeVideo(dir / "lossless.mov");
    EXPECT_EQ(v.codec, "qtrle");
    EXPECT_EQ(v.width, 95);
    EXPECT_EQ(v.height, 63);
    EXPECT_EQ(v.frames, 2);
    EXPECT_EQ(Probe(dir / "lossless.mov", "s:0", "stream=codec_tag_string"), "tx3g");
}

TEST_F(MovieKitTest, TheWorkingFileNeverTouchesFilesOrLinksBesideTheMovie) {
    TempFolder dir;
    { std::ofstream(dir / "qtscr.mov") << "the user's own"; }
    { std::ofstream(dir / "victim") << "not yours"; }
    std::filesystem::create_symlink(dir / "victim", dir / "scratch.mov");
    Begin(dir / "m.mov");
    EXPECT_EQ(Add(0, "a"), kMKNoError);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoError);
    EXPECT_EQ(ReadAll(dir / "qtscr.mov"), "the user's own");
    EXPECT_EQ(ReadAll(dir / "victim"), "not yours");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "scratch.mov"));
    EXPECT_EQ(probe::ProbeVideo(dir / "m.mov").frames, 1);
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"m.mov", "qtscr.mov", "scratch.mov", "victim"}));
}

TEST_F(MovieKitTest, AMovieThatFillsASmallDiskKeepsThePreviousOne) {
    TempFolder dir;
    probe::SmallDisk disk(dir / "disk", "64k");
    if (!disk.Mounted()) GTEST_SKIP() << "mounting a small file system needs the superuser";
    auto movie = dir / "disk" / "m.mov";
    { std::ofstream(movie) << "older movie"; }
    // Lossless pictures of a moving square: each takes a few kilobytes, 60 of them do not fit.
    MKSetVideoCodec(kMKCodecAnimation);
    Begin(movie, 10, 320, 240);
    MKSetVideoCodec(kMKCodecH264);
    int16_t r = kMKNoError;
    for (int i = 0; i < 60 && r == kMKNoError; ++i) r = Add(i, "a", 1, 320, 240);
    int16_t end = MKEndMovie(nullptr);
    EXPECT_TRUE(r == kMKFileError || end == kMKFileError) << r << " " << end;
    EXPECT_NE(end, kMKNoError);
    EXPECT_EQ(ReadAll(movie), "older movie");
    EXPECT_EQ(FolderNames(dir / "disk"), std::vector<std::string>{"m.mov"});
    EXPECT_EQ(std::string(MKLastFailureText()), movie.string() + ": No space left on device");
}

TEST_F(MovieKitTest, FailuresAtTheFinishAreReportedAndKeepThePreviousMovie) {
    TempFolder dir;
    auto movie = dir / "m.mov";
    { std::ofstream(movie) << "older movie"; }
    for (FKOperation op : {FKOperation::Write, FKOperation::Close, FKOperation::Rename}) {
        Begin(movie);
        EXPECT_EQ(Add(0, "a"), kMKNoError);
        FKInjectFault(op, kFKDiskFullErr);
        EXPECT_EQ(MKEndMovie(nullptr), kMKFileError);
        FKClearFaults();
        EXPECT_EQ(ReadAll(movie), "older movie");
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.mov"});
    }
    EXPECT_EQ(std::string(MKLastFailureText()), movie.string() + ": No space left on device");

    if (std::filesystem::exists("/dev/full")) {
        // A device is written directly; the full disk shows as soon as buffered bytes go out,
        // at the latest when the movie ends.
        MKSetFrameRate(10);
        MKSetScreenRect(0, 0, 64, 96);
        int16_t r = MKBeginMovie(u"/dev/full", u"/dev/scratch.mov", 0, 1, "BV", 0);
        if (r == kMKNoError) r = Add(0, "a");
        if (r == kMKNoError) r = MKEndMovie(nullptr);
        EXPECT_EQ(r, kMKFileError);
        MKEndMovie(nullptr);
        EXPECT_EQ(std::string(MKLastFailureText()), "/dev/full: No space left on device");
    }

    // A folder that refuses new files (the superuser's writes are refused through the seam).
    auto locked = dir / "locked";
    std::filesystem::create_directory(locked);
    if (geteuid() == 0)
        FKInjectFault(FKOperation::Open, kFKPermissionErr);
    else
        std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    MKSetFrameRate(10);
    MKSetScreenRect(0, 0, 64, 96);
    EXPECT_EQ(MKBeginMovie(U16(locked / "m.mov").c_str(), U16(locked / "s.mov").c_str(), 0, 1, "BV", 0), kMKFileError);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    FKClearFaults();
    EXPECT_EQ(std::string(MKLastFailureText()), (locked / "m.mov").string() + ": Permission denied");
    EXPECT_TRUE(std::filesystem::is_empty(locked));
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
    EXPECT_EQ(FolderNames(dir.Path()).size(), 2u);
    EXPECT_EQ(MKEndMovie(nullptr), kMKFileError);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.mov"});
    auto read = [&] {
        std::ifstream in(movie);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_EQ(read(), "older movie");

    MKSetScreenRect(0, 0, 64, 96);
    EXPECT_EQ(MKBeginMovie(U16(dir / "no-folder" / "m.mov").c_str(), U16(dir / "s.mov").c_str(), 0, 1, "BV", 0),
              kMKFileError);
    EXPECT_EQ(Add(0, "a"), kMKNoMovie);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoMovie);
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

// Writes the same moving pictures into `movie` with or without the encoder thread.
void WriteMovie(const std::filesystem::path& movie, bool thread, int32_t codec, int frames) {
    MKSetEncoderThread(thread);
    MKSetVideoCodec(codec);
    MKSetFrameRate(10);
    MKSetScreenRect(0, 0, 63, 95);
    ASSERT_EQ(MKBeginMovie(U16(movie).c_str(), U16(movie.parent_path() / "s.mov").c_str(), 0, 1, "BV", 0), kMKNoError);
    for (int i = 0; i < frames; ++i) {
        std::string caption = "frame " + std::to_string(i);
        MKSetSlideParameters(false, 1 + i % 2, caption.c_str(), 0);
        BKHandle picture = probe::MakePicture(95, 63, i);
        ASSERT_EQ(MKAddSamplesToVideo(picture, 1 + i % 2), kMKNoError);
        // The picture is the caller's again at once: changing it must not change the movie.
        std::memset(BKHandleData(picture), 0x5A, BKHandleSize(picture));
        BKDisposeHandle(picture);
    }
    ASSERT_EQ(MKEndMovie(nullptr), kMKNoError);
    MKSetEncoderThread(true);
    MKSetVideoCodec(kMKCodecH264);
}

TEST_F(MovieKitTest, TheEncoderThreadWritesTheSameBytes) {
    TempFolder dir;
    for (int32_t codec : {kMKCodecH264, kMKCodecAnimation}) {
        WriteMovie(dir / "direct.mov", false, codec, 24);
        WriteMovie(dir / "thread.mov", true, codec, 24);
        std::string direct = ReadAll(dir / "direct.mov");
        EXPECT_GT(direct.size(), 1000u);
        EXPECT_TRUE(direct == ReadAll(dir / "thread.mov")) << "codec " << codec;
        EXPECT_EQ(probe::DecodeErrors(dir / "thread.mov"), "");
        EXPECT_EQ(probe::ProbeVideo(dir / "thread.mov").frames, 36);
    }
}

TEST_F(MovieKitTest, AFailureOnTheEncoderThreadReachesTheNextPictureOrTheEnd) {
    TempFolder dir;
    auto movie = dir / "m.mov";
    { std::ofstream(movie) << "older movie"; }
    for (int failAt : {0, 3}) {
        // Pictures of 640 x 480 in QuickTime Animation fill the I/O buffer every few pictures.
        MKSetVideoCodec(kMKCodecAnimation);
        Begin(movie, 10, 640, 480);
        FKInjectFault(FKOperation::Write, kFKDiskFullErr, failAt);
        int16_t r = kMKNoError;
        int added = 0;
        for (; added < 40 && r == kMKNoError; ++added) r = Add(added, "a", 1, 640, 480);
        if (r == kMKNoError) {
            r = MKEndMovie(nullptr);
        } else {
            EXPECT_EQ(MKEndMovie(nullptr), kMKFileError);
        }
        MKSetVideoCodec(kMKCodecH264);
        FKClearFaults();
        EXPECT_EQ(r, kMKFileError) << failAt;
        EXPECT_LT(added, 40) << "the failure came only at the end";
        EXPECT_EQ(std::string(MKLastFailureReason()), "No space left on device");
        EXPECT_EQ(std::string(MKLastFailureText()), movie.string() + ": No space left on device");
        EXPECT_EQ(ReadAll(movie), "older movie");
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.mov"});
    }
}

// A process that begins a movie at `movie`, adds a picture, says so through `ready` and waits.
pid_t StartMovieWriter(const std::filesystem::path& movie) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        MKSetFrameRate(10);
        MKSetScreenRect(0, 0, 64, 96);
        if (MKBeginMovie(U16(movie).c_str(), U16(movie).c_str(), 0, 1, "BV", 0) != kMKNoError) ::_exit(1);
        MKSetSlideParameters(false, 1, "a", 0);
        BKHandle picture = probe::MakePicture(96, 64, 0);
        if (MKAddSamplesToVideo(picture, 1) != kMKNoError) ::_exit(1);
        char c = 1;
        if (::write(fds[1], &c, 1) != 1) ::_exit(1);
        for (;;) ::pause();
    }
    ::close(fds[1]);
    char c = 0;
    bool ready = child > 0 && ::read(fds[0], &c, 1) == 1;
    ::close(fds[0]);
    if (!ready && child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

TEST_F(MovieKitTest, TheNextMovieSweepsADeadWritersWorkingFileButNeverALiveOnes) {
    TempFolder dir;
    auto movie = dir / "m.mov";
    pid_t crashed = StartMovieWriter(movie);
    ASSERT_GT(crashed, 0);
    ::kill(crashed, SIGKILL); // a crash in the middle of the movie
    ASSERT_EQ(::waitpid(crashed, nullptr, 0), crashed);
    pid_t running = StartMovieWriter(movie);
    ASSERT_GT(running, 0);
    auto leftover = [&](pid_t pid) {
        for (const auto& name : FolderNames(dir.Path()))
            if (name.rfind(".m.mov." + std::to_string(pid) + "-", 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(leftover(crashed));
    EXPECT_TRUE(leftover(running));

    Begin(movie);
    EXPECT_EQ(Add(0, "a"), kMKNoError);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoError);
    EXPECT_FALSE(leftover(crashed));
    EXPECT_TRUE(leftover(running)) << "a running writer's file was removed";
    EXPECT_EQ(probe::ProbeVideo(movie).frames, 1);

    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    Begin(movie);
    EXPECT_EQ(Add(0, "a"), kMKNoError);
    EXPECT_EQ(MKEndMovie(nullptr), kMKNoError);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.mov"});
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
