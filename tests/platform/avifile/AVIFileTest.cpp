#include "avifile/AVIDialogTexts.h"
#include "avifile/AVIFile.h"
#include "bytes/LittleEndian.h"
#include "compatkit/CKBitmapHeader.h"
#include "dialogkit/DGAnswers.h"
#include "filekit/FKError.h"
#include "filekit/FKFaults.h"
#include "movie/MovieFolder.h"
#include "movie/MovieProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

// A video stream of `rate` frames a second at the frame size.
AVISTREAMINFO VideoStreamInfo(uint32_t rate, int32_t width, int32_t height) {
    AVISTREAMINFO info;
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = rate;
    info.rcFrame = {0, 0, width, height};
    return info;
}

using probe::TempFolder;

// An uncompressed bitmap: header, colour table and bottom-up rows, as a writer hands it over.
struct Bitmap {
    std::vector<uint8_t> format, bits;
};

Bitmap MakeBitmap(int32_t width, int32_t height, int bitCount, int frame) {
    Bitmap b;
    uint32_t colours = bitCount == 8 ? 256 : 0;
    b.format.resize(kCKBitmapHeaderSize + colours * 4);
    CKBitmapHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = static_cast<uint16_t>(bitCount);
    CKWriteBitmapHeader(b.format, h);
    for (uint32_t i = 0; i < colours; ++i) LE::Put<uint32_t>(b.format, kCKBitmapHeaderSize + 4 * i, i == 1 ? 0x0000C000 : 0x00204080);
    uint32_t row = CKRowBytes(width, static_cast<uint32_t>(bitCount));
    b.bits.assign(static_cast<size_t>(row) * height, 0);
    for (int32_t y = 0; y < height; ++y) {
        // Row y of the picture (from the top) is stored at height-1-y.
        uint8_t* r = b.bits.data() + static_cast<size_t>(height - 1 - y) * row;
        for (int32_t x = 0; x < width; ++x) {
            bool square = x >= frame * 4 && x < frame * 4 + 8 && y < 8;
            if (bitCount == 8) {
                r[x] = square ? 1 : 0;
            } else {
                int bpp = bitCount / 8;
                r[bpp * x + 0] = square ? 0 : 0x80;           // blue
                r[bpp * x + 1] = square ? 0xC0 : 0x40;        // green
                r[bpp * x + 2] = y == 0 ? 0xF0 : 0x20;        // red: the top row stands out
            }
        }
    }
    return b;
}

AVICOMPRESSOPTIONS Options(const char* fourcc, uint32_t keyFrameEvery) {
    AVICOMPRESSOPTIONS o;
    o.fccType = streamtypeVIDEO;
    o.fccHandler = AVIMakeFourCC(fourcc[0], fourcc[1], fourcc[2], fourcc[3]);
    o.dwKeyFrameEvery = keyFrameEvery;
    o.dwQuality = 0xFFFFFFFF;
    o.dwFlags = AVICOMPRESSF_VALID;
    return o;
}

class AVIFileTest : public ::testing::Test {
protected:
    void SetUp() override { AVIFileInit(); }
    void TearDown() override { AVIFileExit(); }

    // Writes `frames` bitmaps through a compressed stream, key frames where `keyEvery` says.
    void WriteMovie(const std::filesystem::path& file, const char* fourcc, int32_t width, int32_t height, int bitCount,
                    int frames, uint32_t keyEvery, uint32_t rate = 10) {
        PAVIFILE f = nullptr;
        ASSERT_EQ(AVIFileOpen(&f, file.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
        AVISTREAMINFO info = VideoStreamInfo(rate, width, height);
        PAVISTREAM s = nullptr, c = nullptr;
        ASSERT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
        auto options = Options(fourcc, keyEvery);
        ASSERT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);
        for (int i = 0; i < frames; ++i) {
            Bitmap b = MakeBitmap(width, height, bitCount, i);
            if (i == 0) {
                ASSERT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
            }
            uint32_t flags = keyEvery != 0 && i % keyEvery == 0 ? AVIIF_KEYFRAME : 0;
            ASSERT_EQ(AVIStreamWrite(c, i, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), flags, nullptr, nullptr),
                      AVIERR_OK);
        }
        AVIStreamRelease(s);
        AVIStreamRelease(c);
        AVIFileRelease(f);
    }
};

