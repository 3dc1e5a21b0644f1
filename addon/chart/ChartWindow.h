#pragma once
// The schedule chart: a modeless window beside the palette with a bar per palette row on a time
// scale. It shares the palette's selection and editing rules, and dragging its current-date line
// (or playing) takes the model through the dates as they pass.
#include "chart/ChartLayout.h"
#include "chart/ChartScrub.h"
#include "chart/ChartTexts.h"
#include "dialogkit/DGDialog.h"
#include "schedule/tasks/Task.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ElementHider;
class MainDialogCPP;
class TaskDB;

class ChartWindow : public IDGObserver {
public:
    static constexpr int32_t kDialogId = 32420;
    enum Item : int16_t { kZoomIn = 1, kZoomOut = 2, kPlay = 3, kSpeed = 4, kArea = 5 };
    static constexpr int32_t kSpeeds[3] = {1, 7, 30}; // days a second

    ChartWindow(TaskDB& taskDB, ElementHider& elementHider, MainDialogCPP* palette);
    ~ChartWindow() override;

    DGDialog* Dialog() { return dialog_.get(); }
    bool IsVisible() const { return dialog_ && dialog_->IsVisible(); }
    void Show(bool show);
    bool Playing() const { return play_.has_value(); }
    const ChartView& View() const { return view_; }
    int32_t DaysPerSecond() const;
    // The geometry as the window shows it now.
    ChartGeometry Geometry();

    // IDGObserver
    void DialogOpened(DGDialog&) override;
    void CloseRequested(DGDialog&) override;
    void DialogResized(DGDialog&, int16_t dx, int16_t dy) override;
    void SourceDestroyed(DGDialog&) override;
    void ItemClicked(DGDialog&, int16_t item) override;
    void ItemChanged(DGDialog&, int16_t item) override;
    void UserAreaDraw(DGDialog&, int16_t item, DGCanvas& canvas) override;
    void UserAreaMouse(DGDialog&, int16_t item, const DGMouse& mouse) override;
    void UserAreaKey(DGDialog&, int16_t item, DGKey key, uint32_t modifiers) override;
    void TimerTick(DGDialog&, int64_t ticks) override;
    bool ScriptGesture(DGDialog&, const std::vector<std::string>& args, std::string& error) override;

private:
    template <class Event> void Handle(Event&& event);
    void MouseDown(const DGMouse& mouse);
    void MouseMove(const DGMouse& mouse);
    void MouseUp(const DGMouse& mouse);
    void DoubleClick(const DGMouse& mouse);
    void Wheel(const DGMouse& mouse);
    void Key(DGKey key, uint32_t modifiers);
    void Zoom(int by, int32_t aroundX);
    // The status date at the end of the day (a day number of the scale's).
    void SetStatusDay(int64_t day);
    int32_t ZoomCentre();
    void SelectRow(int32_t row);
    void EditRow(int32_t row);
    // A bar drag ends: the task moves or gets a new start or finish by whole days, with the
    // palette's editing rules.
    void StoreBarDrag(const ChartBarPreview& drag, int32_t days);
    static ChartBarPreview::Part BarPartAt(const ChartRowGeometry& row, int32_t x);
    // The last palette row of a summary's outline (the row itself when it has none under it).
    int32_t LastRowUnder(int32_t row) const;
    void FollowInModel(const std::string& undoStep);
    // Begins, continues and ends a drag through dates (the date line, the keys, play).
    void ScrubTo(int64_t day);
    void EndScrub();
    void StartPlay(int64_t lastDay);
    void StopPlay();
    void SetPlayText();
    void Redraw();
    int32_t AreaWidth();
    int32_t AreaHeight();
    bool Gesture(const std::vector<std::string>& args, std::string& error);

    TaskDB& taskDB_;
    ElementHider& elementHider_;
    MainDialogCPP* palette_;
    std::unique_ptr<DGDialog> dialog_;
    ChartTexts texts_;
    ChartView view_;
    // The size the area was last drawn at: the mouse speaks its pixels. 0 until the first drawing.
    int32_t drawnWidth_ = 0, drawnHeight_ = 0;

    enum class Drag { None, Date, Bar, Pressed };
    Drag drag_ = Drag::None;
    ChartBarPreview preview_;
    int32_t downX_ = 0;
    std::unique_ptr<ChartScrub> scrub_;

    struct Play {
        int64_t fromDay = 0, lastDay = 0;
    };
    std::optional<Play> play_;

    // The bar drags (a summary's with its rows), each undone alone (newest first) while its task still holds what it stored.
    struct RowEdit {
        int32_t row = 0;
        Task before, after;
    };
    struct BarEdit {
        std::string step; // the host's undo step when the model follows
        std::vector<RowEdit> rows;
    };
    std::vector<BarEdit> edits_;
    bool UndoBarEdit();
};
