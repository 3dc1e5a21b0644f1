#include "chart/ChartWindow.h"

#include "bytes/FixedText.h"
#include "bytes/LittleEndian.h"
#include "chart/ChartColours.h"
#include "chart/ChartDrawing.h"
#include "chart/ChartGesture.h"
#include "display/ElementHider.h"
#include "hostapi/HostEnvironmentRecords.h"
#include "hostapi/HostSelectors.h"
#include "hostcalls/HostInterface.h"
#include "hostcalls/MenuItemText.h"
#include "palette/MainDialogCPP.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonDialogs.h"
#include "resources/AddonMenu.h"
#include "resources/AddonResources.h"
#include "schedule/tasks/TaskDB.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr int16_t kMenuTexts = 32631;
constexpr int32_t kEndGrip = 4; // pixels at a bar's ends that take its start or finish
constexpr int32_t kDiamondGrip = 6; // pixels either side of a milestone's diamond that take it

} // namespace

ChartWindow::ChartWindow(TaskDB& taskDB, ElementHider& elementHider, MainDialogCPP* palette)
    : taskDB_(taskDB), elementHider_(elementHider), palette_(palette) {
    AddonDialogDescription d;
    if (GetAddonDialog(kDialogId, d)) {
        dialog_ = std::make_unique<DGDialog>(kDialogId, d.title, d.width, d.height, std::move(d.items));
        dialog_->Attach(this);
        dialog_->BeginEventProcessing();
    }
}

ChartWindow::~ChartWindow() {
    scrub_.reset();
    if (dialog_) {
        dialog_->EndEventProcessing();
        dialog_->Detach();
    }
    dialog_.reset();
}

// The chart's event boundary, as the palette's: a failed event is reported and the chart goes on.
template <class Event> void ChartWindow::Handle(Event&& event) {
    try {
        event();
    } catch (...) {
        try {
            scrub_.reset();
            play_.reset();
            if (dialog_) dialog_->StopTimer();
            drag_ = Drag::None;
            preview_ = {};
            AddonAlert(kAlertInternalError);
        } catch (...) {
        }
    }
    Redraw();
}

void ChartWindow::DialogOpened(DGDialog& d) {
    texts_ = ChartTexts::Load();
    for (const std::string& speed : texts_.speeds) d.PopUpAppend(kSpeed, speed);
    d.SetItemValue(kSpeed, 1);
    SetPlayText();
}

void ChartWindow::CloseRequested(DGDialog&) {
    Handle([this] { Show(false); });
}

void ChartWindow::SourceDestroyed(DGDialog& d) { d.Detach(); }

void ChartWindow::Show(bool show) {
    if (!dialog_) return;
    SetAddonMenuItemText(static_cast<int32_t>(AddonMenuItem::ShowChart), AddonString(kMenuTexts, show ? 2 : 1));
    if (show) {
        dialog_->Show();
    } else {
        StopPlay();
        dialog_->Hide();
    }
    Redraw();
}

int32_t ChartWindow::DaysPerSecond() const {
    int32_t v = dialog_ ? dialog_->ItemValue(kSpeed) : 1;
    return kSpeeds[std::clamp(v, 1, 3) - 1];
}

void ChartWindow::DialogResized(DGDialog& d, int16_t dx, int16_t dy) {
    d.GrowItem(kArea, dx, dy);
    Redraw();
}

int32_t ChartWindow::AreaWidth() {
    if (drawnWidth_ > 0) return drawnWidth_;
    const DGItem* item = dialog_ ? dialog_->Item(kArea) : nullptr;
    return item ? item->rect.width : 0;
}

int32_t ChartWindow::AreaHeight() {
    if (drawnHeight_ > 0) return drawnHeight_;
    const DGItem* item = dialog_ ? dialog_->Item(kArea) : nullptr;
    return item ? item->rect.height : 0;
}

ChartGeometry ChartWindow::Geometry() {
    int32_t selected = 0;
    if (palette_ && palette_->Dialog())
        if (const DGListState* list = palette_->Dialog()->List(MainDialogCPP::kList)) selected = list->selected;
    return LayOutChart(taskDB_, view_, AreaWidth(), AreaHeight(), ConstructionTypeColours(), selected, preview_);
}

void ChartWindow::Redraw() {
    if (dialog_) dialog_->InvalidateItem(kArea);
}