struct CodecCase {
    const char* fourcc;
    const char* codec;
};

class AVIFileCodecTest : public AVIFileTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(AVIFileCodecTest, EveryCompressorWritesAMovieFFprobeReads) {
    TempFolder dir;
    WriteMovie(dir / "m.avi", GetParam().fourcc, 96, 64, 32, 9, 7);
    auto v = probe::ProbeVideo(dir / "m.avi");
    EXPECT_EQ(v.format, "avi");
    EXPECT_EQ(v.codec, GetParam().codec);
    EXPECT_EQ(v.width, 96);
    EXPECT_EQ(v.height, 64);
    EXPECT_EQ(v.frames, 9);
    EXPECT_EQ(v.rate, "10/1");
    auto keys = probe::KeyFrames(dir / "m.avi");
    ASSERT_EQ(keys.size(), 9u);
    EXPECT_EQ(keys[0], 'K');
    EXPECT_EQ(keys[7], 'K');
}

INSTANTIATE_TEST_SUITE_P(Codecs, AVIFileCodecTest,
                         ::testing::Values(CodecCase{"msvc", "msvideo1"}, CodecCase{"CRAM", "msvideo1"},
                                           CodecCase{"DIB ", "rawvideo"}, CodecCase{"MJPG", "mjpeg"},
                                           CodecCase{"cvid", "cinepak"}, CodecCase{"H264", "h264"}));

TEST_F(AVIFileTest, KeyFramesStandExactlyWhereTheWriterAskedForThem) {
    TempFolder dir;
    WriteMovie(dir / "video1.avi", "msvc", 64, 48, 32, 20, 7);
    EXPECT_EQ(probe::KeyFrames(dir / "video1.avi"), "K......K......K.....");
    WriteMovie(dir / "cinepak.avi", "cvid", 64, 48, 32, 20, 5);
    EXPECT_EQ(probe::KeyFrames(dir / "cinepak.avi"), "K....K....K....K....");
    WriteMovie(dir / "h264.avi", "H264", 64, 48, 32, 20, 7);
    EXPECT_EQ(probe::KeyFrames(dir / "h264.avi"), "K......K......K.....");
    EXPECT_EQ(probe::DecodeErrors(dir / "h264.avi"), "");
    // Without requests only the first picture, which has nothing before it, is a key frame.
    WriteMovie(dir / "none.avi", "msvc", 64, 48, 32, 20, 0);
    EXPECT_EQ(probe::KeyFrames(dir / "none.avi"), "K...................");
}

TEST_F(AVIFileTest, RateAndUncompressedPixelsSurviveAsWritten) {
    TempFolder dir;
    WriteMovie(dir / "slow.avi", "DIB ", 5, 3, 24, 2, 1, 1);
    auto v = probe::ProbeVideo(dir / "slow.avi");
    EXPECT_EQ(v.rate, "1/1");
    EXPECT_EQ(v.width, 5);
    EXPECT_EQ(v.height, 3);
    // The top row is the one with red 0xF0, in bottom-up storage or not.
    std::string bgr = probe::FirstFrameBgr(dir / "slow.avi");
    ASSERT_EQ(bgr.size(), 5u * 3 * 3);
    EXPECT_EQ(static_cast<uint8_t>(bgr[2 + 3 * 4]), 0xF0); // top row, right of the square
    EXPECT_EQ(static_cast<uint8_t>(bgr[2 + 3 * 5 * 2]), 0x20);
    EXPECT_EQ(static_cast<uint8_t>(bgr[1]), 0xC0); // the square's green, top left
}

