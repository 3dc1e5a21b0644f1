#include "desk/window/SelectionPanel.h"

#include "desk/dialogs/CodePageText.h"
#include "desk/window/DeskTexts.h"

#include <QHeaderView>

#include <cstring>
#include <set>

namespace {

constexpr int kGuidRole = Qt::UserRole;

QByteArray GuidBytes(const API_Guid& g) { return QByteArray(reinterpret_cast<const char*>(g.bytes.data()), static_cast<int>(g.bytes.size())); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Where the user opened the tree, to open it there again after a refresh: element, then group.
QString PathOf(const QTreeWidgetItem* item) {
    QString path;
    for (; item; item = item->parent()) path.prepend(item->data(0, kGuidRole).toByteArray().toHex() + item->text(0) + '/');
    return path;
}

void KeepOpen(QTreeWidgetItem* item, std::set<QString>& open) {
    if (item->isExpanded()) open.insert(PathOf(item));
    for (int i = 0; i < item->childCount(); ++i) KeepOpen(item->child(i), open);
}

} // namespace

SelectionPanel::SelectionPanel(Host& host, QWidget* parent) : QTreeWidget(parent), host_(host) {
    setObjectName(QStringLiteral("selection"));
    setColumnCount(2);
    setHeaderLabels({Text(DeskTexts::kElementColumn), Text(DeskTexts::kValueColumn)});
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!item->parent() && item->childCount() == 0) FillFacts(item);
    });
    Refresh();
}

void SelectionPanel::FillFacts(QTreeWidgetItem* elementItem) {
    QByteArray bytes = elementItem->data(0, kGuidRole).toByteArray();
    API_Guid guid;
    if (bytes.size() != static_cast<qsizetype>(guid.bytes.size())) return;
    std::memcpy(guid.bytes.data(), bytes.data(), guid.bytes.size());
    const Element* e = host_.Model().Find(guid);
    if (!e) return;
    auto row = [](QTreeWidgetItem* parent, const QString& label, const QString& value) {
        auto* item = new QTreeWidgetItem(parent, {label, value});
        item->setToolTip(1, value);
        return item;
    };
    static const std::pair<const char*, DeskText> kIdentity[] = {
        {"class", DeskTexts::kClassFact}, {"type", DeskTexts::kTypeFact}, {"name", DeskTexts::kNameFact},
        {"tag", DeskTexts::kTagFact}, {"description", DeskTexts::kDescriptionFact},
        {"globalid", DeskTexts::kGlobalIdFact}, {"storey", DeskTexts::kStoreyFact}};
    const auto facts = host_.Model().FactsOf(*e);
    for (const auto& [key, label] : kIdentity)
        for (const auto& [k, v] : facts)
            if (k == key) row(elementItem, Text(label), Utf8(v));
    QTreeWidgetItem* materials = nullptr;
    for (const auto& [k, v] : facts) {
        if (k != "material") continue;
        if (!materials) materials = row(elementItem, Text(DeskTexts::kMaterialsFact), QString());
        row(materials, Utf8(v), QString());
    }
    if (materials) materials->setExpanded(true);
    for (const auto& [k, v] : facts)
        if (k == "classification") row(elementItem, Text(DeskTexts::kClassificationFact), Utf8(v));
    // The sets in key order, each with its values: "Pset_WallCommon.IsExternal".
    QTreeWidgetItem* set = nullptr;
    QString setName;
    for (const auto& [k, v] : facts) {
        size_t dot = k.find('.');
        if (dot == std::string_view::npos) continue;
        QString name = Utf8(k.substr(0, dot));
        if (!set || name != setName) {
            set = row(elementItem, name, QString());
            setName = name;
        }
        row(set, Utf8(k.substr(dot + 1)), Utf8(v));
    }
}

void SelectionPanel::Refresh() {
    std::set<QString> open;
    for (int i = 0; i < topLevelItemCount(); ++i) KeepOpen(topLevelItem(i), open);
    clear();
    HostModel& model = host_.Model();
    for (const API_Guid& g : model.Selection()) {
        const Element* e = model.Find(g);
        if (!e) continue;
        auto* item = new QTreeWidgetItem(this, {QStringLiteral("%1 %2 — %3%4")
                                                    .arg(FromCodePage(host_.KindName(e->Kind())), FromCodePage(e->IdText()),
                                                         FromCodePage(model.AttributeName(HostAttribute::Layer, e->Layer())),
                                                         e->Locked() ? Text(DeskTexts::kLockedMark) : QString())});
        item->setData(0, kGuidRole, GuidBytes(g));
        item->setFirstColumnSpanned(true);
        if (!e->facts.empty()) item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (topLevelItemCount() == 0) {
        auto* none = new QTreeWidgetItem(this, {Text(DeskTexts::kNothingSelected)});
        none->setFirstColumnSpanned(true);
    }
    const bool single = topLevelItemCount() == 1;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (single || open.count(PathOf(item))) item->setExpanded(true);
        // Groups the user had opened stay open.
        for (int k = 0; k < item->childCount(); ++k) {
            QTreeWidgetItem* group = item->child(k);
            if (group->childCount() > 0 && open.count(PathOf(group))) group->setExpanded(true);
        }
    }
}
