#include "desk/dialogs/ItemWidget.h"

#include "desk/dialogs/CodePageText.h"
#include "desk/dialogs/DialogUnits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// The locale's short date with the whole year; Hungarian dates as Hungarians write them by hand.
QString DateDisplayFormat(const QLocale& locale) {
    if (locale.language() == QLocale::Hungarian) return QStringLiteral("yyyy.MM.dd.");
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

// Dates a date control offers: the item's bounds inside what the platform time holds.
QDate BoundDate(int32_t value, bool upper) {
    QDate d = DateOfPlatformTime(value);
    if (!d.isValid()) return upper ? QDate(6000, 12, 31) : QDate(1, 1, 1);
    return d;
}

} // namespace

ItemWidget::ItemWidget(int16_t id, std::function<DGItem*()> item, QWidget* parent, ItemWidgetEvents events)
    : QObject(parent), id_(id), item_(std::move(item)), events_(std::move(events)) {
    DGItem* it = item_();
    kind_ = it ? it->kind : DGItemKind::StaticText;
    switch (kind_) {
    case DGItemKind::Button: {
        auto* b = new QPushButton(parent);
        connect(b, &QPushButton::clicked, this, [this] {
            if (events_.clicked) events_.clicked(id_);
        });
        widget_ = b;
        break;
    }
    case DGItemKind::StaticText: {
        auto* l = new QLabel(parent);
        // Only a text given room for several lines wraps; a one-line label keeps its line.
        l->setWordWrap(it && it->rect.height >= 30);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget_ = l;
        break;
    }
    case DGItemKind::TextEdit: {
        auto* e = new QLineEdit(parent);
        connect(e, &QLineEdit::textEdited, this, [this](const QString& text) { Report(text.toStdString()); });
        widget_ = e;
        break;
    }
    case DGItemKind::PopUp: {
        auto* c = new QComboBox(parent);
        connect(c, &QComboBox::activated, this, [this](int index) { Report(std::to_string(index + 1)); });
        widget_ = c;
        break;
    }
    case DGItemKind::CheckBox: {
        auto* c = new QCheckBox(parent);
        connect(c, &QCheckBox::clicked, this, [this](bool on) { Report(on ? "1" : "0"); });
        widget_ = c;
        break;
    }
    case DGItemKind::RadioButton: {
        auto* r = new QRadioButton(parent);
        // The dialog's own state decides the group; the widget follows it on the next sync.
        r->setAutoExclusive(false);
        connect(r, &QRadioButton::clicked, this, [this](bool) { Report("1"); });
        widget_ = r;
        break;
    }
    case DGItemKind::IntEdit: {
        auto* s = new QSpinBox(parent);
        s->setKeyboardTracking(false);
        connect(s, &QSpinBox::valueChanged, this, [this](int v) { Report(std::to_string(v)); });
        widget_ = s;
        break;
    }
    case DGItemKind::DateControl: {
        auto* d = new QDateEdit(parent);
        d->setCalendarPopup(true);
        d->setDisplayFormat(DateDisplayFormat(QLocale()));
        connect(d, &QDateEdit::dateChanged, this, [this](QDate date) { Report(IsoDateText(date)); });
        widget_ = d;
        break;
    }
    case DGItemKind::GroupBox: {
        auto* g = new QGroupBox(parent);
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget_ = g;
        break;
    }
    case DGItemKind::ProgressBar: widget_ = new QProgressBar(parent); break;
    case DGItemKind::List:
    case DGItemKind::UserArea: widget_ = nullptr; break; // the list and area views are their own widgets
    }
    if (widget_) {
        widget_->installEventFilter(this);
        for (QObject* child : widget_->findChildren<QWidget*>()) child->installEventFilter(this);
        if (kind_ == DGItemKind::GroupBox) widget_->lower();
    }
    Sync();
}

ItemWidget::~ItemWidget() = default;

namespace {

void SetFramed(QWidget* widget, bool framed) {
    if (auto* e = qobject_cast<QLineEdit*>(widget)) e->setFrame(framed);
    else if (auto* c = qobject_cast<QComboBox*>(widget)) c->setFrame(framed);
    else if (auto* s = qobject_cast<QAbstractSpinBox*>(widget)) s->setFrame(framed);
}

} // namespace

void ItemWidget::SetOverride(const QRect& pixels) {
    if (!override_.isValid()) SetFramed(widget_, false);
    override_ = pixels;
}

void ItemWidget::ClearOverride() {
    if (override_.isValid()) SetFramed(widget_, true);
    override_ = QRect();
}

