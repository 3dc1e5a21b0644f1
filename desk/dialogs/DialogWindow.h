#pragma once
// A modeless dialog as a tool window: its items as widgets at their places, kept up to date with
// the dialog's state, and the user's input passed to the dialog's observer through DGDialog.
// A window with a list grows (through the dialog's own resize handling) to show its rows' texts
// whole and a good number of rows, within the screen; it never shrinks below its description.
#include "dialogkit/DGDialog.h"

#include <QWidget>

#include <functional>
#include <map>
#include <utility>
#include <memory>

class ActivityListView;
class CanvasView;
class ItemWidget;

class DialogWindow : public QWidget {
    Q_OBJECT
public:
    DialogWindow(DGDialog& dialog, QWidget* parent);
    ~DialogWindow() override;

    DGDialog* Dialog() const { return dialog_; }
    // The dialog is going: the window no longer reads it.
    void Detach();
    void Sync();
    ActivityListView* ListView(int16_t item) const;
    QWidget* ItemView(int16_t item) const;
    // Called after every user action this window passed on, so every view can follow.
    std::function<void()> afterInput;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceEditors();
    void AfterInput();
    // Grows the window when its lists' content needs more room than they have.
    void FitContent();

    DGDialog* dialog_;
    std::map<int16_t, ItemWidget*> items_;
    std::map<int16_t, ActivityListView*> lists_;
    std::map<int16_t, CanvasView*> areas_;
    QSize appliedSize_;
    bool syncing_ = false;
    // The content last fitted to (rows, widest text): a window is fitted once per change, so a
    // user who makes it smaller keeps it so until the content changes.
    std::pair<size_t, int> fitted_{0, 0};
};
