// Writes 300 pictures of 1280 x 720 with our movie writers and lets the ffmpeg program encode the
// same pictures with the same codec, then prints each writer's time over ffmpeg's. Exit status 1
// when a ratio is above the limit. Each side runs three times, interleaved, and keeps its best.
#include "dialogkit/DGAnswers.h"
#include "movie/AVICreator.h"
#include "movie/MOVCreator.h"
#include "pixkit/PXPixMap.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int32_t kWidth = 1280, kHeight = 720;
constexpr int kFrames = 300;
constexpr int kDistinct = 30; // the pictures repeat so they fit in memory; ffmpeg loops its input as often
constexpr double kLimit = 1.1;

// A rendering-like picture: shaded walls, a sky gradient and a block that moves with `frame`.
BKHandle MakeFrame(int frame) {
    BKHandle h = PXNewPixMap(kWidth, kHeight, PXPixelFormat::Rgb32);
    auto info = PXReadPixMapInfo(h);
    uint8_t* data = BKHandleData(h);
    for (int32_t y = 0; y < kHeight; ++y) {
        uint8_t* row = data + info->pixelOffset + static_cast<size_t>(y) * info->rowBytes;
        for (int32_t x = 0; x < kWidth; ++x) {
            bool sky = y < kHeight / 3;
            bool block = x >= 200 + frame * 20 && x < 420 + frame * 20 && y >= 300 && y < 600;
            uint8_t shade = static_cast<uint8_t>((x / 160) * 24 + 40);
            row[4 * x + 0] = block ? 60 : sky ? static_cast<uint8_t>(255 - y / 2) : shade;
            row[4 * x + 1] = block ? 90 : sky ? static_cast<uint8_t>(200 - y / 3) : shade;
            row[4 * x + 2] = block ? 200 : sky ? 120 : static_cast<uint8_t>(shade / 2 + 60);
        }
    }
    return h;
}

double Seconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool RunFFmpeg(const std::string& raw, const std::string& codecArgs, const std::string& out) {
    std::string cmd = "ffmpeg -v error -y -f rawvideo -pix_fmt bgra -s " + std::to_string(kWidth) + "x" +
                      std::to_string(kHeight) + " -r 10 -stream_loop " + std::to_string(kFrames / kDistinct - 1) +
                      " -i '" + raw + "' " + codecArgs + " '" + out + "'";
    return std::system(cmd.c_str()) == 0;
}

} // namespace

int main() {
    auto dir = std::filesystem::temp_directory_path() / ("bv-movie-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    std::vector<BKHandle> frames;
    std::string raw = (dir / "frames.raw").string();
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < kDistinct; ++i) {
            frames.push_back(MakeFrame(i));
            auto info = PXReadPixMapInfo(frames.back());
            out.write(reinterpret_cast<const char*>(BKHandleData(frames.back()) + info->pixelOffset),
                      static_cast<std::streamsize>(info->rowBytes) * kHeight);
        }
    }

    auto writeAll = [&](IMovieFileCreator& writer) {
        for (int i = 0; i < kFrames; ++i) {
            writer.SetCaption("Bauvista");
            if (!writer.AddFrame(frames[static_cast<size_t>(i % kDistinct)])) {
                std::fprintf(stderr, "frame %d was not written\n", i);
                std::exit(2);
            }
        }
    };
    auto ours_avi = [&] {
        DGQueueDialogAnswer({"avi-options", {}, 1});
        AVICreator writer((dir / "ours.avi").string(), 32, kWidth, kHeight, kFrames, 10);
        writeAll(writer);
    };
    auto ours_mov = [&] {
        MOVCreator writer((dir / "ours.mov").string(), 32, kWidth, kHeight, kFrames, 10);
        writeAll(writer);
    };
    bool ffmpegOk = true;
    auto theirs_avi = [&] { ffmpegOk = RunFFmpeg(raw, "-c:v msvideo1", (dir / "ffmpeg.avi").string()) && ffmpegOk; };
    auto theirs_mov = [&] {
        ffmpegOk = RunFFmpeg(raw, "-c:v libx264 -pix_fmt yuv420p -movflags +faststart", (dir / "ffmpeg.mov").string()) &&
                   ffmpegOk;
    };

    double oursAvi = 1e30, theirsAvi = 1e30, oursMov = 1e30, theirsMov = 1e30;
    for (int run = 0; run < 3; ++run) {
        oursAvi = std::min(oursAvi, Seconds(ours_avi));
        theirsAvi = std::min(theirsAvi, Seconds(theirs_avi));
        oursMov = std::min(oursMov, Seconds(ours_mov));
        theirsMov = std::min(theirsMov, Seconds(theirs_mov));
    }
    for (BKHandle h : frames) BKDisposeHandle(h);
    std::filesystem::remove_all(dir);
    if (!ffmpegOk) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 2;
    }

    double ratioAvi = oursAvi / theirsAvi, ratioMov = oursMov / theirsMov;
    std::printf("%d frames of %dx%d, best of 3\n", kFrames, kWidth, kHeight);
    std::printf("AVI, Microsoft Video 1:     ours %.3f s, ffmpeg %.3f s, ratio %.2f\n", oursAvi, theirsAvi, ratioAvi);
    std::printf("MOV, H.264:                 ours %.3f s, ffmpeg %.3f s, ratio %.2f\n", oursMov, theirsMov, ratioMov);
    std::printf("limit %.2f: %s\n", kLimit, ratioAvi <= kLimit && ratioMov <= kLimit ? "held" : "EXCEEDED");
    return ratioAvi <= kLimit && ratioMov <= kLimit ? 0 : 1;
}