TEST_F(AVIFileTest, BlockCodecsPadOddSizesAndTakePaletteBitmaps) {
    TempFolder dir;
    WriteMovie(dir / "odd.avi", "msvc", 62, 45, 24, 3, 7);
    auto v = probe::ProbeVideo(dir / "odd.avi");
    EXPECT_EQ(v.width, 64);
    EXPECT_EQ(v.height, 48);
    EXPECT_EQ(v.frames, 3);

    WriteMovie(dir / "pal.avi", "msvc", 16, 16, 8, 1, 7);
    std::string bgr = probe::FirstFrameBgr(dir / "pal.avi");
    ASSERT_EQ(bgr.size(), 16u * 16 * 3);
    // Index 1 is green 0xC0 (Video 1 keeps 5 bits a channel); index 0 blue 0x80 green 0x40 red 0x20.
    EXPECT_NEAR(static_cast<uint8_t>(bgr[1]), 0xC0, 8);
    EXPECT_NEAR(static_cast<uint8_t>(bgr[0]), 0x00, 8);
    size_t last = bgr.size() - 3;
    EXPECT_NEAR(static_cast<uint8_t>(bgr[last]), 0x80, 8);
    EXPECT_NEAR(static_cast<uint8_t>(bgr[last + 2]), 0x20, 8);
}

// Flat 8-by-8 tiles of strongly different colours, so a block codec reproduces each one and a
// misplaced byte shows as a wrong colour.
uint8_t TileChannel(int32_t x, int32_t y, int channel) {
    return static_cast<uint8_t>(((x / 8) * (37 + 50 * channel) + (y / 8) * 91 + channel * 60) % 256);
}

TEST_F(AVIFileTest, Video1PicturesOfOddWidthsMatchTheirSource) {
    TempFolder dir;
    for (int32_t width : {801, 641, 333}) {
        const int32_t height = 45;
        Bitmap b = MakeBitmap(width, height, 32, 0);
        uint32_t row = CKRowBytes(width, 32);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    b.bits[static_cast<size_t>(height - 1 - y) * row + 4 * static_cast<size_t>(x) + static_cast<size_t>(c)] =
                        TileChannel(x, y, c);
        auto file = dir / ("w" + std::to_string(width) + ".avi");
        {
            PAVIFILE f = nullptr;
            ASSERT_EQ(AVIFileOpen(&f, file.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
            AVISTREAMINFO info = VideoStreamInfo(10, width, height);
            PAVISTREAM s = nullptr, c = nullptr;
            ASSERT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
            auto options = Options("msvc", 7);
            ASSERT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);
            ASSERT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
            ASSERT_EQ(AVIStreamWrite(c, 0, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), AVIIF_KEYFRAME, nullptr,
                                     nullptr),
                      AVIERR_OK);
            AVIStreamRelease(c);
            AVIStreamRelease(s);
            AVIFileRelease(f);
        }
        const int32_t padded = (width + 3) & ~3, paddedHeight = 48;
        std::string bgr = probe::FirstFrameBgr(file);
        ASSERT_EQ(bgr.size(), static_cast<size_t>(padded) * paddedHeight * 3) << width;
        // Video 1 keeps 5 bits a channel and now and then merges a block's colours: each column
        // (and the padding, which repeats the last one) must show its source on the whole.
        std::vector<int> badColumns;
        for (int32_t x = 0; x < padded; ++x) {
            long error = 0;
            for (int32_t y = 0; y < paddedHeight; ++y)
                for (int c = 0; c < 3; ++c) {
                    int want = TileChannel(std::min(x, width - 1), std::min(y, height - 1), c);
                    int got = static_cast<uint8_t>(
                        bgr[(static_cast<size_t>(y) * padded + static_cast<size_t>(x)) * 3 + static_cast<size_t>(c)]);
                    error += std::abs(got - want);
                }
            if (error > 8L * paddedHeight * 3) badColumns.push_back(x);
        }
        EXPECT_TRUE(badColumns.empty()) << "width " << width << ": " << badColumns.size() << " columns from "
                                        << badColumns.front();
        EXPECT_EQ(probe::DecodeErrors(file), "");
    }
}

TEST_F(AVIFileTest, AFileWithoutSamplesIsStillAMovie) {
    TempFolder dir;
    WriteMovie(dir / "empty.avi", "msvc", 64, 48, 32, 0, 7);
    auto v = probe::ProbeVideo(dir / "empty.avi");
    EXPECT_EQ(v.format, "avi");
    EXPECT_EQ(v.width, 64);
    EXPECT_LE(v.frames, 0); // ffprobe counts none
    EXPECT_EQ(probe::KeyFrames(dir / "empty.avi"), "");
}

