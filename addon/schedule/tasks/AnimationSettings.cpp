#include "schedule/tasks/AnimationSettings.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "resources/AddonResources.h"

#include <cstring>

void AnimationSettings::SetProjectFilePath(std::string_view path) { BKCopyText(projectFilePath, path); }
void AnimationSettings::SetMovieFilePath(std::string_view path) { BKCopyText(movieFilePath, path); }
void AnimationSettings::SetCustomLabelText(std::string_view text) { BKCopyText(customLabelText, text); }
void AnimationSettings::SetLabelObjectName(std::string_view name) { BKCopyText(labelObjectName, name); }

void AnimationSettings::ApplySwitchDefaults() {
    labelObjectOn = customLabelOn = dateLabelOn = false;
    fromCurrentView = use3DWindow = supportCheckOn = true;
    movieKind = QuickTime;
    std::memset(customLabelText, 0, sizeof customLabelText);
    std::memset(labelObjectName, 0, sizeof labelObjectName);
    movie = MovieOptions{};
}

void AnimationSettings::ApplyRangeDefaults() {
    std::memset(projectFilePath, 0, sizeof projectFilePath);
    std::memset(movieFilePath, 0, sizeof movieFilePath);
    projectFileKind = 0;
    for (DateTime* d : {&projectStart, &projectEnd, &animationStart, &animationEnd}) *d = DateTime::FromTicks(0, DateTimeStatus::Invalid);
    step = DateTimeSpan(1, 0, 0, 0);
}

void AnimationSettings::ApplyNameDefaults() {
    SetProjectFilePath(AddonString(32594, 1));
    SetMovieFilePath(AddonString(32594, 2));
    untitled = true;
}

void AnimationSettings::ApplyDefaults() {
    ApplySwitchDefaults();
    ApplyRangeDefaults();
    ApplyNameDefaults();
}

void AnimationSettings::ApplyDefaultNames() {
    ApplyRangeDefaults();
    ApplyNameDefaults();
}

void AnimationSettings::Reset() {
    for (DateTime* d : {&projectStart, &projectEnd, &animationStart, &animationEnd}) d->Clear();
    step = DateTimeSpan();
    untitled = true;
    ApplyRangeDefaults();
    std::memset(customLabelText, 0, sizeof customLabelText);
    std::memset(labelObjectName, 0, sizeof labelObjectName);
}

void AnimationSettings::NormaliseRange(const DateTime& earliestStart, const DateTime& latestFinish) {
    projectStart = earliestStart;
    projectEnd = latestFinish;
    if (animationStart.status != DateTimeStatus::Valid || animationEnd.status != DateTimeStatus::Valid || animationStart > animationEnd) {
        animationStart = projectStart;
        animationEnd = projectEnd;
        step = DateTimeSpan(1, 0, 0, 0);
    }
    if (animationStart < projectStart || animationEnd > projectEnd) {
        animationStart = projectStart;
        animationEnd = projectEnd;
    }
}

std::array<uint8_t, AnimationSettings::kRecordSize> AnimationSettings::ToRecord() const {
    std::array<uint8_t, kRecordSize> r{};
    std::span<uint8_t> b(r);
    LE::Put<int32_t>(b, 0, kRecordTag);
    LE::Put<int32_t>(b, 4, kRecordVersion);
    LE::PutText(b, 8, kProjectPathSize, BKTextOf(projectFilePath));
    LE::PutText(b, 269, kMoviePathSize, BKTextOf(movieFilePath));
    LE::Put<int64_t>(b, 536, animationStart.ToPlatformTime());
    LE::Put<int64_t>(b, 544, animationEnd.ToPlatformTime());
    LE::Put<int32_t>(b, 552, static_cast<int32_t>(step.TotalDays()));
    b[556] = fromCurrentView;
    b[557] = use3DWindow;
    LE::Put<int16_t>(b, 558, movieKind);
    b[560] = labelObjectOn;
    b[561] = customLabelOn;
    b[562] = dateLabelOn;
    LE::PutText(b, 563, kCustomLabelSize, BKTextOf(customLabelText));
    LE::PutText(b, 691, kLabelObjectNameSize, BKTextOf(labelObjectName));
    b[723] = supportCheckOn ? 0 : 1;
    return r;
}

std::vector<uint8_t> AnimationSettings::ToStoredRecord() const {
    auto base = ToRecord();
    std::vector<uint8_t> r(base.begin(), base.end());
    if (movie.IsDefault()) return r;
    r.resize(kMovieRecordSize, 0);
    LE::Put<int32_t>(r, 4, kMovieRecordVersion);
    movie.ToStored(std::span<uint8_t, MovieOptions::kStoredSize>(r.data() + kRecordSize, MovieOptions::kStoredSize));
    return r;
}

bool AnimationSettings::FromRecord(std::span<const uint8_t> b) {
    if (b.size() < kRecordSize || LE::Get<int32_t>(b, 0) != kRecordTag) return false;
    int32_t version = LE::Get<int32_t>(b, 4);
    MovieOptions options;
    if (version == kMovieRecordVersion && b.size() == kMovieRecordSize) {
        if (!options.FromStored(b.subspan<kRecordSize, MovieOptions::kStoredSize>())) return false;
    } else if (version != kRecordVersion || b.size() != kRecordSize) {
        return false;
    }
    movie = options;
    SetProjectFilePath(LE::GetText(b, 8, kProjectPathSize));
    SetMovieFilePath(LE::GetText(b, 269, kMoviePathSize));
    animationStart.FromPlatformTime(static_cast<int32_t>(LE::Get<uint32_t>(b, 536)));
    animationEnd.FromPlatformTime(static_cast<int32_t>(LE::Get<uint32_t>(b, 544)));
    step = DateTimeSpan(LE::Get<int32_t>(b, 552), 0, 0, 0);
    fromCurrentView = b[556] != 0;
    use3DWindow = b[557] != 0;
    movieKind = LE::Get<int16_t>(b, 558);
    labelObjectOn = b[560] != 0;
    customLabelOn = b[561] != 0;
    dateLabelOn = b[562] != 0;
    SetCustomLabelText(LE::GetText(b, 563, kCustomLabelSize));
    SetLabelObjectName(LE::GetText(b, 691, kLabelObjectNameSize));
    supportCheckOn = b[723] == 0;
    return true;
}
