#pragma once
// Makes the movie: steps the schedule's date from the first to the last animated day, lets the
// model follow, captures each frame with its label and hands it to the movie writer.
#include "basekit/BKMemory.h"
#include "basekit/BKResources.h"
#include "basekit/OwnedHandle.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "movie/FrameTimes.h"
#include "movie/IMovieFileCreator.h"
#include "movie/MovieChartParts.h"
#include "schedule/tasks/DateTime.h"

#include <array>
#include <memory>
#include <string_view>

class TaskDB;
class ElementHider;

class AnimationRunner {
public:
    AnimationRunner(TaskDB& taskDB, ElementHider& hider, int32_t cameraPathIndex, int32_t frameCount);
    ~AnimationRunner();
    AnimationRunner(const AnimationRunner&) = delete;
    AnimationRunner& operator=(const AnimationRunner&) = delete;

    bool Ok() const { return ok_; }
    bool Run();
    bool NextFrameDate();

    // Frame capture and label.
    bool BuildCameraPathFrames(int32_t pathIndex);
    bool PlaceCamera(int32_t frame);
    bool CaptureFrame(OwnedHandle& picture);
    bool SetCaption(std::string_view text);
    void DrawLabelObject(BKHandle picture);
    // The date, tasks, legend, progress, title and Gantt strip the planner chose, drawn over the picture.
    void DrawOverlays(BKHandle picture);

    const DateTime& CurrentDate() const { return currentDate_; }
    IMovieFileCreator* Writer() { return writer_.get(); }
    // Completes the movie file; false when there is none or it is not the whole movie.
    bool FinishMovie() { return writer_ && writer_->Finish(); }
    BKHandle Positions() const { return positions_.Get(); }
    BKHandle FrameMap() const { return frameMap_.Get(); }
    int32_t Captures() const { return captures_; }
    const FrameTimes& Times() const { return times_; }
    // The chart's strip and colours for what is drawn into the pictures.
    void SetChartParts(MovieChartParts parts) { chartParts_ = std::move(parts); }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

private:
    DateTime currentDate_;
    TaskDB& taskDB_;
    ElementHider& hider_;
    std::unique_ptr<IMovieFileCreator> writer_;
    int32_t width_ = 0, height_ = 0;
    bool isAVI_ = false;
    bool use3DWindow_ = true;
    int32_t cameraPathIndex_;
    OwnedHandle positions_;
    OwnedHandle frameMap_;
    int32_t frameCount_;
    bool ok_ = true;
    BKResModule savedResourceModule_ = 0;
    std::array<uint8_t, HostDatabaseRecord::kSize> savedWindow_{};
    bool captureModeSet_ = false;
    int32_t captures_ = 0;
    FrameTimes times_;
    bool sized_ = false; // pictures of a size of their own rather than the window's
    MovieChartParts chartParts_;
};