void ChartWindow::SetPlayText() {
    if (dialog_) dialog_->SetItemText(kPlay, play_ ? texts_.pause : texts_.play);
}

void ChartWindow::UserAreaDraw(DGDialog&, int16_t, DGCanvas& canvas) {
    // A chart that cannot be drawn stays blank: an alert from inside drawing would come back
    // with every repaint.
    try {
        drawnWidth_ = canvas.Width();
        drawnHeight_ = canvas.Height();
        DrawChart(Geometry(), texts_, canvas);
    } catch (...) {
    }
}

void ChartWindow::ItemClicked(DGDialog&, int16_t item) {
    Handle([this, item] {
        bool wasPlaying = Playing();
        StopPlay();
        switch (item) {
        case kZoomIn: Zoom(+1, ZoomCentre()); break;
        case kZoomOut: Zoom(-1, ZoomCentre()); break;
        case kPlay:
            if (!wasPlaying) {
                ChartGeometry g = Geometry();
                StartPlay(g.endDay - 1);
            }
            break;
        default: break;
        }
    });
}

void ChartWindow::ItemChanged(DGDialog&, int16_t) {}

int32_t ChartWindow::ZoomCentre() {
    // The current date stays where it is when it is in view; otherwise the middle does.
    ChartGeometry g = Geometry();
    return g.currentX >= 0 && g.currentX < g.width ? g.currentX : g.width / 2;
}

void ChartWindow::Zoom(int by, int32_t aroundX) {
    ChartTimeScale before(ChartOriginDay(taskDB_), view_.zoom, view_.scroll);
    int zoom = std::clamp(view_.zoom + by, 0, ChartTimeScale::kZoomLevels - 1);
    if (zoom == view_.zoom) return;
    // The day under the pointer stays under it.
    double day = before.OriginDay() + (aroundX + view_.scroll) / before.PixelsPerDay();
    view_.zoom = zoom;
    double ppd = ChartTimeScale::PixelsPerDay(zoom);
    view_.scroll = static_cast<int32_t>(std::lround((day - before.OriginDay()) * ppd)) - aroundX;
}

void ChartWindow::UserAreaMouse(DGDialog&, int16_t, const DGMouse& mouse) {
    Handle([this, &mouse] {
        switch (mouse.action) {
        case DGMouse::Action::Down: MouseDown(mouse); break;
        case DGMouse::Action::Move: MouseMove(mouse); break;
        case DGMouse::Action::Up: MouseUp(mouse); break;
        case DGMouse::Action::DoubleClick: DoubleClick(mouse); break;
        case DGMouse::Action::Wheel: Wheel(mouse); break;
        }
    });
}

void ChartWindow::MouseDown(const DGMouse& mouse) {
    if (Playing()) { // any click stops play, and does nothing else
        StopPlay();
        drag_ = Drag::None;
        return;
    }
    ChartGeometry g = Geometry();
    downX_ = mouse.x;
    auto beginDateDrag = [&] {
        drag_ = Drag::Date;
        scrub_ = std::make_unique<ChartScrub>(elementHider_, taskDB_, palette_, texts_.scrubStep);
        ScrubTo(g.scale.NearestDay(mouse.x) - 1);
    };
    // Shift and a press in the scale put the status date at the day the pointer ends.
    if (mouse.y < ChartGeometry::kScaleHeight && (mouse.modifiers & kDGShift) != 0) {
        SetStatusDay(g.scale.NearestDay(mouse.x) - 1);
        return;
    }
    if (mouse.y < ChartGeometry::kScaleHeight) return beginDateDrag();
    const ChartRowGeometry* row = g.RowAt(mouse.y);
    if (row && row->hasChildren) {
        int32_t boxLeft = 2 + (row->level > 0 ? row->level - 1 : 0) * ChartGeometry::kOutlineIndent;
        if (mouse.x >= boxLeft && mouse.x < boxLeft + 9) {
            if (!view_.collapsed.erase(row->taskId)) view_.collapsed.insert(row->taskId);
            return;
        }
    }
    // A bar under the pointer is taken before the date line that crosses it.
    ChartBarPreview::Part part = row ? BarPartAt(*row, mouse.x) : ChartBarPreview::Part::None;
    if (part == ChartBarPreview::Part::None && std::abs(mouse.x - g.currentX) <= 3) return beginDateDrag();
    if (!row) return;
    SelectRow(row->row);
    drag_ = Drag::Pressed;
    // The palette kept an edit it could not store (it said so): the bar stays where it is.
    if (palette_ && palette_->EditedRow() > 0) return;
    if (part == ChartBarPreview::Part::None) return;
    preview_ = {};
    preview_.row = row->row;
    preview_.lastRow = row->summary ? LastRowUnder(row->row) : row->row;
    preview_.part = part;
    drag_ = Drag::Bar;
}

