#pragma once
// Dialog descriptions place items in toolkit units, one a pixel on a 96 dpi screen.
#include "dialogkit/DGModalDialog.h"

#include <QRect>

double DialogUnitScale();
inline int ToPixels(int units) { return static_cast<int>(units * DialogUnitScale() + 0.5); }
inline int ToUnits(int pixels) { return static_cast<int>(pixels / DialogUnitScale() + 0.5); }
inline QRect PixelRect(const DGRect& r) { return QRect(ToPixels(r.left), ToPixels(r.top), ToPixels(r.width), ToPixels(r.height)); }

class QWidget;
// The toolkit's dialog font: the size the descriptions' item rectangles were laid out for.
void UseDialogFont(QWidget& widget);

// The row height of a dialog's list (in units) that gives the editors laid over a row, which
// are the row less 7 units high, room for their text in the dialog's font.
int16_t ListRowHeight(const QWidget& dialog);