TEST_F(AVIFileTest, RefusesWhatItCannotWrite) {
    TempFolder dir;
    PAVIFILE f = nullptr;
    AVIFileExit(); // files open only while the library is started
    EXPECT_EQ(AVIFileOpen(&f, (dir / "x.avi").c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_ERROR);
    AVIFileInit();
    EXPECT_EQ(AVIFileOpen(&f, (dir / "none" / "x.avi").c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(f, nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
    EXPECT_EQ(AVIFileOpen(&f, (dir / "r.avi").c_str(), 0, nullptr), AVIERR_UNSUPPORTED);

    ASSERT_EQ(AVIFileOpen(&f, (dir / "x.avi").c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
    AVISTREAMINFO info;
    info.fccType = streamtypeVIDEO;
    PAVISTREAM s = nullptr, c = nullptr;
    EXPECT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_BADPARAM); // no rate
    info.dwScale = 1;
    info.dwRate = 10;
    ASSERT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
    auto unknown = Options("XVID", 0);
    EXPECT_EQ(AVIMakeCompressedStream(&c, s, &unknown, nullptr), AVIERR_NOCOMPRESSOR);
    auto options = Options("msvc", 0);
    ASSERT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);

    Bitmap b = MakeBitmap(16, 16, 32, 0);
    EXPECT_EQ(AVIStreamWrite(c, 0, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), 0, nullptr, nullptr),
              AVIERR_BADFORMAT); // no format yet
    std::vector<uint8_t> shortHeader(b.format.begin(), b.format.begin() + 20);
    EXPECT_EQ(AVIStreamSetFormat(c, 0, shortHeader.data(), 20), AVIERR_BADFORMAT);
    ASSERT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
    EXPECT_EQ(AVIStreamWrite(c, 0, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()) - 1, 0, nullptr, nullptr),
              AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamWrite(c, 0, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), 0, nullptr, nullptr), AVIERR_OK);
    Bitmap other = MakeBitmap(32, 16, 32, 0);
    EXPECT_EQ(AVIStreamSetFormat(c, 0, other.format.data(), static_cast<int32_t>(other.format.size())), AVIERR_UNSUPPORTED);
    PAVISTREAM late = nullptr;
    EXPECT_EQ(AVIFileCreateStream(f, &late, &info), AVIERR_UNSUPPORTED);
    AVIStreamRelease(c);
    AVIStreamRelease(s);
    AVIFileRelease(f);
    EXPECT_EQ(probe::ProbeVideo(dir / "x.avi").frames, 1);
}

// Writes a movie of `frames` pictures to `path` and reports the first failure: of a write, or of
// finishing the file.
AVIResult WriteAndClose(const std::string& path, const char* fourcc, int32_t width, int32_t height, int frames,
                        bool abandon = false) {
    PAVIFILE f = nullptr;
    AVIResult r = AVIFileOpen(&f, path.c_str(), OF_WRITE | OF_CREATE, nullptr);
    if (r != AVIERR_OK) return r;
    AVISTREAMINFO info = VideoStreamInfo(10, width, height);
    PAVISTREAM s = nullptr, c = nullptr;
    r = AVIFileCreateStream(f, &s, &info);
    auto options = Options(fourcc, 7);
    if (r == AVIERR_OK) r = AVIMakeCompressedStream(&c, s, &options, nullptr);
    for (int i = 0; i < frames && r == AVIERR_OK; ++i) {
        Bitmap b = MakeBitmap(width, height, 32, i);
        if (i == 0) r = AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size()));
        if (r == AVIERR_OK)
            r = AVIStreamWrite(c, i, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), i % 7 == 0 ? AVIIF_KEYFRAME : 0,
                               nullptr, nullptr);
    }
    if (abandon || r != AVIERR_OK) AVIFileAbandon(f);
    AVIStreamRelease(c);
    AVIStreamRelease(s);
    AVIResult closed = AVIFileClose(f);
    return r != AVIERR_OK ? r : closed;
}

