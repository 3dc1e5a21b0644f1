#include "desk/dialogs/DialogUnits.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

double DialogUnitScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi >= 96.0 ? dpi / 96.0 : 1.0;
}

void UseDialogFont(QWidget& widget) {
    QFont font = widget.font();
    font.setPixelSize(ToPixels(11));
    widget.setFont(font);
}

int16_t ListRowHeight(const QWidget& dialog) {
    // The editors as they lie in a cell: without a frame, in the dialog's font, an accented
    // capital and a descender in view.
    QLineEdit text;
    text.setFrame(false);
    QComboBox popUp;
    popUp.setFrame(false);
    popUp.addItem(QStringLiteral("\u00c9p\u00edt\u00e9sg"));
    QDateEdit date;
    date.setFrame(false);
    date.setCalendarPopup(true);
    int pixels = 0;
    for (QWidget* w : std::initializer_list<QWidget*>{&text, &popUp, &date}) {
        w->setFont(dialog.font());
        pixels = std::max({pixels, w->minimumSizeHint().height(), w->fontMetrics().height() + 4});
    }
    int units = static_cast<int>(std::ceil(pixels / DialogUnitScale()));
    return static_cast<int16_t>(units + 7);
}
