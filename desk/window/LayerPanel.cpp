#include "desk/window/LayerPanel.h"

#include "bytes/LittleEndian.h"
#include "desk/dialogs/CodePageText.h"
#include "desk/window/DeskTexts.h"
#include "hostapi/HostAttributeRecord.h"

#include <QHeaderView>

namespace {
enum Column { kName, kShown, kUnlocked };
} // namespace

LayerPanel::LayerPanel(Host& host, QWidget* parent) : QTableWidget(parent), host_(host) {
    setObjectName(QStringLiteral("layers"));
    setColumnCount(3);
    setHorizontalHeaderLabels({Text(DeskTexts::kLayerColumn), Text(DeskTexts::kShownColumn), Text(DeskTexts::kUnlockedColumn)});
    horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(kShown, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(kUnlocked, QHeaderView::ResizeToContents);
    verticalHeader()->hide();
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() == kName) return;
        bool on = item->checkState() == Qt::Checked;
        SetLayerFlag(static_cast<int16_t>(item->row() + 1),
                     item->column() == kShown ? HostAttribute::kLayerHidden : HostAttribute::kLayerLocked, !on);
    });
    Refresh();
}

void LayerPanel::SetLayerFlag(int16_t index, uint32_t flag, bool on) {
    AttributeRecord* rec = host_.Model().Attribute(HostAttribute::Layer, index);
    if (!rec) return;
    uint32_t flags = LE::Get<uint32_t>(*rec, HostAttribute::kFlags);
    flags = on ? flags | flag : flags & ~flag;
    LE::Put<uint32_t>(*rec, HostAttribute::kFlags, flags);
    Refresh();
    if (layersChanged) layersChanged();
}

void LayerPanel::Refresh() {
    filling_ = true;
    HostModel& model = host_.Model();
    int16_t count = model.AttributeCount(HostAttribute::Layer);
    setRowCount(count);
    for (int16_t i = 1; i <= count; ++i) {
        uint32_t flags = LE::Get<uint32_t>(*model.Attribute(HostAttribute::Layer, i), HostAttribute::kFlags);
        auto* name = new QTableWidgetItem(FromCodePage(model.AttributeName(HostAttribute::Layer, i)));
        name->setFlags(Qt::ItemIsEnabled);
        setItem(i - 1, kName, name);
        auto tick = [&](int column, bool on) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            setItem(i - 1, column, item);
        };
        tick(kShown, !(flags & HostAttribute::kLayerHidden));
        tick(kUnlocked, !(flags & HostAttribute::kLayerLocked));
    }
    filling_ = false;
}