// Two seconds of noise, which no codec can squeeze below what its rate control allows.
uintmax_t NoiseMovieSize(const std::filesystem::path& file, const char* fourcc, uint32_t bytesPerSecond) {
    PAVIFILE f = nullptr;
    EXPECT_EQ(AVIFileOpen(&f, file.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
    AVISTREAMINFO info = VideoStreamInfo(10, 160, 120);
    PAVISTREAM s = nullptr, c = nullptr;
    EXPECT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
    auto options = Options(fourcc, 0);
    if (bytesPerSecond > 0) {
        options.dwBytesPerSecond = bytesPerSecond;
        options.dwFlags |= AVICOMPRESSF_DATARATE;
    }
    EXPECT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);
    uint32_t seed = 12345;
    for (int i = 0; i < 20; ++i) {
        Bitmap b = MakeBitmap(160, 120, 32, i);
        for (auto& byte : b.bits) byte = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        if (i == 0) {
            EXPECT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
        }
        EXPECT_EQ(AVIStreamWrite(c, i, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), 0, nullptr, nullptr),
                  AVIERR_OK);
    }
    AVIStreamRelease(c);
    AVIStreamRelease(s);
    EXPECT_EQ(AVIFileClose(f), AVIERR_OK);
    return std::filesystem::file_size(file);
}

TEST_F(AVIFileTest, CodecsThatTakeABitRateKeepToTheDataRate) {
    TempFolder dir;
    for (const char* fourcc : {"H264", "MJPG"}) {
        uintmax_t free = NoiseMovieSize(dir / "free.avi", fourcc, 0);
        uintmax_t limited = NoiseMovieSize(dir / "limited.avi", fourcc, 16 * 1024);
        // 2 s at 16 KB/s, with room for the rate control's slack and the file's own overhead.
        EXPECT_LT(limited, 3u * 2 * 16 * 1024) << fourcc;
        EXPECT_GT(free, 4 * limited) << fourcc;
    }
}

class AVIFileFailureTest : public AVIFileTest {
protected:
    void TearDown() override {
        FKClearFaults();
        AVIFileTest::TearDown();
    }
};

TEST_F(AVIFileFailureTest, AFullDiskFailsTheWriteOrTheFinish) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    // Pictures larger than the I/O buffer meet the full disk while they are added ...
    EXPECT_EQ(WriteAndClose("/dev/full", "DIB ", 640, 480, 3), AVIERR_FILEWRITE);
    // ... a small movie sits in the buffer until the finish, which must report it.
    EXPECT_EQ(WriteAndClose("/dev/full", "msvc", 16, 16, 2), AVIERR_FILEWRITE);
    EXPECT_NE(std::string(AVIFileLastFailureText()).find("/dev/full: No space left on device"), std::string::npos)
        << AVIFileLastFailureText();
}

TEST_F(AVIFileFailureTest, AMovieThatFillsASmallDiskKeepsThePreviousOne) {
    TempFolder dir;
    probe::SmallDisk disk(dir / "disk", "256k");
    if (!disk.Mounted()) GTEST_SKIP() << "mounting a small file system needs the superuser";
    const std::string movie = (dir / "disk" / "m.avi").string();
    { std::ofstream(movie) << "previous"; }
    // Uncompressed 320 x 240 pictures: 230 KB each, so the second cannot fit.
    EXPECT_EQ(WriteAndClose(movie, "DIB ", 320, 240, 4), AVIERR_FILEWRITE);
    EXPECT_EQ(ReadAll(movie), "previous");
    EXPECT_EQ(FolderNames(dir / "disk"), std::vector<std::string>{"m.avi"});
    EXPECT_NE(std::string(AVIFileLastFailureText()).find("No space left on device"), std::string::npos);
}

TEST_F(AVIFileFailureTest, OnlyACompleteMovieReplacesThePreviousOne) {
    TempFolder dir;
    const std::string movie = (dir / "m.avi").string();
    { std::ofstream(movie) << "previous"; }

    FKInjectFault(FKOperation::Write, kFKDiskFullErr, 1);
    EXPECT_EQ(WriteAndClose(movie, "msvc", 64, 48, 5), AVIERR_FILEWRITE);
    FKInjectFault(FKOperation::Close, kFKIOErr);
    EXPECT_EQ(WriteAndClose(movie, "msvc", 64, 48, 5), AVIERR_FILEWRITE);
    FKInjectFault(FKOperation::Rename, kFKPermissionErr);
    EXPECT_EQ(WriteAndClose(movie, "msvc", 64, 48, 5), AVIERR_FILEWRITE);
    EXPECT_EQ(WriteAndClose(movie, "msvc", 64, 48, 5, true), AVIERR_OK); // abandoned: nothing to report
    EXPECT_EQ(FKPendingFaults(), 0);
    EXPECT_EQ(ReadAll(movie), "previous");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.avi"});

    ASSERT_EQ(WriteAndClose(movie, "msvc", 64, 48, 5), AVIERR_OK);
    EXPECT_EQ(probe::ProbeVideo(movie).frames, 5);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.avi"});
}