ChartBarPreview::Part ChartWindow::BarPartAt(const ChartRowGeometry& row, int32_t x) {
    using Part = ChartBarPreview::Part;
    if (!row.valid) return Part::None;
    // A milestone and a summary move whole: a milestone has no length, a summary's ends are its rows'.
    if (row.milestone) return std::abs(x - row.left) <= kDiamondGrip ? Part::Move : Part::None;
    if (row.summary) return x >= row.left - kEndGrip && x <= row.right + kEndGrip ? Part::Move : Part::None;
    if (std::abs(x - row.left) <= kEndGrip && row.right - row.left > 2 * kEndGrip) return Part::Start;
    if (std::abs(x - row.right) <= kEndGrip) return Part::Finish;
    if (x > row.left && x < row.right) return Part::Move;
    return Part::None;
}

int32_t ChartWindow::LastRowUnder(int32_t row) const {
    const TaskPlan* head = taskDB_.PlanAt(static_cast<size_t>(row) - 1);
    if (!head) return row;
    size_t i = static_cast<size_t>(row);
    while (i < taskDB_.TaskCount()) {
        const TaskPlan* p = taskDB_.PlanAt(i);
        if (!p || p->outlineLevel <= head->outlineLevel) break;
        ++i;
    }
    return static_cast<int32_t>(i);
}

void ChartWindow::MouseMove(const DGMouse& mouse) {
    ChartTimeScale scale(ChartOriginDay(taskDB_), view_.zoom, view_.scroll);
    if (drag_ == Drag::Date) {
        ScrubTo(scale.NearestDay(mouse.x) - 1);
    } else if (drag_ == Drag::Bar) {
        preview_.days = static_cast<int32_t>(scale.NearestDay(mouse.x) - scale.NearestDay(downX_));
    }
}

void ChartWindow::MouseUp(const DGMouse& mouse) {
    MouseMove(mouse);
    Drag ended = std::exchange(drag_, Drag::None);
    if (ended == Drag::Date) {
        EndScrub();
    } else if (ended == Drag::Bar) {
        ChartBarPreview p = std::exchange(preview_, {});
        if (p.days != 0) StoreBarDrag(p, p.days);
    }
}

void ChartWindow::DoubleClick(const DGMouse& mouse) {
    StopPlay();
    ChartGeometry g = Geometry();
    if (mouse.y < ChartGeometry::kScaleHeight) return;
    if (const ChartRowGeometry* row = g.RowAt(mouse.y)) EditRow(row->row);
}

void ChartWindow::Wheel(const DGMouse& mouse) {
    StopPlay();
    if (mouse.modifiers & kDGControl) {
        Zoom(mouse.wheel > 0 ? 1 : -1, mouse.x);
    } else if (mouse.modifiers & kDGShift) {
        view_.scroll -= mouse.wheel * 60;
    } else {
        ChartGeometry g = Geometry();
        int32_t shownRows = std::max(1, (AreaHeight() - ChartGeometry::kScaleHeight) / ChartGeometry::kRowHeight);
        view_.firstRow = std::clamp(view_.firstRow - 3 * mouse.wheel, 0, std::max(0, g.shownRowCount - shownRows));
    }
}

void ChartWindow::UserAreaKey(DGDialog&, int16_t, DGKey key, uint32_t modifiers) {
    Handle([this, key, modifiers] { Key(key, modifiers); });
}

