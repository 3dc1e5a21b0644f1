// Writes 300 pictures of 1280 x 720 with our movie writers (AVI, QuickTime, MP4) and lets the
// ffmpeg program encode the same pictures with the same codec, then prints each writer's time over ffmpeg's: first with the
// encoding done inside the writer's calls ("caller"), then on the movie's own thread ("thread",
// the default). The pictures are real ones: the example house seen by the host's renderer from 30
// places around it, each shown 10 times. Exit status 1 when a ratio of the default is above the
// limit. Each side runs three times, interleaved, and keeps its best.
#include "dialogkit/DGAnswers.h"
#include "movie/AVICreator.h"
#include "avifile/AVIFile.h"
#include "host/project/HostProjectFile.h"
#include "host/render/WindowPictures.h"
#include "movie/MOVCreator.h"
#include "movie/MP4Creator.h"
#include "moviekit/MKMovie.h"
#include "pixkit/PXPixMap.h"

#include <cmath>
#include <cstring>
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

// The example house from the place `frame` of 30 around it, in the host's 3D window.
BKHandle MakeFrame(HostModel& model, int frame) {
    double angle = frame * 2 * 3.14159265358979 / kDistinct;
    double x = 6 + 26 * std::cos(angle - 2.2), y = 4 + 26 * std::sin(angle - 2.2);
    ViewCamera camera = model.view.Camera();
    camera.eye = {x, y, 10 + 4 * std::sin(angle)};
    model.view.SetCamera(camera);
    Image image = RenderWindow(model, RenderStyle::Window3D);
    BKHandle h = PXNewPixMap(kWidth, kHeight, PXPixelFormat::Rgb32);
    auto info = PXReadPixMapInfo(h);
    uint8_t* data = BKHandleData(h);
    for (int32_t row = 0; row < kHeight; ++row)
        std::memcpy(data + info->pixelOffset + static_cast<size_t>(row) * info->rowBytes,
                    image.pixels.data() + static_cast<size_t>(row) * kWidth, static_cast<size_t>(kWidth) * 4);
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
    auto loaded = LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp");
    if (!loaded.model) {
        std::fprintf(stderr, "the example house cannot be read\n");
        return 2;
    }
    HostModel& model = *loaded.model;
    model.windows.view3D.Set(kWidth, kHeight, {1, 1, 1});
    auto dir = std::filesystem::temp_directory_path() / ("bv-movie-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    std::vector<BKHandle> frames;
    std::string raw = (dir / "frames.raw").string();
    {
        std::ofstream out(raw, std::ios::binary);
        for (int i = 0; i < kDistinct; ++i) {
            frames.push_back(MakeFrame(model, i));
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
    auto ours_mp4 = [&] {
        MP4Creator writer((dir / "ours.mp4").string(), 32, kWidth, kHeight, kFrames, 10);
        writeAll(writer);
    };
    bool ffmpegOk = true;
    auto theirs_avi = [&] { ffmpegOk = RunFFmpeg(raw, "-c:v msvideo1", (dir / "ffmpeg.avi").string()) && ffmpegOk; };
    auto theirs_mov = [&] {
        ffmpegOk = RunFFmpeg(raw, "-c:v libx264 -pix_fmt yuv420p -movflags +faststart", (dir / "ffmpeg.mov").string()) &&
                   ffmpegOk;
    };
    auto theirs_mp4 = [&] {
        ffmpegOk = RunFFmpeg(raw, "-c:v libx264 -preset veryfast -crf 21 -pix_fmt yuv420p -movflags +faststart",
                             (dir / "ffmpeg.mp4").string()) &&
                   ffmpegOk;
    };

    double theirsAvi = 1e30, theirsMov = 1e30, theirsMp4 = 1e30;
    // [0] in the caller, [1] on the thread
    double oursAvi[2] = {1e30, 1e30}, oursMov[2] = {1e30, 1e30}, oursMp4[2] = {1e30, 1e30};
    for (int run = 0; run < 3; ++run) {
        for (int thread = 0; thread < 2; ++thread) {
            AVIFileSetEncoderThread(thread != 0);
            MKSetEncoderThread(thread != 0);
            oursAvi[thread] = std::min(oursAvi[thread], Seconds(ours_avi));
            oursMov[thread] = std::min(oursMov[thread], Seconds(ours_mov));
            oursMp4[thread] = std::min(oursMp4[thread], Seconds(ours_mp4));
        }
        theirsAvi = std::min(theirsAvi, Seconds(theirs_avi));
        theirsMov = std::min(theirsMov, Seconds(theirs_mov));
        theirsMp4 = std::min(theirsMp4, Seconds(theirs_mp4));
    }
    for (BKHandle h : frames) BKDisposeHandle(h);
    std::filesystem::remove_all(dir);
    if (!ffmpegOk) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 2;
    }

    std::printf("%d frames of %dx%d (the example house from %d places), best of 3\n", kFrames, kWidth, kHeight,
                kDistinct);
    const char* where[2] = {"caller", "thread"};
    for (int t = 0; t < 2; ++t) {
        std::printf("AVI, Microsoft Video 1, %s: ours %.3f s, ffmpeg %.3f s, ratio %.2f\n", where[t], oursAvi[t],
                    theirsAvi, oursAvi[t] / theirsAvi);
        std::printf("MOV, H.264,             %s: ours %.3f s, ffmpeg %.3f s, ratio %.2f\n", where[t], oursMov[t],
                    theirsMov, oursMov[t] / theirsMov);
        std::printf("MP4, H.264,             %s: ours %.3f s, ffmpeg %.3f s, ratio %.2f\n", where[t], oursMp4[t],
                    theirsMp4, oursMp4[t] / theirsMp4);
    }
    double ratioAvi = oursAvi[1] / theirsAvi, ratioMov = oursMov[1] / theirsMov, ratioMp4 = oursMp4[1] / theirsMp4;
    bool held = ratioAvi <= kLimit && ratioMov <= kLimit && ratioMp4 <= kLimit;
    std::printf("limit %.2f: %s\n", kLimit, held ? "held" : "EXCEEDED");
    return held ? 0 : 1;
}
