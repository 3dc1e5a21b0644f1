#include "desk/dialogs/DialogUnits.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
