#pragma once
// Dialogs of the headless back-end, modeless or modal: items with their state, a single-selection
// list with tab fields and owner-drawn cells, and an observer that receives the events. The
// back-end keeps everything, so the host's script and tests can drive a dialog and print it.
#include "dialogkit/DGCanvas.h"
#include "dialogkit/DGModalDialog.h"
#include "dialogkit/DGUserInput.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class DGDialog;

class IDGObserver {
public:
    virtual ~IDGObserver() = default;
    virtual void DialogOpened(DGDialog&) {}
    virtual void DialogClosed(DGDialog&) {}
    virtual void CloseRequested(DGDialog&) {}
    virtual void DialogResized(DGDialog&, int16_t /*dx*/, int16_t /*dy*/) {}
    virtual void SourceDestroyed(DGDialog&) {}
    virtual void ItemClicked(DGDialog&, int16_t /*item*/) {}
    virtual void ItemChanged(DGDialog&, int16_t /*item*/) {}
    virtual void ItemFocused(DGDialog&, int16_t /*item*/) {}
    virtual void ListSelectionChanged(DGDialog&, int16_t /*item*/) {}
    virtual void ListDoubleClicked(DGDialog&, int16_t /*item*/, int32_t /*row*/) {}
    virtual void ListTabDraw(DGDialog&, int16_t /*item*/, int32_t /*row*/, int16_t /*tab*/, DGCanvas&) {}
    // The help text a list row shows under the pointer (8-bit); empty for none.
    virtual std::string ListRowTip(DGDialog&, int16_t /*item*/, int32_t /*row*/) { return {}; }
    // A user area: drawn on request, and the mouse and keys over it.
    virtual void UserAreaDraw(DGDialog&, int16_t /*item*/, DGCanvas&) {}
    virtual void UserAreaMouse(DGDialog&, int16_t /*item*/, const DGMouse&) {}
    virtual void UserAreaKey(DGDialog&, int16_t /*item*/, DGKey, uint32_t /*modifiers*/) {}
    // The dialog's timer: `ticks` intervals have passed since it was started. A back-end that
    // fell behind skips ticks rather than send each late.
    virtual void TimerTick(DGDialog&, int64_t /*ticks*/) {}
    // A gesture a script names in the dialog's own terms (a row, a date), which only the
    // dialog's owner can turn into the pointer's path over its user area. Headless use only.
    virtual bool ScriptGesture(DGDialog&, const std::vector<std::string>& /*args*/, std::string& error) {
        error = "the dialog takes no gestures";
        return false;
    }
};

struct DGListRow {
    std::vector<std::string> tabs; // 8-bit code page, one text a tab field
    int32_t value = 0;
    bool colored = false;
    uint32_t color = 0;
};

struct DGTabField {
    int16_t left = 0, right = 0;
    bool ownerDrawn = false;
};

struct DGListState {
    std::vector<DGListRow> rows;
    int32_t selected = 0; // row from 1, 0 none; rows are not limited to 16 bits
    std::vector<DGTabField> tabs;
    int16_t rowHeight = 18;
    int drawSuspended = 0;
    int redraws = 0;
    int32_t editorsRow = 0;              // the row the editors lie on, 0 none
    std::map<int16_t, int16_t> onTabs;   // tab field -> item laid over it
};

// The host's view of a progress bar while a long task runs, and the pump that lets it handle
// the user's input meanwhile (the headless back-end's event processing).
void DGSetProgressListener(std::function<void(DGDialog&, int16_t item, int32_t value, int32_t maximum)> listener);
void DGSetEventPump(std::function<void()> pump);
// Lets pending user input reach the dialogs; long tasks call it between their steps.
void DGProcessEvents();

class DGDialog {
public:
    DGDialog(int32_t id, std::string title, int16_t width, int16_t height, std::vector<DGItem> items);
    ~DGDialog();
    DGDialog(const DGDialog&) = delete;
    DGDialog& operator=(const DGDialog&) = delete;

    // The dialog of an id, while it exists.
    static DGDialog* Find(int32_t id);

