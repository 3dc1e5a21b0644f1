#include "movie/AnimationDialog.h"

#include "basekit/BKMemory.h"
#include "basekit/BKText.h"
#include "basekit/OwnedHandle.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "filekit/FKLocation.h"
#include "hostapi/HostElementRecord.h"
#include "hostapi/HostLibPartRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "movie/CameraRecords.h"
#include "movie/FrameTimes.h"
#include "movie/MovieOptionsDialog.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <cstring>

namespace {

enum : int16_t {
    kConfirm = 1, kCancel = 2, kStart = 5, kEnd = 7, kStep = 9, kUnit = 10, kFrames = 12, kCurrentView = 14,
    kCameraPath = 15, kPathPopUp = 16, kWindow3D = 17, kPhotoWindow = 18, kMovieKind = 19, kLabelOn = 22,
    kLabelName = 23, kChooseLabel = 24, kCustomOn = 25, kDateOn = 26, kCustomText = 27, kOptions = 28,
};

constexpr int16_t kDefaultLabelPartList = 32607;
// Items of the movie kinds' list (32503) and of the file extensions (32598) that name MP4.
constexpr int16_t kMp4KindText = 3;
constexpr int16_t kMp4Extension = 10;

// The kind the pop-up shows for a stored kind; an unknown one is QuickTime's.
int16_t KnownMovieKind(int32_t kind) {
    return kind == VideoForWindows ? VideoForWindows : kind == Mpeg4 ? Mpeg4 : QuickTime;
}

std::u16string Utf16Of(std::string_view cp1250) {
    std::u16string s = BKToUtf16(cp1250);
    if (s.size() > 255) s.resize(255);
    return s;
}

// Searches a library part by name (8-bit) or, with an empty name, by its unique id.
bool SearchLibPart(std::string_view name, const std::string& uniqueId, std::array<uint8_t, HostLibPart::kSize>& rec) {
    rec.fill(0);
    std::u16string n = Utf16Of(name);
    for (size_t i = 0; i < n.size(); ++i) LE::Put<uint16_t>(rec, HostLibPart::kName + 2 * i, n[i]);
    if (n.empty()) {
        size_t len = std::min(uniqueId.size(), HostLibPart::kUniqueIdSize - 1);
        std::memcpy(rec.data() + HostLibPart::kUniqueId, uniqueId.data(), len);
    }
    GSErr err = HostLibPartSearch(rec.data());
    OwnedHandle location(LE::Get<uint32_t>(rec, HostLibPart::kLocation));
    LE::Put<uint32_t>(rec, HostLibPart::kLocation, 0);
    return err == kHostNoError;
}

std::string NameOfLibPart(const std::array<uint8_t, HostLibPart::kSize>& rec) {
    std::u16string n;
    for (size_t i = 0; i < HostLibPart::kNameUnits; ++i) {
        char16_t c = LE::Get<uint16_t>(rec, HostLibPart::kName + 2 * i);
        if (c == 0) break;
        n.push_back(c);
    }
    return BKFromUtf16(n);
}

} // namespace

AnimationDialog::AnimationDialog(TaskDB& taskDB) : taskDB_(taskDB) {
    units_ = {AddonString(32601, 1), AddonString(32601, 2)};
    dialog_ = MakeAddonModalDialog(kDialogId);
}

AnimationDialog::~AnimationDialog() = default;

bool AnimationDialog::On(int16_t item) {
    DGItem* i = dialog_->FindItem(item);
    return i && i->value != 0;
}

DateTime AnimationDialog::ItemDate(int16_t item) {
    DateTime d;
    d.FromPlatformTime(dialog_->FindItem(item)->value);
    return d;
}

int32_t AnimationDialog::CamerasOfPath(int32_t pathIndex) {
    int32_t count = 0;
    for (int32_t i = HighestElementIndex(HostElement::Camera); i >= 1; --i) {
        auto camera = ReadElementByIndex(HostElement::Camera, i);
        if (!camera.empty() && LE::Get<int32_t>(camera, HostElement::kCameraPathIndex) == pathIndex) ++count;
    }
    return count;
}