void ChartWindow::Key(DGKey key, uint32_t modifiers) {
    if (key == DGKey::Space) {
        if (Playing()) StopPlay();
        else StartPlay(Geometry().endDay - 1);
        return;
    }
    if (key == DGKey::Undo) {
        StopPlay();
        UndoBarEdit();
        return;
    }
    if (key != DGKey::Left && key != DGKey::Right) return;
    StopPlay();
    ChartGeometry g = Geometry();
    int64_t step = (modifiers & kDGShift) ? 7 : 1;
    scrub_ = std::make_unique<ChartScrub>(elementHider_, taskDB_, palette_, texts_.scrubStep);
    ScrubTo(g.currentDay + (key == DGKey::Left ? -step : step));
    EndScrub();
}

void ChartWindow::ScrubTo(int64_t day) {
    if (!scrub_) return;
    scrub_->MoveTo(day);
    Redraw();
}

void ChartWindow::EndScrub() {
    if (!scrub_) return;
    std::unique_ptr<ChartScrub> scrub = std::move(scrub_);
    scrub->End();
}

void ChartWindow::SelectRow(int32_t row) {
    if (!palette_ || !palette_->Dialog()) return;
    palette_->Dialog()->UserSelectRow(MainDialogCPP::kList, row);
}

void ChartWindow::EditRow(int32_t row) {
    if (!palette_ || !palette_->Dialog()) return;
    // The edit happens in the palette, which the planner must see.
    palette_->ShowPalette(true);
    palette_->Dialog()->UserDoubleClick(MainDialogCPP::kList, row);
}

void ChartWindow::StoreBarDrag(const ChartBarPreview& drag, int32_t days) {
    using Part = ChartBarPreview::Part;
    // As a click in the palette: a pending row edit is stored first, and a bad one stops here.
    if (palette_ && !palette_->CommitRowEdit()) return;
    const int32_t last = std::max(drag.row, drag.lastRow);
    if (drag.row < 1 || static_cast<size_t>(last) > taskDB_.TaskCount()) return;
    const DateTimeSpan shift(days, 0, 0, 0);
    BarEdit edit;
    edit.step = drag.part == Part::Start ? texts_.startStep : drag.part == Part::Finish ? texts_.finishStep : texts_.moveStep;
    for (int32_t row = drag.row; row <= last; ++row) {
        Task t;
        taskDB_.GetTaskAt(static_cast<size_t>(row) - 1, t);
        if (!t.IsValid()) continue;
        Task before = t;
        const TaskPlan* plan = taskDB_.PlanAt(static_cast<size_t>(row) - 1);
        if (plan && plan->milestone) {
            // Its moment moves as it is: whole days of its own would give it a length.
            t.start = t.start + shift;
            t.finish = t.finish + shift;
        } else {
            DateTime start = t.start.StartOfDay(), finish = t.finish.DayBefore().EndOfDay();
            if (drag.part != Part::Finish) start = start + shift;
            if (drag.part != Part::Start) finish = finish + shift;
            if (start > finish.DayBefore()) {
                AddonAlert(kAlertFinishBeforeStart);
                return;
            }
            t.start = start;
            t.finish = finish;
        }
        edit.rows.push_back({row, before, t});
    }
    if (edit.rows.empty()) return;
    for (const RowEdit& r : edit.rows) taskDB_.SetTaskAt(static_cast<size_t>(r.row) - 1, r.after);
    taskDB_.RecomputeStates();
    edits_.push_back(edit);
    if (palette_) {
        palette_->ForgetSort();
        palette_->RefillList(true);
    }
    FollowInModel(edit.step);
}

bool ChartWindow::UndoBarEdit() {
    if (edits_.empty()) return false;
    BarEdit edit = edits_.back();
    edits_.pop_back();
    if (palette_ && !palette_->CommitRowEdit()) return false;
    for (const RowEdit& r : edit.rows) {
        if (r.row < 1 || static_cast<size_t>(r.row) > taskDB_.TaskCount()) return false;
        Task now;
        taskDB_.GetTaskAt(static_cast<size_t>(r.row) - 1, now);
        // The task was changed since, or another one stands in its row: the old dates are not its.
        if (now.id != r.after.id || now.start != r.after.start || now.finish != r.after.finish) {
            edits_.clear();
            return false;
        }
    }
    for (const RowEdit& r : edit.rows) {
        Task now;
        taskDB_.GetTaskAt(static_cast<size_t>(r.row) - 1, now);
        now.start = r.before.start;
        now.finish = r.before.finish;
        taskDB_.SetTaskAt(static_cast<size_t>(r.row) - 1, now);
    }
    taskDB_.RecomputeStates();
    if (palette_) {
        palette_->ForgetSort();
        palette_->RefillList(true);
    }
    FollowInModel(edit.step);
    return true;
}

