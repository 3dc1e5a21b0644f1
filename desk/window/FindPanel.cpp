#include "desk/window/FindPanel.h"

#include "desk/dialogs/CodePageText.h"
#include "desk/window/DeskTexts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <set>

using namespace DeskTexts;

namespace {

constexpr int kMaxValues = 500; // a pop-up longer than this helps nobody; the user types instead

bool TakesNoValue(const QString& key) { return key == QStringLiteral("linked") || key == QStringLiteral("unlinked"); }

} // namespace

FindPanel::FindPanel(Host& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("findPanel"));
    auto* layout = new QVBoxLayout(this);
    rowsLayout_ = new QVBoxLayout;
    layout->addLayout(rowsLayout_);
    auto* add = new QPushButton(Text(kAddCondition), this);
    connect(add, &QPushButton::clicked, this, [this] { AddCondition(); });
    layout->addWidget(add);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("findCount"));
    layout->addWidget(count_);
    auto* actions = new QHBoxLayout;
    select_ = new QPushButton(Text(kFindSelect), this);
    isolate_ = new QPushButton(Text(kIsolate), this);
    zoom_ = new QPushButton(Text(kZoomTo), this);
    for (QPushButton* b : {select_, isolate_, zoom_}) actions->addWidget(b);
    layout->addLayout(actions);
    layout->addStretch(1);
    connect(select_, &QPushButton::clicked, this, [this] {
        auto& selection = host_.Model().Selection();
        selection.clear();
        for (Element* e : result_) selection.push_back(e->Guid());
        if (selectionChanged) selectionChanged();
    });
    connect(isolate_, &QPushButton::clicked, this, [this] {
        isolating_ = !isolating_;
        isolate_->setText(isolating_ ? Text(kShowAll) : Text(kIsolate));
        if (!isolate) return;
        if (!isolating_) return isolate(std::nullopt);
        std::unordered_set<API_Guid, API_GuidHash> only;
        for (Element* e : result_) only.insert(e->Guid());
        isolate(std::move(only));
    });
    connect(zoom_, &QPushButton::clicked, this, [this] {
        if (zoomTo && !result_.empty()) zoomTo(result_);
    });
    AddCondition(QStringLiteral("class"));
}

void FindPanel::AddCondition(const QString& key, const QString& value) {
    Row row;
    row.box = new QWidget(this);
    auto* line = new QHBoxLayout(row.box);
    line->setContentsMargins(0, 0, 0, 0);
    row.key = new QComboBox(row.box);
    row.key->setObjectName(QStringLiteral("findKey"));
    row.value = new QComboBox(row.box);
    row.value->setObjectName(QStringLiteral("findValue"));
    row.value->setEditable(true);
    row.value->setInsertPolicy(QComboBox::NoInsert);
    row.value->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row.value->setMinimumContentsLength(12);
    auto* remove = new QToolButton(row.box);
    remove->setText(QStringLiteral("×"));
    line->addWidget(row.key);
    line->addWidget(row.value, 1);
    line->addWidget(remove);
    rowsLayout_->addWidget(row.box);
    row.box->show(); // a row added after the dock was first shown stays hidden otherwise
    rows_.push_back(row);
    QWidget* box = row.box;
    connect(remove, &QToolButton::clicked, this, [this, box] {
        std::erase_if(rows_, [box](const Row& r) { return r.box == box; });
        box->deleteLater();
        Recount();
    });
    QComboBox* keyBox = row.key;
    connect(row.key, &QComboBox::currentTextChanged, this, [this, keyBox] {
        for (Row& r : rows_)
            if (r.key == keyBox) FillValues(r);
        Recount();
    });
    connect(row.value, &QComboBox::editTextChanged, this, [this] { Recount(); });
    Refresh();
    if (!key.isEmpty()) row.key->setCurrentText(key);
    if (!value.isEmpty()) row.value->setEditText(value);
    Recount();
}

void FindPanel::Refresh() {
    // Keys: the fixed ones, then every property and quantity the model's elements have.
    QStringList keys;
    for (const std::string& k : ElementConditionKeys()) keys << QString::fromStdString(k);
    keys << QStringLiteral("linked") << QStringLiteral("unlinked");
    std::set<std::string> properties;
    const HostModel& model = host_.Model();
    for (const auto& e : model.Elements())
        for (const ElementFact& f : e->facts) {
            std::string_view key = model.Facts().Text(f.key);
            if (key.find('.') != std::string_view::npos) properties.emplace(key);
        }
    for (const std::string& p : properties) keys << QString::fromStdString(p);
    for (Row& r : rows_) {
        QString current = r.key->currentText();
        QString typed = r.value->currentText();
        r.key->blockSignals(true);
        r.key->clear();
        r.key->addItems(keys);
        r.key->setCurrentText(current.isEmpty() ? keys.front() : current);
        r.key->blockSignals(false);
        FillValues(r);
        r.value->setEditText(typed);
    }
    Recount();
}

void FindPanel::FillValues(Row& row) {
    const QString key = row.key->currentText();
    const HostModel& model = host_.Model();
    std::set<QString> values;
    if (key == QStringLiteral("layer")) {
        for (int16_t i = 1; i <= model.AttributeCount(HostAttribute::Layer); ++i)
            values.insert(FromCodePage(model.AttributeName(HostAttribute::Layer, i)));
    } else if (key == QStringLiteral("kind")) {
        for (const auto& e : model.Elements()) values.insert(QString::number(e->Kind()));
    } else if (key != QStringLiteral("name") && !TakesNoValue(key)) {
        const std::string k = key.toStdString();
        for (const auto& e : model.Elements()) {
            for (const ElementFact& f : e->facts)
                if (model.Facts().Text(f.key) == k) values.insert(QString::fromUtf8(model.Facts().Text(f.value)));
            if (values.size() >= static_cast<size_t>(kMaxValues)) break;
        }
    }
    QString typed = row.value->currentText();
    row.value->blockSignals(true);
    row.value->clear();
    for (const QString& v : values) row.value->addItem(v);
    row.value->setEditText(typed);
    row.value->setEnabled(!TakesNoValue(key));
    row.value->blockSignals(false);
}

std::vector<ElementCondition> FindPanel::Conditions(QString& error) const {
    std::vector<ElementCondition> out;
    for (const Row& r : rows_) {
        QString key = r.key->currentText(), value = r.value->currentText();
        // A condition without a value asks for nothing yet.
        if (!TakesNoValue(key) && value.isEmpty()) continue;
        std::string text = TakesNoValue(key) ? key.toStdString() : (key + QLatin1Char('=') + value).toStdString();
        std::string why;
        auto c = ParseElementCondition(text, why);
        if (!c) {
            error = QString::fromStdString(why);
            return {};
        }
        out.push_back(std::move(*c));
    }
    return out;
}

void FindPanel::Recount() {
    QString error;
    auto conditions = Conditions(error);
    result_ = error.isEmpty() && !conditions.empty() ? FindElements(host_.Model(), conditions) : std::vector<Element*>{};
    if (!error.isEmpty()) count_->setText(error);
    else if (conditions.empty()) count_->setText(Text(kChooseWhat));
    else count_->setText(Text(kElementsFound).arg(result_.size()));
    for (QPushButton* b : {select_, zoom_})
        if (b) b->setEnabled(!result_.empty());
}