int32_t AnimationDialog::CameraPathFrameCount(int32_t pathIndex) {
    auto path = ReadElementByIndex(HostElement::CameraPath, pathIndex);
    if (path.empty()) return -1;
    int32_t sum = 0, cameras = 0;
    for (int32_t i = HighestElementIndex(HostElement::Camera); i >= 1; --i) {
        auto camera = ReadElementByIndex(HostElement::Camera, i);
        if (camera.empty() || LE::Get<int32_t>(camera, HostElement::kCameraPathIndex) != pathIndex) continue;
        sum += LE::Get<int16_t>(camera, HostElement::kCameraFrames);
        ++cameras;
    }
    int32_t k = LE::Get<int32_t>(path, HostElement::kPathCameraFrames);
    bool closed = path[HostElement::kPathClosed] != 0;
    return sum + (closed ? (cameras - 1) * k + 1 : k * cameras);
}

void AnimationDialog::LabelObjectCheck() {
    AnimationSettings& s = taskDB_.Settings();
    // Without a choice the add-on's own label part serves; a ticked box would otherwise give
    // frames without a date.
    if (BKTextOf(s.labelObjectName).empty()) s.SetLabelObjectName(AddonString(kDefaultLabelPartList, 1));
    std::array<uint8_t, HostLibPart::kSize> rec{};
    bool found = SearchLibPart(BKTextOf(s.labelObjectName), {}, rec);
    if (!found) {
        std::array<uint8_t, HostUniqueIdRequest::kSize> request{};
        LE::Put<uint32_t>(request, HostUniqueIdRequest::kVariation, kLabelObjectVariation);
        LE::Put<int16_t>(request, HostUniqueIdRequest::kTemplateId, kLabelObjectTemplateId);
        char uniqueId[HostLibPart::kUniqueIdSize] = {};
        if (HostUtility(kHostSelTypeTemplateId, request.data(), uniqueId) == kHostNoError) {
            uniqueId[sizeof uniqueId - 1] = 0;
            found = SearchLibPart({}, uniqueId, rec);
        }
    }
    if (found && taskDB_.LabelParameters() == 0) {
        OwnedHandle params;
        int32_t count = 0;
        if (HostLibPartGetParams(LE::Get<int32_t>(rec, HostLibPart::kIndex), params.Receive(), &count) == kHostNoError && params) {
            auto n = static_cast<int32_t>(params.Size() / HostLibPartParam::kSize);
            taskDB_.SetLabelParameters(std::move(params), n);
        }
    }
    if (!found || taskDB_.LabelParameters() == 0 || taskDB_.LabelParameterCount() == 0) {
        s.labelObjectOn = false;
        std::memset(s.labelObjectName, 0, sizeof s.labelObjectName);
    }
}

void AnimationDialog::FillCameraPaths() {
    DGItem& popup = *dialog_->FindItem(kPathPopUp);
    popup.entries.clear();
    pathIndices_.clear();
    int32_t selected = 0;
    int32_t highest = HighestElementIndex(HostElement::CameraPath);
    for (int32_t j = 1; j <= highest; ++j) {
        auto path = ReadElementByIndex(HostElement::CameraPath, j);
        if (path.empty() || LE::Get<int32_t>(path, HostElement::kPathInactive) != 0) continue;
        if (CamerasOfPath(j) < 2) continue;
        popup.entries.push_back({std::string(LE::GetText(path, HostElement::kIdText, HostElement::kIdTextSize)), j});
        pathIndices_.push_back(j);
        if (path[HostElement::kPathActive] != 0 && selected == 0) selected = static_cast<int32_t>(popup.entries.size());
    }
    popup.value = popup.entries.empty() ? 0 : (selected ? selected : 1);
    selectedPath_ = popup.value ? pathIndices_[static_cast<size_t>(popup.value) - 1] : -1;
}

void AnimationDialog::ComputeCurrentViewFrames() {
    if (!dialog_->FindItem(kStep)->enabled) return;
    DateTime first = ItemDate(kStart).StartOfDay(), last = ItemDate(kEnd).EndOfDay();
    if (first <= last) {
        int64_t days = (last - first).TotalDays();
        int32_t n = dialog_->FindItem(kStep)->value;
        if (n < 1) n = 1;
        int64_t frames = days / n + (days % n != 0 ? 1 : 0);
        frameCount_ = static_cast<int32_t>(frames < 1 ? 1 : frames);
        dialog_->FindItem(kFrames)->text = " " + std::to_string(frameCount_);
        ShowTimedFrames();
    } else {
        dialog_->FindItem(kFrames)->text = " ?";
    }
    dialog_->FindItem(kUnit)->text = units_[1];
}

