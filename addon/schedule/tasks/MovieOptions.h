#pragma once
// The movie's time, picture size and what is drawn into its picture, beyond the step, window and
// caption the settings always had. Defaults are those movies: one frame a step at 1 or 10 frames
// a second, the window's size, nothing drawn.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

enum class MovieTiming : int16_t { Step = 0, WholeSeconds = 1, DaysPerSecond = 2 };
enum class MovieSize : int16_t { Window = 0, HD720 = 1, HD1080 = 2, UHD2160 = 3 };

// Things drawn into the picture, each a bit.
enum MovieOverlay : uint16_t {
    kOverlayDate = 1, kOverlayTasks = 2, kOverlayLegend = 4, kOverlayProgress = 8, kOverlayGantt = 16, kOverlayTitle = 32,
};
inline constexpr uint16_t kOverlayAll = 63;
enum class MovieCorner : uint8_t { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

struct MovieOptions {
    static constexpr size_t kDateFormatSize = 64;
    static constexpr size_t kTitleSize = 128;
    // The stored form: appended to the settings record when any option differs from its default.
    static constexpr size_t kStoredSize = 232;

    int16_t framesPerSecond = 0; // 0: the step movie's own (1 from the view, 10 along a path)
    MovieTiming timing = MovieTiming::Step;
    int32_t seconds = 20;
    int32_t daysPerSecond = 7;
    MovieSize size = MovieSize::Window;
    uint16_t overlays = 0;
    MovieCorner dateCorner = MovieCorner::TopLeft;
    MovieCorner tasksCorner = MovieCorner::TopRight;
    MovieCorner legendCorner = MovieCorner::BottomRight;
    MovieCorner titleCorner = MovieCorner::BottomLeft;
    int16_t taskLines = 5;
    char dateFormat[kDateFormatSize] = {}; // empty: the default, "%Y.%m.%d."
    char title[kTitleSize] = {};

    bool operator==(const MovieOptions&) const;
    bool IsDefault() const { return *this == MovieOptions{}; }

    // Frame rates a movie may take: 1, 10, 24, 25, 30 or 60, and 0 for the step movie's own.
    static bool IsFrameRate(int32_t rate);
    // The picture size a named size asks for; false for the window's (its size is the host's).
    static bool SizeOf(MovieSize size, int32_t& width, int32_t& height);

    void SetDateFormat(std::string_view text);
    void SetTitle(std::string_view text);
    // The format used: the planner's, or the default.
    std::string_view DateFormat() const;

    void ToStored(std::span<uint8_t, kStoredSize> bytes) const;
    // False (nothing changed) when a value is out of its range.
    bool FromStored(std::span<const uint8_t, kStoredSize> bytes);
};
