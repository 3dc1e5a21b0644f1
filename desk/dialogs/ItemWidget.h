#pragma once
// One dialog item as a Qt widget: made from the item's kind, brought up to date from the item's
// state, and passing what the user does back as the values DGTakeUserValue reads.
#include "dialogkit/DGModalDialog.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

struct ItemWidgetEvents {
    std::function<void(int16_t item)> clicked;
    std::function<void(int16_t item, const std::string& utf8Value)> changed;
    std::function<void(int16_t item)> focused;
};

class ItemWidget : public QObject {
    Q_OBJECT
public:
    // `item` finds the item's current state (the dialog may move its items in memory).
    ItemWidget(int16_t id, std::function<DGItem*()> item, QWidget* parent, ItemWidgetEvents events);
    ~ItemWidget() override;

    int16_t Id() const { return id_; }
    QWidget* Widget() const { return widget_; }
    // Reads the item's state into the widget without reporting it back.
    void Sync();
    // Places the widget elsewhere than the item's own rectangle (an editor over a list cell,
    // drawn without a frame: the cell is its frame).
    void SetOverride(const QRect& pixels);
    void ClearOverride();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report(const std::string& utf8Value);

    int16_t id_;
    DGItemKind kind_;
    std::function<DGItem*()> item_;
    QPointer<QWidget> widget_;
    ItemWidgetEvents events_;
    QRect override_;
    bool syncing_ = false;
    // What was last shown, so a sync leaves alone what the user is typing.
    std::string shownText_;
    int32_t shownValue_ = 0;
    std::vector<std::string> shownEntries_;
    bool first_ = true;
    int fittedWidth_ = -1; // the item width its label was last fitted to
};
