#include "desk/dialogs/CanvasPainter.h"

#include "desk/dialogs/CodePageText.h"

#include <QPainter>
#include <QPolygon>

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
            painter.setPen(ColorOfToolkit(op.color));
            QString text = FromCodePage(op.text);
            int width = painter.fontMetrics().horizontalAdvance(text);
            int left = op.align == DGCanvasOp::Align::Left ? op.x : op.x - width / 2 - 1;
            painter.drawText(QRect(left, op.y, width + 2, rect.bottom() - op.y + 1),
                             (op.align == DGCanvasOp::Align::Left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignTop, text);
            painter.restore();
            break;
        }
        case DGCanvasOp::Kind::Line:
            if (op.points.size() == 2) {
                painter.setPen(QPen(ColorOfToolkit(op.color), op.width, Qt::SolidLine, Qt::SquareCap));
                painter.drawLine(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y);
            }
            break;
        case DGCanvasOp::Kind::Polygon: {
            QPolygon polygon;
            for (const DGPoint& p : op.points) polygon << QPoint(p.x, p.y);
            painter.setPen(ColorOfToolkit(op.color));
            painter.setBrush(ColorOfToolkit(op.color));
            painter.drawPolygon(polygon);
            painter.setBrush(Qt::NoBrush);
            break;
        }
        }
    }
    painter.restore();
}