TEST_F(AVIFileFailureTest, AFolderThatCannotTakeTheMovieIsReportedWithItsReason) {
    TempFolder dir;
    auto folder = dir / "locked";
    std::filesystem::create_directory(folder);
    const std::string movie = (folder / "m.avi").string();
    { std::ofstream(movie) << "previous"; }
    if (geteuid() == 0) {
        // The superuser writes anywhere: make the folder refuse through the seam instead.
        FKInjectFault(FKOperation::Open, kFKPermissionErr);
    } else {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    EXPECT_EQ(WriteAndClose(movie, "msvc", 64, 48, 2), AVIERR_FILEOPEN);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    EXPECT_EQ(std::string(AVIFileLastFailureText()), movie + ": Permission denied");
    EXPECT_EQ(ReadAll(movie), "previous");
    EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"m.avi"});
}

TEST_F(AVIFileTest, TheEncoderThreadWritesTheSameBytes) {
    TempFolder dir;
    for (const char* fourcc : {"msvc", "H264", "MJPG", "DIB "}) {
        AVIFileSetEncoderThread(false);
        ASSERT_EQ(WriteAndClose((dir / "direct.avi").string(), fourcc, 83, 61, 20), AVIERR_OK);
        AVIFileSetEncoderThread(true);
        ASSERT_EQ(WriteAndClose((dir / "thread.avi").string(), fourcc, 83, 61, 20), AVIERR_OK);
        std::string direct = ReadAll(dir / "direct.avi");
        EXPECT_GT(direct.size(), 1000u);
        EXPECT_TRUE(direct == ReadAll(dir / "thread.avi")) << fourcc;
        EXPECT_EQ(probe::DecodeErrors(dir / "thread.avi"), "") << fourcc;
    }
}

TEST_F(AVIFileTest, AByteCountWaitsForTheSamplesToBeStored) {
    TempFolder dir;
    PAVIFILE f = nullptr;
    ASSERT_EQ(AVIFileOpen(&f, (dir / "m.avi").string().c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
    AVISTREAMINFO info = VideoStreamInfo(10, 64, 48);
    PAVISTREAM s = nullptr, c = nullptr;
    ASSERT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
    auto options = Options("MJPG", 0);
    ASSERT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);
    Bitmap b = MakeBitmap(64, 48, 32, 0);
    ASSERT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
    int32_t samples = 0, bytes = 0;
    EXPECT_EQ(AVIStreamWrite(c, 0, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), AVIIF_KEYFRAME, &samples,
                             &bytes),
              AVIERR_OK);
    EXPECT_EQ(samples, 1);
    EXPECT_GT(bytes, 0); // the compressed size, known only once the picture was compressed
    EXPECT_LT(bytes, static_cast<int32_t>(b.bits.size()));
    AVIStreamRelease(c);
    AVIStreamRelease(s);
    EXPECT_EQ(AVIFileClose(f), AVIERR_OK);
}

