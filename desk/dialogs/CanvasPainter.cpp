#include "desk/dialogs/CanvasPainter.h"

#include "desk/dialogs/CodePageText.h"

#include <QPainter>

void PaintCanvas(const DGCanvas& canvas, QPainter& painter) {
    painter.save();
    painter.setClipRect(0, 0, canvas.Width(), canvas.Height());
    for (const DGCanvasOp& op : canvas.Ops()) {
        QRect rect(op.left, op.top, op.right - op.left, op.bottom - op.top);
        switch (op.kind) {
        case DGCanvasOp::Kind::Fill: painter.fillRect(rect, ColorOfToolkit(op.color)); break;
        case DGCanvasOp::Kind::Frame:
            if (rect.width() > 0 && rect.height() > 0) {
                painter.setPen(ColorOfToolkit(op.color));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(rect.adjusted(0, 0, -1, -1));
            }
            break;
        case DGCanvasOp::Kind::Text: {
            painter.save();
            painter.setClipRect(rect, Qt::IntersectClip);
            painter.setPen(ColorOfToolkit(kDGWindowTextColor));
            QString text = FromCodePage(op.text);
            int width = painter.fontMetrics().horizontalAdvance(text);
            painter.drawText(QRect(op.x - width / 2 - 1, op.y, width + 2, rect.bottom() - op.y + 1),
                             Qt::AlignHCenter | Qt::AlignTop, text);
            painter.restore();
            break;
        }
        }
    }
    painter.restore();
}
