#pragma once
// Reads movie files back with the ffmpeg package's programs, and makes test pictures.
#include "basekit/BKMemory.h"
#include "pixkit/PXPixMap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace probe {

inline std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline std::string Run(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// KEY=VALUE lines of ffprobe's default output.
inline std::map<std::string, std::string> Entries(const std::string& text) {
    std::map<std::string, std::string> m;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        auto eq = line.find('=');
        if (eq != std::string::npos) m.emplace(line.substr(0, eq), line.substr(eq + 1));
        pos = end + 1;
    }
    return m;
}

struct VideoInfo {
    std::string format, codec;
    int width = 0, height = 0, frames = -1;
    std::string rate;
};

inline VideoInfo ProbeVideo(const std::filesystem::path& file) {
    auto f = Entries(Run("ffprobe -v error -show_entries format=format_name -of default=nw=1 " + Quote(file)));
    auto v = Entries(Run("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                         "stream=codec_name,width,height,nb_read_frames,r_frame_rate -of default=nw=1 " + Quote(file)));
    VideoInfo info;
    info.format = f["format_name"];
    info.codec = v["codec_name"];
    info.width = v.count("width") ? std::stoi(v["width"]) : 0;
    info.height = v.count("height") ? std::stoi(v["height"]) : 0;
    info.frames = v.count("nb_read_frames") && !v["nb_read_frames"].empty() && v["nb_read_frames"] != "N/A"
                      ? std::stoi(v["nb_read_frames"]) : -1;
    info.rate = v["r_frame_rate"];
    return info;
}

// One character a video packet in file order: 'K' for a key frame, '.' otherwise.
inline std::string KeyFrames(const std::filesystem::path& file) {
    std::string flags = Run("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 " + Quote(file));
    std::string out;
    size_t pos = 0;
    while (pos < flags.size()) {
        size_t end = flags.find('\n', pos);
        if (end == std::string::npos) end = flags.size();
        if (end > pos) out += flags[pos] == 'K' ? 'K' : '.';
        pos = end + 1;
    }
    return out;
}

inline std::string FormatTag(const std::filesystem::path& file, const std::string& tag) {
    return Entries(Run("ffprobe -v error -show_entries format_tags=" + tag + " -of default=nw=1 " + Quote(file)))["TAG:" + tag];
}

struct Caption {
    double start = 0, duration = 0; // seconds
    std::string text;               // UTF-8
};

// The text track's samples as stored: each a 16-bit big-endian length and the text.
inline std::vector<Caption> Captions(const std::filesystem::path& file) {
    std::string data = Run("ffmpeg -v error -i " + Quote(file) + " -map 0:s:0 -c copy -f data -");
    std::string times = Run("ffprobe -v error -select_streams s:0 -show_entries packet=pts_time,duration_time -of csv=p=0 " +
                            Quote(file));
    std::vector<Caption> out;
    size_t pos = 0, line = 0;
    while (pos + 2 <= data.size()) {
        size_t n = static_cast<size_t>(static_cast<uint8_t>(data[pos])) << 8 | static_cast<uint8_t>(data[pos + 1]);
        Caption c;
        c.text = data.substr(pos + 2, n);
        pos += 2 + n;
        size_t end = times.find('\n', line);
        std::string t = times.substr(line, end == std::string::npos ? std::string::npos : end - line);
        line = end == std::string::npos ? times.size() : end + 1;
        auto comma = t.find(',');
        // The muxer closes each sample with an empty one of no duration.
        if (comma == std::string::npos || t.substr(comma + 1).rfind("N/A", 0) == 0) continue;
        c.start = std::stod(t.substr(0, comma));
        c.duration = std::stod(t.substr(comma + 1));
        out.push_back(c);
    }
    return out;
}

// What the decoder complains about when it plays the whole file; empty for a sound file.
inline std::string DecodeErrors(const std::filesystem::path& file) {
    return Run("ffmpeg -v error -i " + Quote(file) + " -f null - 2>&1");
}

// The first frame decoded to 24-bit blue-green-red, top row first.
inline std::string FirstFrameBgr(const std::filesystem::path& file) {
    return Run("ffmpeg -v error -i " + Quote(file) + " -frames:v 1 -f rawvideo -pix_fmt bgr24 -");
}

// A 32-bit picture: a fixed colour field with a 16-pixel square that moves with `frame`.
inline BKHandle MakePicture(int32_t width, int32_t height, int frame) {
    BKHandle h = PXNewPixMap(width, height, PXPixelFormat::Rgb32);
    auto info = PXReadPixMapInfo(h);
    uint8_t* data = BKHandleData(h);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = data + info->pixelOffset + static_cast<size_t>(y) * info->rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            bool square = x >= frame * 4 && x < frame * 4 + 16 && y >= 8 && y < 24;
            row[4 * x + 0] = square ? 255 : static_cast<uint8_t>(x * 255 / width);
            row[4 * x + 1] = square ? 255 : static_cast<uint8_t>(y * 255 / height);
            row[4 * x + 2] = square ? 255 : 96;
        }
    }
    return h;
}

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = t ? t->name() : "x";
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / ("bv-movie-" + std::to_string(getpid()) + "-" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A tiny file system of its own (a tmpfs) mounted on a folder, for a disk that really fills up.
// Only the superuser may mount: Mounted() tells whether it worked.
class SmallDisk {
public:
    SmallDisk(const std::filesystem::path& folder, const char* size) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        std::string options = std::string("size=") + size;
        mounted_ = geteuid() == 0 && ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

} // namespace probe