TEST_F(AVIFileFailureTest, AFailureOnTheEncoderThreadReachesTheNextWriteOrTheClose) {
    TempFolder dir;
    const std::string movie = (dir / "m.avi").string();
    { std::ofstream(movie) << "previous"; }
    for (int failAt : {0, 2}) {
        PAVIFILE f = nullptr;
        ASSERT_EQ(AVIFileOpen(&f, movie.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
        AVISTREAMINFO info = VideoStreamInfo(10, 640, 480);
        PAVISTREAM s = nullptr, c = nullptr;
        ASSERT_EQ(AVIFileCreateStream(f, &s, &info), AVIERR_OK);
        auto options = Options("DIB ", 0);
        ASSERT_EQ(AVIMakeCompressedStream(&c, s, &options, nullptr), AVIERR_OK);
        FKInjectFault(FKOperation::Write, kFKDiskFullErr, failAt);
        // Uncompressed pictures of 900 KB: each one goes out to the file at once.
        AVIResult r = AVIERR_OK;
        int written = 0;
        for (; written < 20 && r == AVIERR_OK; ++written) {
            Bitmap b = MakeBitmap(640, 480, 32, written);
            if (written == 0) {
                ASSERT_EQ(AVIStreamSetFormat(c, 0, b.format.data(), static_cast<int32_t>(b.format.size())), AVIERR_OK);
            }
            r = AVIStreamWrite(c, written, 1, b.bits.data(), static_cast<int32_t>(b.bits.size()), AVIIF_KEYFRAME,
                               nullptr, nullptr);
        }
        EXPECT_EQ(r, AVIERR_FILEWRITE) << failAt;
        EXPECT_LT(written, 20);
        AVIStreamRelease(c);
        AVIStreamRelease(s);
        EXPECT_EQ(AVIFileClose(f), AVIERR_FILEWRITE);
        FKClearFaults();
        EXPECT_EQ(std::string(AVIFileLastFailureReason()), "No space left on device");
        EXPECT_EQ(std::string(AVIFileLastFailureText()), movie + ": No space left on device");
        EXPECT_EQ(ReadAll(movie), "previous");
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"m.avi"});
    }
}

class AVISaveOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { DGResetAnswers(); }
    void TearDown() override { DGResetAnswers(); }
    AVICOMPRESSOPTIONS options = Options("msvc", 7);
    AVICOMPRESSOPTIONS* list[1] = {&options};
    PAVISTREAM stream = nullptr;
};