void ChartWindow::FollowInModel(const std::string& undoStep) {
    // Shown at a date, the model shows the dates the bars now have; a model shown whole stays so.
    if (!elementHider_.ShowsDate()) return;
    ChartScrub(elementHider_, taskDB_, palette_, undoStep).ShowAgain();
}

void ChartWindow::StartPlay(int64_t lastDay) {
    ChartGeometry g = Geometry();
    if (lastDay <= g.currentDay || !dialog_) {
        EndScrub();
        return;
    }
    // A play that follows a jump to its first date joins the jump's undo step.
    if (!scrub_) scrub_ = std::make_unique<ChartScrub>(elementHider_, taskDB_, palette_, texts_.scrubStep);
    play_ = Play{g.currentDay, lastDay};
    dialog_->StartTimer(1000 / DaysPerSecond());
    SetPlayText();
}

void ChartWindow::StopPlay() {
    if (!play_) return;
    play_.reset();
    if (dialog_) dialog_->StopTimer();
    EndScrub();
    SetPlayText();
}

void ChartWindow::TimerTick(DGDialog&, int64_t ticks) {
    Handle([this, ticks] {
        if (!play_) return;
        int64_t day = std::min(play_->fromDay + ticks, play_->lastDay);
        ScrubTo(day);
        if (day >= play_->lastDay) StopPlay();
    });
}

bool ChartWindow::ScriptGesture(DGDialog&, const std::vector<std::string>& args, std::string& error) {
    bool ok = false;
    Handle([&] { ok = Gesture(args, error); });
    return ok;
}