    int32_t Id() const { return id_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    int16_t Width() const { return width_; }
    int16_t Height() const { return height_; }
    bool IsVisible() const { return visible_; }
    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }

    void Attach(IDGObserver* observer) { observer_ = observer; }
    void Detach() { observer_ = nullptr; }
    // The first call opens the dialog (observer's DialogOpened).
    void BeginEventProcessing();
    void EndEventProcessing() { processing_ = false; }
    bool IsProcessing() const { return processing_; }

    DGItem* Item(int16_t id);
    const std::vector<DGItem>& Items() const { return items_; }
    std::string ItemText(int16_t id);
    void SetItemText(int16_t id, const std::string& text);
    int32_t ItemValue(int16_t id);
    void SetItemValue(int16_t id, int32_t value);
    void EnableItem(int16_t id, bool enabled);
    void ShowItem(int16_t id, bool visible);
    void MoveItem(int16_t id, int16_t dx, int16_t dy);
    void GrowItem(int16_t id, int16_t dx, int16_t dy);
    void SetItemSize(int16_t id, int16_t width, int16_t height);
    int16_t FocusedItem() const { return focus_; }
    void SetFocus(int16_t id) { focus_ = id; }
    // Pop-up entries.
    void PopUpAppend(int16_t id, const std::string& text, int32_t data = 0);

    DGListState* List(int16_t id);

    // What the user does (the back-end's input): each reaches the observer as the toolkit would.
    bool UserClick(int16_t item);
    bool UserSelectRow(int16_t listItem, int32_t row);
    bool UserDoubleClick(int16_t listItem, int32_t row);
    // The item gains the focus first, when it has not got it, as it does under the user's hand.
    bool UserChange(int16_t item, const std::string& utf8Value); // value as DGModalDialog takes it
    bool UserFocus(int16_t item);
    void UserCloseRequest();
    void UserResize(int16_t dx, int16_t dy);
    // Draws an owner-drawn cell as the toolkit would when it is shown.
    DGCanvas DrawTab(int16_t listItem, int32_t row, int16_t tab);
    // The row's help text, asked of the observer when the pointer rests on the row.
    std::string RowTip(int16_t listItem, int32_t row);

    // User areas: drawn at a size in pixels (the headless back-end takes the item's rectangle),
    // and the user's mouse and keys over them. False when the item is no shown user area.
    DGCanvas DrawUserArea(int16_t item, int32_t width, int32_t height);
    DGCanvas DrawUserArea(int16_t item);
    bool UserMouse(int16_t item, const DGMouse& mouse);
    bool UserKey(int16_t item, DGKey key, uint32_t modifiers);
    // The owner changed what the area shows; a back-end that shows it draws it again.
    void InvalidateItem(int16_t item) { ++invalidations_; (void)item; }
    uint64_t Invalidations() const { return invalidations_; }

    // A repeating timer of the dialog (interval in milliseconds; 0 stops it). The back-end that
    // runs the dialog calls UserTimer; the headless one only when a script says so.
    void StartTimer(int32_t intervalMs) { timerInterval_ = intervalMs > 0 ? intervalMs : 0; ++timerRuns_; }
    void StopTimer() { timerInterval_ = 0; }
    int32_t TimerInterval() const { return timerInterval_; }
    // Counts the timer's starts, so a back-end tells a restarted timer from one running on.
    uint64_t TimerRuns() const { return timerRuns_; }
    void UserTimer(int64_t ticks);
    bool UserGesture(const std::vector<std::string>& args, std::string& error);

private:
    int32_t id_;
    std::string title_;
    int16_t width_, height_;
    std::vector<DGItem> items_;
    std::map<int16_t, DGListState> lists_;
    IDGObserver* observer_ = nullptr;
    bool visible_ = false;
    bool processing_ = false;
    bool opened_ = false;
    int16_t focus_ = 0;
    uint64_t invalidations_ = 0;
    int32_t timerInterval_ = 0;
    uint64_t timerRuns_ = 0;
};
