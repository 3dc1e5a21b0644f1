#include "movie/AnimationRunner.h"

#include "basekit/OwnedHandle.h"
#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "display/DisplayPass.h"
#include "display/ElementHider.h"
#include "filekit/FKSpecialFolders.h"
#include "hostapi/HostProjectionRecord.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/HostScopes.h"
#include "hostcalls/ScopeGuard.h"
#include "dialogkit/DGCanvas.h"
#include "movie/AVICreator.h"
#include "movie/FrameOverlay.h"
#include "movie/MOVCreator.h"
#include "movie/MP4Creator.h"
#include "movie/ProgressWindow.h"
#include "movie/QuietSpan.h"
#include "pixkit/PXPixMap.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/AnimationSettings.h"
#include "schedule/tasks/TaskDB.h"

#include <cstring>

namespace {

// A copy of a picture block; none when there is none or no memory.
OwnedHandle CopyPicture(const OwnedHandle& picture) {
    size_t size = picture.Size();
    if (!picture || size == 0) return {};
    OwnedHandle copy(BKNewHandle(size));
    if (copy) std::memcpy(copy.Data(), picture.Data(), size);
    return copy;
}

// `to` becomes a copy of `from`, in its own block when that is of the size (a large picture's
// block is not given back and asked for again every frame); false when there is no copy.
bool CopyPictureInto(OwnedHandle& to, const OwnedHandle& from) {
    if (to && from && to.Size() == from.Size() && from.Size() > 0) std::memcpy(to.Data(), from.Data(), from.Size());
    else to = CopyPicture(from);
    return static_cast<bool>(to);
}
} // namespace

AnimationRunner::AnimationRunner(TaskDB& taskDB, ElementHider& hider, int32_t cameraPathIndex, int32_t frameCount)
    : taskDB_(taskDB), hider_(hider), cameraPathIndex_(cameraPathIndex), frameCount_(frameCount),
      times_(taskDB.Settings(), frameCount) {
    currentDate_.Clear();
    savedResourceModule_ = BKGetCurrentResModule();
    const AnimationSettings& s = taskDB_.Settings();
    isAVI_ = s.movieKind == VideoForWindows;
    use3DWindow_ = s.use3DWindow;
    uint8_t on = 1;
    captureModeSet_ = HostGraphics(kHostSelCaptureMode, &on, nullptr) == kHostNoError;
    hider_.ShowAll(taskDB_);

    std::array<uint8_t, HostProjection::kSize> projection{};
    if (HostEnvironmentGet(kHostSelProjectionGet, projection.data(), nullptr) == kHostNoError &&
        HostDatabaseQuery(kHostSelFrontWindowGet, savedWindow_.data(), nullptr) == kHostNoError &&
        LE::Get<int32_t>(savedWindow_, HostDatabaseRecord::kKind) != HostDatabaseKind::Window3D) {
        std::array<uint8_t, HostDatabaseRecord::kSize> window3D{};
        LE::Put<int32_t>(window3D, HostDatabaseRecord::kKind, HostDatabaseKind::Window3D);
        HostAutomate(kHostSelWindowToFront, window3D.data(), nullptr);
    }

    std::array<uint8_t, HostWindowSize::kSize> size{};
    int32_t photo = 1;
    GSErr err = use3DWindow_ ? HostEnvironmentGet(kHostSelWindow3DSize, size.data(), nullptr)
                             : HostEnvironmentGet(kHostSelPhotoWindowSize, size.data(), &photo);
    ok_ = err == kHostNoError;
    if (!ok_) return;
    width_ = LE::Get<int16_t>(size, HostWindowSize::kWidth);
    height_ = LE::Get<int16_t>(size, HostWindowSize::kHeight);
    sized_ = MovieOptions::SizeOf(s.movie.size, width_, height_);

    int16_t rate = times_.Rate();
    frameCount_ = times_.Count();
    if (!s.fromCurrentView && cameraPathIndex_ >= 1) {
        ok_ = BuildCameraPathFrames(cameraPathIndex_);
        size_t mapped = frameMap_.Size() / 4;
        size_t positions = positions_.Size() / HostCameraPosition::kSize;
        if (mapped != static_cast<size_t>(frameCount_) || static_cast<size_t>(frameCount_) < positions) ok_ = false;
    }
    if (!ok_) return;
    std::string_view path = BKTextOf(s.movieFilePath);
    try {
        if (isAVI_) writer_ = std::make_unique<AVICreator>(path, 32, width_, height_, frameCount_, rate);
        else if (s.movieKind == Mpeg4) writer_ = std::make_unique<MP4Creator>(path, 32, width_, height_, frameCount_, rate);
        else writer_ = std::make_unique<MOVCreator>(path, 32, width_, height_, frameCount_, rate);
    } catch (const std::exception&) {
        writer_.reset();
    }
    ok_ = writer_ && writer_->ok;
}

AnimationRunner::~AnimationRunner() {
    writer_.reset();
    if (captureModeSet_) {
        uint8_t off = 0;
        HostGraphics(kHostSelCaptureMode, &off, nullptr);
    }
}

bool AnimationRunner::NextFrameDate() {
    const AnimationSettings& s = taskDB_.Settings();
    if (currentDate_.status != DateTimeStatus::Valid) {
        currentDate_ = s.projectStart;
        return true;
    }
    DateTime bound = s.animationEnd.EndOfDay();
    if (!(currentDate_ < bound)) return false;
    DateTime next = currentDate_ + s.step;
    currentDate_ = next > bound ? bound : next;
    return true;
}