void AnimationDialog::ShowTimedFrames() {
    if (!On(kCurrentView)) return;
    AnimationSettings probe = taskDB_.Settings();
    probe.movie = options_;
    probe.fromCurrentView = true;
    probe.animationStart = ItemDate(kStart).StartOfDay();
    probe.animationEnd = ItemDate(kEnd).EndOfDay();
    FrameTimes times(probe, frameCount_);
    if (times.Timed()) dialog_->FindItem(kFrames)->text = " " + std::to_string(times.Count());
}

void AnimationDialog::ComputeCameraPathFrames() {
    if (!On(kCameraPath)) return;
    DGItem& popup = *dialog_->FindItem(kPathPopUp);
    selectedPath_ = popup.value >= 1 && static_cast<size_t>(popup.value) <= pathIndices_.size()
                        ? pathIndices_[static_cast<size_t>(popup.value) - 1]
                        : -1;
    int32_t frames = selectedPath_ >= 1 ? CameraPathFrameCount(selectedPath_) : -1;
    frameCount_ = frames < 0 ? 0 : frames;
    dialog_->FindItem(kFrames)->text = " " + std::to_string(frameCount_);
    DateTime first = ItemDate(kStart).StartOfDay(), last = ItemDate(kEnd).EndOfDay();
    int64_t span = (last - first).TotalSeconds();
    // Fewer than two frames leave no interval to share: the step is the whole span.
    int64_t parts = frameCount_ >= 2 ? frameCount_ - 1 : 1;
    int64_t seconds = span / parts + (span % parts != 0 ? 1 : 0);
    step_ = DateTimeSpan::FromTicks(seconds * kTicksPerSecond);
    DGItem& stepItem = *dialog_->FindItem(kStep);
    if (step_.TotalDays() < 1) {
        stepItem.value = static_cast<int32_t>(step_.TotalHours());
        dialog_->FindItem(kUnit)->text = units_[0];
    } else {
        stepItem.value = static_cast<int32_t>(step_.TotalDays());
        dialog_->FindItem(kUnit)->text = units_[1];
    }
}

void AnimationDialog::UpdateCaptionItems() {
    // Both QuickTime and MP4 movies carry the caption as a text track.
    bool quickTime = dialog_->FindItem(kMovieKind)->value != VideoForWindows;
    dialog_->FindItem(kCustomOn)->enabled = quickTime;
    dialog_->FindItem(kDateOn)->enabled = quickTime;
    dialog_->FindItem(kCustomText)->enabled = quickTime && On(kCustomOn);
}