TEST_F(AVISaveOptionsTest, TheAnswerBecomesTheOptions) {
    options.dwBytesPerSecond = 768000;
    options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE | AVICOMPRESSF_VALID;
    // Motion JPEG offers no key-frame rhythm: each of its pictures is one.
    DGQueueDialogAnswer({"avi-options", {{"codec", "MJPG"}, {"quality", "7500"}, {"datarate", "1000"}}, 1});
    ASSERT_TRUE(AVISaveOptions(0, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1, &stream, list));
    EXPECT_EQ(options.fccHandler, AVIMakeFourCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(options.dwQuality, 7500u);
    EXPECT_EQ(options.dwKeyFrameEvery, 0u);
    EXPECT_EQ(options.dwFlags & AVICOMPRESSF_KEYFRAMES, 0u);
    EXPECT_EQ(options.dwBytesPerSecond, 1024000u);
    EXPECT_NE(options.dwFlags & AVICOMPRESSF_DATARATE, 0u);
    ASSERT_EQ(DGShownDialogs().size(), 1u);
    EXPECT_TRUE(DGShownDialogs()[0].confirmed);
    EXPECT_EQ(DGUnansweredQuestions(), 0);

    // A compressor chosen from the list, and the settings it follows.
    DGQueueDialogAnswer({"avi-options", {{"compressor", "2"}, {"quality", "8000"}, {"keyframes", "5"}, {"datarate", "100"}}, 1});
    ASSERT_TRUE(AVISaveOptions(0, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1, &stream, list));
    EXPECT_EQ(options.fccHandler, AVIMakeFourCC('H', '2', '6', '4'));
    EXPECT_EQ(options.dwQuality, 8000u);
    EXPECT_EQ(options.dwKeyFrameEvery, 5u);
    EXPECT_EQ(options.dwBytesPerSecond, 102400u);
    DGQueueDialogAnswer({"avi-options", {{"compressor", "3"}}, 1});
    ASSERT_TRUE(AVISaveOptions(0, 0, 1, &stream, list));
    EXPECT_EQ(options.fccHandler, AVIMakeFourCC('M', 'J', 'P', 'G'));

    // A short code is padded with spaces.
    DGQueueDialogAnswer({"avi-options", {{"codec", "DIB"}}, 1});
    ASSERT_TRUE(AVISaveOptions(0, 0, 1, &stream, list));
    EXPECT_EQ(options.fccHandler, AVIMakeFourCC('D', 'I', 'B', ' '));
}

TEST_F(AVISaveOptionsTest, SettingsACompressorIgnoresAreNotRecorded) {
    // Microsoft Video 1 (the default) has no rate control and no quality knob.
    DGQueueDialogAnswer({"avi-options", {{"quality", "2000"}, {"datarate", "50"}}, 1});
    options.dwBytesPerSecond = 768000;
    options.dwFlags |= AVICOMPRESSF_DATARATE;
    ASSERT_TRUE(AVISaveOptions(0, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1, &stream, list));
    EXPECT_EQ(options.fccHandler, AVIMakeFourCC('m', 's', 'v', 'c'));
    EXPECT_EQ(options.dwQuality, 0xFFFFFFFFu);
    EXPECT_EQ(options.dwBytesPerSecond, 0u);
    EXPECT_EQ(options.dwFlags & AVICOMPRESSF_DATARATE, 0u);
    EXPECT_EQ(options.dwKeyFrameEvery, 7u); // key frames it does follow
    // Every Motion JPEG picture is a key frame: there is no rhythm to ask for.
    DGQueueDialogAnswer({"avi-options", {{"codec", "MJPG"}, {"keyframes", "4"}}, 1});
    ASSERT_TRUE(AVISaveOptions(0, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, 1, &stream, list));
    EXPECT_EQ(options.dwKeyFrameEvery, 0u);
    EXPECT_EQ(options.dwFlags & AVICOMPRESSF_KEYFRAMES, 0u);
    EXPECT_EQ(DGUnansweredQuestions(), 2); // each dialog had a value for an item it did not offer
}

TEST_F(AVISaveOptionsTest, CancelledOrRefusedAnswersLeaveTheOptionsAlone) {
    AVICOMPRESSOPTIONS before = options;
    EXPECT_FALSE(AVISaveOptions(0, 3, 1, &stream, list)); // nobody answered
    EXPECT_EQ(DGUnansweredQuestions(), 1);
    DGQueueDialogAnswer({"avi-options", {{"codec", "MJPG"}}, 2}); // cancel pressed
    EXPECT_FALSE(AVISaveOptions(0, 3, 1, &stream, list));
    DGQueueDialogAnswer({"avi-options", {{"codec", "XVID"}}, 1}); // no such compressor
    EXPECT_FALSE(AVISaveOptions(0, 3, 1, &stream, list));
    DGQueueDialogAnswer({"avi-options", {{"codec", "MJPG"}, {"quality", "10001"}}, 1});
    EXPECT_FALSE(AVISaveOptions(0, 3, 1, &stream, list));
    // Key frames cannot be chosen without the flag that offers them.
    DGQueueDialogAnswer({"avi-options", {{"keyframes", "3"}}, 1});
    AVISaveOptions(0, ICMF_CHOOSE_DATARATE, 1, &stream, list);
    EXPECT_EQ(options.fccHandler, before.fccHandler);
    EXPECT_EQ(options.dwKeyFrameEvery, 7u);
    EXPECT_EQ(options.dwQuality, before.dwQuality);
}

// The system's dialog speaks the locale's language, as the C library reads the locale.
TEST(AVIDialogTexts, FollowTheLocale) {
    for (const char* hungarian : {"hu_HU.UTF-8", "hu_HU", "hu", "hu.UTF-8"})
        EXPECT_EQ(AVIDialogTextOf(AVIDialogText::Cancel, hungarian), "Mégse") << hungarian;
    for (const char* other : {"", "C", "POSIX", "en_US.UTF-8", "hun", "de_HU.UTF-8"})
        EXPECT_EQ(AVIDialogTextOf(AVIDialogText::Cancel, other), "Cancel") << other;
    EXPECT_EQ(AVIDialogTextOf(AVIDialogText::FullFrames, "hu_HU.UTF-8"), "Teljes képkockák (tömörítetlen)");

    const char* saved = std::getenv("LC_ALL");
    const std::string before = saved ? saved : "";
    setenv("LC_ALL", "hu_HU.UTF-8", 1);
    EXPECT_EQ(AVIDialogTextOf(AVIDialogText::Title), "Videotömörítés");
    setenv("LC_ALL", "C", 1); // LC_ALL outranks LANG and LC_MESSAGES
    EXPECT_EQ(AVIDialogTextOf(AVIDialogText::Title), "Video Compression");
    if (saved) setenv("LC_ALL", before.c_str(), 1);
    else unsetenv("LC_ALL");
}

} // namespace