bool AnimationRunner::Run() {
    if (!ok_) return false;
    // The platform's folder for passing files must be there; nothing is put into it.
    FKLocation folder;
    if (FKGetSpecialFolder(FKSpecialFolder::Temporary, folder) != 0) return false;
    const AnimationSettings& s = taskDB_.Settings();
    currentDate_ = s.animationStart;
    if (currentDate_.status == DateTimeStatus::Invalid) return false;
    taskDB_.SetCurrentDate(currentDate_, false);

    std::unique_ptr<ProgressWindow> window;
    std::unique_ptr<ProgressWindowObserver> observer;
    {
        BKResModuleScope scope(AddonResModule());
        window = std::make_unique<ProgressWindow>(writer_->frameCount);
        observer = std::make_unique<ProgressWindowObserver>(*window);
    }
    if (window->Dialog()) {
        window->Dialog()->BeginEventProcessing();
        window->Dialog()->Show();
    }
    // However the run ends (a stop, a failure, an exception), what it opened is closed again,
    // in the reverse order.
    ScopeGuard events([&window] {
        if (window->Dialog()) window->Dialog()->EndEventProcessing();
    });
    HostChangeRun changes;
    // One answer about a missing task serves the whole movie, however it ends.
    struct HeldAnswer {
        ElementHider& hider;
        explicit HeldAnswer(ElementHider& h) : hider(h) { hider.SetMissingTaskAnswerHeld(true); }
        ~HeldAnswer() { hider.SetMissingTaskAnswerHeld(false); }
        HeldAnswer(const HeldAnswer&) = delete;
        HeldAnswer& operator=(const HeldAnswer&) = delete;
    } heldAnswer(hider_);
    // A step movie's first frame shows the end of the first day; a timed one begins at the start.
    currentDate_ = times_.Timed() ? times_.At(0) : currentDate_ + DateTimeSpan(1, 0, 0, 0);
    taskDB_.SetCurrentDate(currentDate_, false);

    OwnedHandle picture, clean;
    ScopeGuard restore([this] {
        HostAutomate(kHostSelWindowToFront, savedWindow_.data(), nullptr);
        hider_.ShowAll(taskDB_);
    });
    IMovieFileCreator& w = *writer_;
    DisplayPass display(hider_, taskDB_);
    // The date the display last showed; a timed movie's frames in a quiet span after it skip the pass.
    DateTime shownDate = currentDate_;
    do {
        if (window->StopRequested()) break;
        window->SetFrame(w.framesWritten + 1);
        bool pass = !times_.Timed() || w.framesWritten == 0 || !IsQuietSpan(taskDB_, shownDate, currentDate_);
        if (pass) {
            display.ShowFrame();
            shownDate = currentDate_;
        }
        bool nothingChanged = !pass || hider_.NothingChanged();
        if (window->StopRequested()) break;
        window->SetFrame(w.framesWritten + 1);

        // The caption: a blank, or the custom text, and the date on a line of its own.
        bool captioned = SetCaption(" ");
        if (s.customLabelOn) captioned = SetCaption(BKTextOf(s.customLabelText)) && captioned;
        if (s.dateLabelOn) {
            char date[256] = {};
            currentDate_.Format(date, sizeof date, "%x %H:%M");
            std::string text = s.customLabelOn ? std::string(BKTextOf(w.caption)) + "\n" + date : std::string(date);
            if (text.size() > 1023) text.resize(1023);
            captioned = SetCaption(text) && captioned;
        }
        if (!captioned) ok_ = false;

        // What is drawn over the picture changes with the date: it goes onto a copy of the clean one.
        bool drawnOver = s.labelObjectOn || s.movie.overlays != 0;
        if (nothingChanged && s.fromCurrentView && w.framesWritten > 0 && picture) {
            if (drawnOver) ok_ = CopyPictureInto(picture, clean);
        } else {
            OwnedHandle spare = std::move(clean);
            if (CaptureFrame(picture)) {
                clean = std::move(spare);
                // Only what is drawn over needs the picture as captured again.
                if (drawnOver) ok_ = CopyPictureInto(clean, picture);
            }
        }
        if (ok_) DrawOverlays(picture.Get());
        if (ok_) DrawLabelObject(picture.Get());
        if (window->StopRequested()) break;
        window->SetFrame(w.framesWritten + 1);
        if (!ok_ || !picture) break;
        try {
            ok_ = w.AddFrame(picture.Get());
        } catch (const std::exception&) {
            ok_ = false;
        }
        if (ok_) {
            if (times_.Timed()) currentDate_ = times_.At(w.framesWritten);
            else NextFrameDate();
            taskDB_.SetCurrentDate(currentDate_, false);
        }
    } while (w.framesWritten + 1 <= w.frameCount && ok_);

    restore.Run();
    picture.Reset();
    clean.Reset();
    return ok_;
}


void AnimationRunner::DrawOverlays(BKHandle picture) {
    const AnimationSettings& s = taskDB_.Settings();
    const MovieOptions& o = s.movie;
    auto info = PXReadPixMapInfo(picture);
    if (o.overlays == 0 || !info) return;
    DGCanvas canvas(info->width, info->height);
    OverlayPlaces places = PlaceOverlays(o, info->width, info->height);
    if (places.ganttHeight > 0 && chartParts_.drawStrip)
        chartParts_.drawStrip(taskDB_, info->width, places.ganttHeight, info->height / 720.0, places.ganttTop, canvas);
    DrawFrameOverlay(o,
                     GatherOverlayFacts(taskDB_, hider_.Profiles(), chartParts_.typeColours, o, currentDate_,
                                        s.animationStart, s.animationEnd),
                     canvas);
    uint32_t handle = picture;
    HostGraphics(kHostSelPictureDrawCanvas, &handle, &canvas);
}