void AnimationDialog::Open() {
    AnimationSettings& s = taskDB_.Settings();
    LabelObjectCheck();
    options_ = s.movie;
    int32_t lo = s.projectStart.ToPlatformTime(), hi = s.projectEnd.DayBefore().ToPlatformTime();
    for (int16_t date : {kStart, kEnd}) {
        DGItem& item = *dialog_->FindItem(date);
        item.minimum = lo;
        item.maximum = hi;
    }
    dialog_->FindItem(kStart)->value = s.animationStart.ToPlatformTime();
    dialog_->FindItem(kEnd)->value = s.animationEnd.DayBefore().ToPlatformTime();
    DGItem& stepItem = *dialog_->FindItem(kStep);
    stepItem.minimum = 1;
    stepItem.maximum = 365;
    stepItem.value = static_cast<int32_t>(std::max<int64_t>(1, s.step.TotalDays()));
    DGItem& kinds = *dialog_->FindItem(kMovieKind);
    kinds.entries = {{AddonString(32503, 1), QuickTime},
                     {AddonString(32503, 2), VideoForWindows},
                     {AddonString(32503, kMp4KindText), Mpeg4}};

    FillCameraPaths();
    if (pathIndices_.empty()) {
        dialog_->FindItem(kCameraPath)->enabled = false;
        dialog_->FindItem(kPathPopUp)->enabled = false;
        s.fromCurrentView = true;
    }
    if (s.fromCurrentView) {
        dialog_->FindItem(kCurrentView)->value = 1;
        dialog_->FindItem(kCameraPath)->value = 0;
        ComputeCurrentViewFrames();
    } else {
        dialog_->FindItem(kCurrentView)->value = 0;
        dialog_->FindItem(kCameraPath)->value = 1;
        rememberedStep_ = stepItem.value;
        ComputeCameraPathFrames();
        stepItem.enabled = false;
    }
    dialog_->FindItem(kWindow3D)->value = s.use3DWindow ? 1 : 0;
    dialog_->FindItem(kPhotoWindow)->value = s.use3DWindow ? 0 : 1;
    kinds.value = KnownMovieKind(s.movieKind);
    dialog_->FindItem(kLabelOn)->value = s.labelObjectOn;
    dialog_->FindItem(kLabelName)->enabled = s.labelObjectOn;
    dialog_->FindItem(kChooseLabel)->enabled = s.labelObjectOn;
    dialog_->FindItem(kLabelName)->text = std::string(BKTextOf(s.labelObjectName));
    dialog_->FindItem(kCustomOn)->value = s.customLabelOn;
    dialog_->FindItem(kCustomText)->text = std::string(BKTextOf(s.customLabelText));
    dialog_->FindItem(kDateOn)->value = s.dateLabelOn;
    UpdateCaptionItems();
    dialog_->FindItem(kPathPopUp)->enabled = !s.fromCurrentView && !pathIndices_.empty();
}

void AnimationDialog::OnChange(int16_t item) {
    switch (item) {
    case kStart:
    case kEnd:
    case kStep:
        ComputeCurrentViewFrames();
        ComputeCameraPathFrames();
        break;
    case kCurrentView:
        dialog_->FindItem(kStep)->value = rememberedStep_ ? rememberedStep_ : dialog_->FindItem(kStep)->value;
        dialog_->FindItem(kStep)->enabled = true;
        dialog_->FindItem(kPathPopUp)->enabled = false;
        ComputeCurrentViewFrames();
        break;
    case kCameraPath:
        dialog_->FindItem(kPathPopUp)->enabled = true;
        dialog_->FindItem(kStep)->enabled = false;
        rememberedStep_ = dialog_->FindItem(kStep)->value;
        ComputeCameraPathFrames();
        break;
    case kPathPopUp:
        if (!On(kCameraPath)) dialog_->ApplyChange(std::to_string(kCameraPath), "1");
        ComputeCameraPathFrames();
        break;
    case kMovieKind: UpdateCaptionItems(); break;
    case kLabelOn:
        dialog_->FindItem(kLabelName)->enabled = On(kLabelOn);
        dialog_->FindItem(kChooseLabel)->enabled = On(kLabelOn);
        break;
    case kCustomOn: dialog_->FindItem(kCustomText)->enabled = On(kCustomOn) && dialog_->FindItem(kCustomOn)->enabled; break;
    default: break;
    }
}