bool ItemWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && !syncing_ && events_.focused) events_.focused(id_);
    return QObject::eventFilter(watched, event);
}

void ItemWidget::Report(const std::string& utf8Value) {
    if (syncing_ || !events_.changed) return;
    events_.changed(id_, utf8Value);
    // The item took the value (or refused it): either way the widget now shows the item's truth.
    if (DGItem* item = item_()) {
        if (item->text == shownText_ && item->value == shownValue_) return;
        shownText_ = item->text;
        shownValue_ = item->value;
    }
}

namespace {

// The descriptions were laid out for a narrower font than this screen's: a label that does not
// fit its item is drawn a little smaller rather than cut off.
void FitTextToWidth(QWidget& widget, int width) {
    constexpr int kSmallestPixels = 8;
    QFont font = widget.parentWidget() ? widget.parentWidget()->font() : widget.font();
    int size = font.pixelSize();
    if (size <= 0) return;
    for (; size > kSmallestPixels; --size) {
        font.setPixelSize(size);
        widget.setFont(font);
        if (widget.sizeHint().width() <= width) return;
    }
    font.setPixelSize(kSmallestPixels);
    widget.setFont(font);
}

} // namespace

void ItemWidget::Sync() {
    DGItem* item = item_();
    if (!item || !widget_) return;
    syncing_ = true;
    QSignalBlocker block(widget_);
    QRect rect = override_.isValid() ? override_ : PixelRect(item->rect);
    if (widget_->geometry() != rect) widget_->setGeometry(rect);
    widget_->setEnabled(item->enabled);
    bool textChanged = first_ || item->text != shownText_;
    bool valueChanged = first_ || item->value != shownValue_;
    QString text = FromCodePage(item->text);
    switch (kind_) {
    case DGItemKind::Button:
        if (textChanged) static_cast<QPushButton*>(widget_.data())->setText(text);
        break;
    case DGItemKind::StaticText:
        if (textChanged) static_cast<QLabel*>(widget_.data())->setText(text);
        break;
    case DGItemKind::TextEdit:
        if (textChanged) static_cast<QLineEdit*>(widget_.data())->setText(text);
        break;
    case DGItemKind::PopUp: {
        auto* c = static_cast<QComboBox*>(widget_.data());
        std::vector<std::string> entries;
        for (const auto& e : item->entries) entries.push_back(e.text);
        // A renamed entry is new too, not only one more or one less.
        if (first_ || entries != shownEntries_) {
            c->clear();
            for (const auto& e : entries) c->addItem(FromCodePage(e));
            shownEntries_ = std::move(entries);
            valueChanged = true;
        }
        if (valueChanged) c->setCurrentIndex(item->value - 1);
        break;
    }
    case DGItemKind::CheckBox:
    case DGItemKind::RadioButton: {
        auto* b = static_cast<QAbstractButton*>(widget_.data());
        if (textChanged) b->setText(text);
        b->setChecked(item->value != 0);
        break;
    }
    case DGItemKind::IntEdit: {
        auto* s = static_cast<QSpinBox*>(widget_.data());
        s->setRange(item->minimum, item->maximum);
        if (valueChanged) s->setValue(item->value);
        break;
    }
    case DGItemKind::DateControl: {
        auto* d = static_cast<QDateEdit*>(widget_.data());
        d->setDateRange(BoundDate(item->minimum, false), BoundDate(item->maximum, true));
        if (valueChanged) d->setDate(DateOfPlatformTime(item->value));
        break;
    }
    case DGItemKind::GroupBox:
        if (textChanged) static_cast<QGroupBox*>(widget_.data())->setTitle(text);
        break;
    case DGItemKind::ProgressBar: {
        auto* p = static_cast<QProgressBar*>(widget_.data());
        int32_t lo = item->minimum == INT32_MIN ? 0 : item->minimum;
        int32_t hi = item->maximum == INT32_MAX ? 100 : item->maximum;
        p->setRange(lo, hi > lo ? hi : lo + 1);
        p->setValue(item->value);
        break;
    }
    case DGItemKind::List:
    case DGItemKind::UserArea: break;
    }
    bool labelled = kind_ == DGItemKind::Button || kind_ == DGItemKind::CheckBox || kind_ == DGItemKind::RadioButton;
    if (labelled && (textChanged || rect.width() != fittedWidth_)) {
        FitTextToWidth(*widget_, rect.width());
        fittedWidth_ = rect.width();
    }
    shownText_ = item->text;
    shownValue_ = item->value;
    first_ = false;
    if (widget_->isVisibleTo(widget_->parentWidget()) != item->visible) widget_->setVisible(item->visible);
    syncing_ = false;
}
