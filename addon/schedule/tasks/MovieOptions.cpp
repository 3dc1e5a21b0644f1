#include "schedule/tasks/MovieOptions.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kDefaultDateFormat = "%Y.%m.%d.";
constexpr int32_t kMostSeconds = 24 * 3600;
constexpr int32_t kMostDaysPerSecond = 3650;
constexpr int16_t kMostTaskLines = 20;

// Offsets of the stored form.
enum : size_t {
    kRate = 0, kTiming = 2, kSeconds = 4, kDaysPerSecond = 8, kSize = 12, kOverlays = 14, kCorners = 16,
    kTaskLines = 20, kDateFormatAt = 22, kTitleAt = 86, kEnd = 214,
};
static_assert(kTitleAt == kDateFormatAt + MovieOptions::kDateFormatSize);
static_assert(kEnd == kTitleAt + MovieOptions::kTitleSize && kEnd <= MovieOptions::kStoredSize);

} // namespace

bool MovieOptions::operator==(const MovieOptions& o) const {
    return framesPerSecond == o.framesPerSecond && timing == o.timing && seconds == o.seconds &&
           daysPerSecond == o.daysPerSecond && size == o.size && overlays == o.overlays && dateCorner == o.dateCorner &&
           tasksCorner == o.tasksCorner && legendCorner == o.legendCorner && titleCorner == o.titleCorner &&
           taskLines == o.taskLines && BKTextOf(dateFormat) == BKTextOf(o.dateFormat) && BKTextOf(title) == BKTextOf(o.title);
}

bool MovieOptions::IsFrameRate(int32_t rate) {
    constexpr std::array<int32_t, 7> kRates{0, 1, 10, 24, 25, 30, 60};
    return std::find(kRates.begin(), kRates.end(), rate) != kRates.end();
}

bool MovieOptions::SizeOf(MovieSize size, int32_t& width, int32_t& height) {
    switch (size) {
    case MovieSize::HD720: width = 1280, height = 720; return true;
    case MovieSize::HD1080: width = 1920, height = 1080; return true;
    case MovieSize::UHD2160: width = 3840, height = 2160; return true;
    case MovieSize::Window: break;
    }
    return false;
}

void MovieOptions::SetDateFormat(std::string_view text) { BKCopyText(dateFormat, text); }
void MovieOptions::SetTitle(std::string_view text) { BKCopyText(title, text); }

std::string_view MovieOptions::DateFormat() const {
    std::string_view own = BKTextOf(dateFormat);
    return own.empty() ? kDefaultDateFormat : own;
}

void MovieOptions::ToStored(std::span<uint8_t, kStoredSize> bytes) const {
    std::span<uint8_t> b(bytes);
    std::fill(b.begin(), b.end(), uint8_t{0});
    LE::Put<int16_t>(b, kRate, framesPerSecond);
    LE::Put<int16_t>(b, kTiming, static_cast<int16_t>(timing));
    LE::Put<int32_t>(b, kSeconds, seconds);
    LE::Put<int32_t>(b, kDaysPerSecond, daysPerSecond);
    LE::Put<int16_t>(b, kSize, static_cast<int16_t>(size));
    LE::Put<uint16_t>(b, kOverlays, overlays);
    b[kCorners + 0] = static_cast<uint8_t>(dateCorner);
    b[kCorners + 1] = static_cast<uint8_t>(tasksCorner);
    b[kCorners + 2] = static_cast<uint8_t>(legendCorner);
    b[kCorners + 3] = static_cast<uint8_t>(titleCorner);
    LE::Put<int16_t>(b, kTaskLines, taskLines);
    LE::PutText(b, kDateFormatAt, kDateFormatSize, BKTextOf(dateFormat));
    LE::PutText(b, kTitleAt, kTitleSize, BKTextOf(title));
}

bool MovieOptions::FromStored(std::span<const uint8_t, kStoredSize> bytes) {
    std::span<const uint8_t> b(bytes);
    MovieOptions o;
    o.framesPerSecond = LE::Get<int16_t>(b, kRate);
    int16_t timingValue = LE::Get<int16_t>(b, kTiming);
    o.seconds = LE::Get<int32_t>(b, kSeconds);
    o.daysPerSecond = LE::Get<int32_t>(b, kDaysPerSecond);
    int16_t sizeValue = LE::Get<int16_t>(b, kSize);
    o.overlays = LE::Get<uint16_t>(b, kOverlays);
    o.taskLines = LE::Get<int16_t>(b, kTaskLines);
    if (!IsFrameRate(o.framesPerSecond) || timingValue < 0 || timingValue > 2 || o.seconds < 1 ||
        o.seconds > kMostSeconds || o.daysPerSecond < 1 || o.daysPerSecond > kMostDaysPerSecond || sizeValue < 0 ||
        sizeValue > 3 || (o.overlays & ~kOverlayAll) != 0 || o.taskLines < 1 || o.taskLines > kMostTaskLines)
        return false;
    for (size_t i = 0; i < 4; ++i)
        if (b[kCorners + i] > 3) return false;
    o.timing = static_cast<MovieTiming>(timingValue);
    o.size = static_cast<MovieSize>(sizeValue);
    o.dateCorner = static_cast<MovieCorner>(b[kCorners + 0]);
    o.tasksCorner = static_cast<MovieCorner>(b[kCorners + 1]);
    o.legendCorner = static_cast<MovieCorner>(b[kCorners + 2]);
    o.titleCorner = static_cast<MovieCorner>(b[kCorners + 3]);
    o.SetDateFormat(LE::GetText(b, kDateFormatAt, kDateFormatSize));
    o.SetTitle(LE::GetText(b, kTitleAt, kTitleSize));
    *this = o;
    return true;
}
