#include "movie/MovieOptionsDialog.h"

#include "basekit/BKResources.h"
#include "bytes/FixedText.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonResources.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

enum : int16_t {
    kConfirm = 1, kCancel = 2, kTiming = 5, kSeconds = 6, kDays = 8, kRate = 11, kSize = 13, kDateOn = 15,
    kDateCorner = 16, kDateFormat = 17, kTasksOn = 18, kTasksCorner = 19, kTaskLines = 20, kLegendOn = 21,
    kLegendCorner = 22, kTitleOn = 23, kTitleCorner = 24, kTitleText = 25, kProgressOn = 26, kGanttOn = 27,
};

// Items of the text list.
enum : int16_t { kTimingTexts = 1, kOwnRateText = 4, kWindowSizeText = 5, kCornerTexts = 6 };

constexpr std::array<int16_t, 7> kRates{0, 1, 10, 24, 25, 30, 60};
constexpr std::array<const char*, 3> kSizeNames{"1280 × 720", "1920 × 1080", "3840 × 2160"};

std::string Text(int16_t item) { return AddonString(MovieOptionsDialog::kTextList, item); }

void FillCorners(DGItem& item, MovieCorner corner) {
    item.entries.clear();
    for (int16_t i = 0; i < 4; ++i) item.entries.push_back({Text(static_cast<int16_t>(kCornerTexts + i)), i});
    item.value = static_cast<int32_t>(corner) + 1;
}

MovieCorner CornerOf(const DGItem& item) { return static_cast<MovieCorner>(std::clamp(item.value, 1, 4) - 1); }

void Enable(DGModalDialog& d) {
    int32_t timing = d.FindItem(kTiming)->value;
    d.FindItem(kSeconds)->enabled = timing == 2;
    d.FindItem(kDays)->enabled = timing == 3;
    bool date = d.FindItem(kDateOn)->value != 0, tasks = d.FindItem(kTasksOn)->value != 0;
    bool title = d.FindItem(kTitleOn)->value != 0;
    d.FindItem(kDateCorner)->enabled = d.FindItem(kDateFormat)->enabled = date;
    d.FindItem(kTasksCorner)->enabled = d.FindItem(kTaskLines)->enabled = tasks;
    d.FindItem(kLegendCorner)->enabled = d.FindItem(kLegendOn)->value != 0;
    d.FindItem(kTitleCorner)->enabled = d.FindItem(kTitleText)->enabled = title;
}

} // namespace

bool MovieOptionsDialog::Run(MovieOptions& options) {
    BKResModuleScope scope(AddonResModule());
    auto dialog = MakeAddonModalDialog(kDialogId);
    if (!dialog) return false;
    DGModalDialog& d = *dialog;
    const MovieOptions& o = options;

    DGItem& timing = *d.FindItem(kTiming);
    for (int16_t i = 0; i < 3; ++i) timing.entries.push_back({Text(static_cast<int16_t>(kTimingTexts + i)), i});
    timing.value = static_cast<int32_t>(o.timing) + 1;
    DGItem& seconds = *d.FindItem(kSeconds);
    seconds.minimum = 1, seconds.maximum = 3600, seconds.value = std::clamp(o.seconds, 1, 3600);
    DGItem& days = *d.FindItem(kDays);
    days.minimum = 1, days.maximum = 365, days.value = std::clamp(o.daysPerSecond, 1, 365);
    DGItem& rate = *d.FindItem(kRate);
    for (size_t i = 0; i < kRates.size(); ++i) {
        rate.entries.push_back({i == 0 ? Text(kOwnRateText) : std::to_string(kRates[i]), kRates[i]});
        if (kRates[i] == o.framesPerSecond) rate.value = static_cast<int32_t>(i) + 1;
    }
    DGItem& size = *d.FindItem(kSize);
    size.entries.push_back({Text(kWindowSizeText), 0});
    for (size_t i = 0; i < kSizeNames.size(); ++i) size.entries.push_back({kSizeNames[i], static_cast<int32_t>(i) + 1});
    size.value = static_cast<int32_t>(o.size) + 1;

    d.FindItem(kDateOn)->value = (o.overlays & kOverlayDate) != 0;
    FillCorners(*d.FindItem(kDateCorner), o.dateCorner);
    d.FindItem(kDateFormat)->text = std::string(o.DateFormat());
    d.FindItem(kTasksOn)->value = (o.overlays & kOverlayTasks) != 0;
    FillCorners(*d.FindItem(kTasksCorner), o.tasksCorner);
    DGItem& lines = *d.FindItem(kTaskLines);
    lines.minimum = 1, lines.maximum = 20, lines.value = std::clamp<int32_t>(o.taskLines, 1, 20);
    d.FindItem(kLegendOn)->value = (o.overlays & kOverlayLegend) != 0;
    FillCorners(*d.FindItem(kLegendCorner), o.legendCorner);
    d.FindItem(kTitleOn)->value = (o.overlays & kOverlayTitle) != 0;
    FillCorners(*d.FindItem(kTitleCorner), o.titleCorner);
    d.FindItem(kTitleText)->text = std::string(BKTextOf(o.title));
    d.FindItem(kProgressOn)->value = (o.overlays & kOverlayProgress) != 0;
    d.FindItem(kGanttOn)->value = (o.overlays & kOverlayGantt) != 0;
    Enable(d);

    d.onChange = [](DGModalDialog& dialog, int16_t) { Enable(dialog); };
    d.onClick = [](DGModalDialog&, int16_t item) { return item == kConfirm || item == kCancel; };
    if (d.Run(kConfirm, kCancel) != kConfirm) return false;

    MovieOptions chosen = options;
    chosen.timing = static_cast<MovieTiming>(std::clamp(timing.value, 1, 3) - 1);
    chosen.seconds = seconds.value;
    chosen.daysPerSecond = days.value;
    chosen.framesPerSecond = kRates[static_cast<size_t>(std::clamp<int32_t>(rate.value, 1, kRates.size()) - 1)];
    chosen.size = static_cast<MovieSize>(std::clamp(size.value, 1, 4) - 1);
    uint16_t overlays = 0;
    if (d.FindItem(kDateOn)->value) overlays |= kOverlayDate;
    if (d.FindItem(kTasksOn)->value) overlays |= kOverlayTasks;
    if (d.FindItem(kLegendOn)->value) overlays |= kOverlayLegend;
    if (d.FindItem(kTitleOn)->value) overlays |= kOverlayTitle;
    if (d.FindItem(kProgressOn)->value) overlays |= kOverlayProgress;
    if (d.FindItem(kGanttOn)->value) overlays |= kOverlayGantt;
    chosen.overlays = overlays;
    chosen.dateCorner = CornerOf(*d.FindItem(kDateCorner));
    chosen.tasksCorner = CornerOf(*d.FindItem(kTasksCorner));
    chosen.legendCorner = CornerOf(*d.FindItem(kLegendCorner));
    chosen.titleCorner = CornerOf(*d.FindItem(kTitleCorner));
    chosen.taskLines = static_cast<int16_t>(lines.value);
    // The default format is kept as none of the planner's own, so it stays the default.
    std::string format = d.FindItem(kDateFormat)->text;
    chosen.SetDateFormat(format == MovieOptions{}.DateFormat() ? std::string_view{} : std::string_view(format));
    chosen.SetTitle(d.FindItem(kTitleText)->text);
    options = chosen;
    return true;
}
