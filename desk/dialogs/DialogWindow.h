#pragma once
// A modeless dialog as a tool window: its items as widgets at their places, kept up to date with
// the dialog's state, and the user's input passed to the dialog's observer through DGDialog.
#include "dialogkit/DGDialog.h"

#include <QWidget>

#include <map>
#include <memory>

class ActivityListView;
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

    DGDialog* dialog_;
    std::map<int16_t, ItemWidget*> items_;
    std::map<int16_t, ActivityListView*> lists_;
    QSize appliedSize_;
    bool syncing_ = false;
};