// The scripted gestures run through the mouse's own handlers at the pixels the chart shows.
bool ChartWindow::Gesture(const std::vector<std::string>& a, std::string& error) {
    if (a.empty()) return false;
    // Whole days need at least a pixel each for the pointer to name them.
    if (view_.zoom == 0) view_.zoom = 1;
    const std::optional<ChartGesture> gesture = ParseChartGesture(a, error);
    if (!gesture) return false;
    const ChartGesture& g = *gesture;
    auto mouse = [this](DGMouse::Action action, int32_t x, int32_t y, uint32_t modifiers = 0) {
        DGMouse m;
        m.action = action;
        m.x = x;
        m.y = y;
        m.modifiers = modifiers;
        switch (action) {
        case DGMouse::Action::Down: MouseDown(m); break;
        case DGMouse::Action::Move: MouseMove(m); break;
        case DGMouse::Action::Up: MouseUp(m); break;
        case DGMouse::Action::DoubleClick: DoubleClick(m); break;
        case DGMouse::Action::Wheel: Wheel(m); break;
        }
    };
    // Brings a row into the rows shown, as the planner scrolls to it.
    auto shownRow = [this](int32_t row) -> std::optional<ChartRowGeometry> {
        ChartGeometry geometry = Geometry();
        if (const ChartRowGeometry* r = geometry.Row(row)) return *r;
        for (view_.firstRow = 0; view_.firstRow < geometry.shownRowCount; ++view_.firstRow) {
            ChartGeometry h = Geometry();
            if (const ChartRowGeometry* r = h.Row(row)) return *r;
        }
        view_.firstRow = 0;
        return std::nullopt;
    };
    switch (g.kind) {
    case ChartGesture::Kind::Click:
    case ChartGesture::Kind::DoubleClick:
    case ChartGesture::Kind::Toggle: {
        auto r = shownRow(g.row);
        if (!r) {
            error = "row " + g.rowText + " is not shown";
            return false;
        }
        int32_t y = r->top + ChartGeometry::kRowHeight / 2;
        if (g.kind == ChartGesture::Kind::Toggle) {
            if (!r->hasChildren) {
                error = "row " + g.rowText + " is no summary with rows under it";
                return false;
            }
            int32_t x = 2 + (r->level > 0 ? r->level - 1 : 0) * ChartGeometry::kOutlineIndent + 4;
            mouse(DGMouse::Action::Down, x, y);
            mouse(DGMouse::Action::Up, x, y);
            return true;
        }
        // The bar's middle, or the row's free part where it has none in view.
        int32_t x = r->valid ? (r->left + r->right) / 2 : AreaWidth() - 10;
        if (x <= 0 || x >= AreaWidth()) x = AreaWidth() - 10;
        mouse(DGMouse::Action::Down, x, y);
        mouse(DGMouse::Action::Up, x, y);
        if (g.kind == ChartGesture::Kind::DoubleClick) mouse(DGMouse::Action::DoubleClick, x, y);
        return true;
    }
    case ChartGesture::Kind::DragDate: {
        ChartGeometry geometry = Geometry();
        int64_t from = geometry.currentDay;
        int32_t y = ChartGeometry::kScaleHeight / 2;
        mouse(DGMouse::Action::Down, geometry.currentX, y);
        // A press on the line takes the day it ends; the drag goes on through the steps.
        for (int64_t i = 1; i <= g.steps; ++i) {
            int64_t day = from + (g.day - from) * i / (g.steps + 1);
            mouse(DGMouse::Action::Move, geometry.scale.X(static_cast<double>(day + 1)), y);
        }
        mouse(DGMouse::Action::Up, geometry.scale.X(static_cast<double>(g.day + 1)), y);
        return true;
    }
    case ChartGesture::Kind::DragBar: {
        auto r = shownRow(g.row);
        if (!r || !r->valid) {
            error = "row " + g.rowText + " has no bar to drag";
            return false;
        }
        const bool whole = r->summary || r->milestone;
        if (whole && g.part != ChartGesture::BarPart::Move) {
            error = "row " + g.rowText + " moves only whole";
            return false;
        }
        // Long enough for both ends to be told apart from its middle.
        while (!whole && r->right - r->left <= 4 * kEndGrip && view_.zoom + 1 < ChartTimeScale::kZoomLevels) {
            ++view_.zoom;
            r = shownRow(g.row);
        }
        int32_t x = g.part == ChartGesture::BarPart::Start    ? r->left
                    : g.part == ChartGesture::BarPart::Finish ? r->right
                                                              : (r->left + r->right) / 2;
        int32_t y = r->top + ChartGeometry::kRowHeight / 2;
        double ppd = ChartTimeScale::PixelsPerDay(view_.zoom);
        mouse(DGMouse::Action::Down, x, y);
        mouse(DGMouse::Action::Up, x + static_cast<int32_t>(std::lround(static_cast<double>(g.days) * ppd)), y);
        return true;
    }
    case ChartGesture::Kind::Key: Key(g.key, g.shift ? static_cast<uint32_t>(kDGShift) : 0u); return true;
    case ChartGesture::Kind::StatusDate: {
        ChartGeometry geometry = Geometry();
        const int32_t x = geometry.scale.X(static_cast<double>(g.day + 1)), y = ChartGeometry::kScaleHeight / 2;
        mouse(DGMouse::Action::Down, x, y, kDGShift);
        mouse(DGMouse::Action::Up, x, y, kDGShift);
        return true;
    }
    case ChartGesture::Kind::Undo:
        if (!UndoBarEdit()) error = "no bar drag to undo";
        return error.empty();
    case ChartGesture::Kind::Zoom: Zoom(g.zoomBy, ZoomCentre()); return true;
    case ChartGesture::Kind::Play: {
        StopPlay();
        scrub_ = std::make_unique<ChartScrub>(elementHider_, taskDB_, palette_, texts_.scrubStep);
        ScrubTo(g.day);
        const int32_t m = g.daysPerSecond;
        dialog_->SetItemValue(kSpeed, m == 1 ? 1 : m == 7 ? 2 : 3);
        StartPlay(g.lastDay);
        // Headless, the timer's every tick comes: no date is dropped.
        for (int64_t tick = 1; Playing() && tick <= g.lastDay - g.day; ++tick) dialog_->UserTimer(tick);
        return true;
    }
    }
    return false;
}

void ChartWindow::SetStatusDay(int64_t day) {
    const DateTime start = DateTime::FromTicks(day * kTicksPerDay);
    // Through the palette's control when there is one, so it shows the date and the model follows.
    if (palette_ && palette_->Dialog()) {
        palette_->Dialog()->SetItemValue(MainDialogCPP::kStatusDate, start.ToPlatformTime());
        palette_->StatusDateChanged();
    } else {
        taskDB_.SetStatusDate(start.EndOfDay());
    }
}
