#pragma once
// The movie settings dialog: dates, step or camera path, picture source, movie kind, label and
// caption, and the movie file. Works on the settings record; leaves the frame count and the
// chosen camera path for the run.
#include "dialogkit/DGModalDialog.h"
#include "schedule/tasks/DateTime.h"
#include "schedule/tasks/MovieOptions.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TaskDB;

class AnimationDialog {
public:
    static constexpr int16_t kDialogId = 32503;

    explicit AnimationDialog(TaskDB& taskDB);
    ~AnimationDialog();

    // Shows the dialog; true only when it was confirmed (and the movie file chosen).
    bool Run();

    int32_t FrameCount() const { return frameCount_; }
    int32_t SelectedCameraPath() const { return selectedPath_; }
    const DateTimeSpan& Step() const { return step_; }
    DGModalDialog* Dialog() { return dialog_.get(); }

    // The frames a camera path gives: its cameras' own frames, then k a camera (one closing
    // frame instead of the last k when the path is closed). -1 when the path cannot be read.
    static int32_t CameraPathFrameCount(int32_t pathIndex);
    // Cameras that belong to a path.
    static int32_t CamerasOfPath(int32_t pathIndex);

private:
    void Open();
    void LabelObjectCheck();
    void FillCameraPaths();
    void ComputeCurrentViewFrames();
    void ComputeCameraPathFrames();
    // A timed movie's frame count in the frames item, in place of the step movie's.
    void ShowTimedFrames();
    void UpdateCaptionItems();
    void ChooseLabelObject();
    bool Confirm();
    void OnChange(int16_t item);
    bool OnClick(int16_t item);
    DateTime ItemDate(int16_t item);
    bool On(int16_t item);

    TaskDB& taskDB_;
    std::unique_ptr<DGModalDialog> dialog_;
    std::array<std::string, 2> units_;
    DateTimeSpan step_ = DateTimeSpan::FromTicks(0);
    int32_t frameCount_ = 0;
    int32_t selectedPath_ = -1;
    int32_t rememberedStep_ = 0;
    std::vector<int32_t> pathIndices_;
    bool confirmed_ = false;
    MovieOptions options_; // the settings' own, changed by the options dialog until confirmed
};