void AnimationDialog::ChooseLabelObject() {
    std::vector<uint8_t> saved(HostElement::kRecordSize, 0);
    LE::Put<int32_t>(saved, HostElement::kKind, HostElement::Object);
    OwnedHandle savedParams;
    bool readSaved = HostElementGetDefaults(saved.data(), savedParams.Receive()) == kHostNoError;
    bool allWell = readSaved;
    std::array<uint8_t, HostSettingsRequest::kSize> request{};
    LE::Put<int32_t>(request, HostSettingsRequest::kKind, HostElement::Object);
    LE::Put<uint32_t>(request, HostSettingsRequest::kVariation, kLabelObjectVariation);
    if (HostEnvironmentSet(kHostSelToolSettings, request.data(), nullptr) == kHostNoError) {
        std::vector<uint8_t> chosen(HostElement::kRecordSize, 0);
        LE::Put<int32_t>(chosen, HostElement::kKind, HostElement::Object);
        LE::Put<uint32_t>(chosen, HostObjectFields::kVariation, kLabelObjectVariation);
        OwnedHandle params;
        if (HostElementGetDefaults(chosen.data(), params.Receive()) == kHostNoError && params) {
            auto n = static_cast<int32_t>(params.Size() / HostLibPartParam::kSize);
            taskDB_.SetLabelParameters(std::move(params), n);
            std::array<uint8_t, HostLibPart::kSize> part{};
            LE::Put<int32_t>(part, HostLibPart::kIndex, LE::Get<int32_t>(chosen, HostObjectFields::kLibPart));
            if (HostLibPartGet(part.data()) == kHostNoError) {
                OwnedHandle location(LE::Get<uint32_t>(part, HostLibPart::kLocation));
                std::string name = NameOfLibPart(part);
                // The settings hold 31 bytes of the name; a longer one is cut there.
                taskDB_.Settings().SetLabelObjectName(name);
                dialog_->FindItem(kLabelName)->text = std::string(BKTextOf(taskDB_.Settings().labelObjectName));
            } else {
                allWell = false;
            }
        } else {
            allWell = false;
        }
    } else {
        allWell = false;
    }
    if (readSaved && allWell) {
        std::vector<uint8_t> mask(HostElement::kRecordSize, 0xFF);
        HostElementChangeDefaults(saved.data(), mask.data(), savedParams.Get());
    }
}

bool AnimationDialog::Confirm() {
    AnimationSettings& s = taskDB_.Settings();
    DateTime first = ItemDate(kStart).StartOfDay(), last = ItemDate(kEnd).EndOfDay();
    DateTimeSpan step = On(kCameraPath) ? step_ : DateTimeSpan(dialog_->FindItem(kStep)->value, 0, 0, 0);
    if (first > last.DayBefore()) {
        AddonAlert(kAlertFinishBeforeStart);
        return false;
    }
    s.animationStart = first;
    s.animationEnd = last;
    s.step = step;
    s.fromCurrentView = On(kCurrentView);
    s.use3DWindow = On(kWindow3D);
    s.movieKind = KnownMovieKind(dialog_->FindItem(kMovieKind)->value);
    DGItem& popup = *dialog_->FindItem(kPathPopUp);
    selectedPath_ = popup.value >= 1 && static_cast<size_t>(popup.value) <= pathIndices_.size()
                        ? pathIndices_[static_cast<size_t>(popup.value) - 1]
                        : -1;
    s.movie = options_;
    s.labelObjectOn = On(kLabelOn);
    s.customLabelOn = On(kCustomOn);
    s.dateLabelOn = On(kDateOn);
    s.SetCustomLabelText(dialog_->FindItem(kCustomText)->text.substr(0, 127));
    s.NormaliseRange(taskDB_.EarliestStart(), taskDB_.LatestFinish());

    std::string start(BKTextOf(s.movieFilePath));
    auto dot = start.rfind('.');
    auto slash = start.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) start.resize(dot);
    FileDialogRequest request(3, start, 0);
    FKLocation location = FKLocation::FromPath8(start);
    std::string extension = AddonString(32598, s.movieKind == VideoForWindows ? 3 : s.movieKind == Mpeg4 ? kMp4Extension : 4);
    if (!AskMovieFile(request, &location, extension)) return false;
    std::string path;
    if (!location.GetPath8(path)) return false;
    s.SetMovieFilePath(path);
    return true;
}

bool AnimationDialog::OnClick(int16_t item) {
    switch (item) {
    case kConfirm:
        confirmed_ = Confirm();
        return confirmed_;
    case kCancel: return true;
    case kChooseLabel: ChooseLabelObject(); return false;
    case kOptions:
        if (MovieOptionsDialog::Run(options_)) ComputeCurrentViewFrames();
        return false;
    default: return false;
    }
}

bool AnimationDialog::Run() {
    if (!dialog_) return false;
    BKResModuleScope scope(AddonResModule());
    Open();
    dialog_->onChange = [this](DGModalDialog&, int16_t item) { OnChange(item); };
    dialog_->onClick = [this](DGModalDialog&, int16_t item) { return OnClick(item); };
    confirmed_ = false;
    return dialog_->Run(kConfirm, kCancel) == kConfirm && confirmed_;
}
