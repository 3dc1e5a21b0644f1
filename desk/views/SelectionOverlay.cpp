#include "desk/views/SelectionOverlay.h"

#include "desk/views/ElementPicker.h"
#include "desk/views/SelectionOutline.h"
#include "host/render/ViewDepth.h"
#include "host/render/ViewProjection.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

enum Mark : uint8_t { kNone, kTint, kHidden, kShown };

QRgb Premultiplied(const QColor& c, int alpha) {
    return qPremultiply(qRgba(c.red(), c.green(), c.blue(), alpha));
}

} // namespace

QImage SelectionOverlay(HostModel& model, const ViewCamera& camera, const ViewDepth& depth, SceneSide side) {
    const int32_t width = depth.Width(), height = depth.Height();
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    std::set<const Element*> selected;
    for (const API_Guid& g : model.Selection())
        if (const Element* e = model.Find(g); e && IsElementDrawn(model, *e, side)) selected.insert(e);
    if (selected.empty()) return out;

    std::vector<uint8_t> marks(static_cast<size_t>(width) * static_cast<size_t>(height), kNone);
    auto mark = [&](int32_t x, int32_t y, Mark m) {
        uint8_t& at = marks[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        at = std::max<uint8_t>(at, m);
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (selected.count(depth.Owner(x, y))) mark(x, y, kTint);

    ViewProjection view(camera, width, height);
    for (const Element* e : selected) {
        for (auto [a, b] : OutlineEdges(*e, camera.eye)) {
            Vec3 va = view.ToView(a), vb = view.ToView(b);
            if (va[2] < ViewProjection::kNear && vb[2] < ViewProjection::kNear) continue;
            if (va[2] < ViewProjection::kNear) va = Lerp3(va, vb, (ViewProjection::kNear - va[2]) / (vb[2] - va[2]));
            if (vb[2] < ViewProjection::kNear) vb = Lerp3(vb, va, (ViewProjection::kNear - vb[2]) / (va[2] - vb[2]));
            ScreenDepth sa = view.OnScreen(va), sb = view.OnScreen(vb);
            double dx = sb.x - sa.x, dy = sb.y - sa.y;
            double length = std::max(std::fabs(dx), std::fabs(dy));
            if (!std::isfinite(length) || length > 8.0 * (width + height)) continue;
            // The line two pixels wide: the second pixel beside the first, across the line.
            bool across = std::fabs(dx) >= std::fabs(dy);
            auto steps = static_cast<int32_t>(std::ceil(length)) + 1;
            for (int32_t k = 0; k <= steps; ++k) {
                double t = static_cast<double>(k) / steps;
                double px = sa.x + dx * t, py = sa.y + dy * t;
                // 1/depth runs straight along the line on the screen.
                double invZ = sa.invZ + (sb.invZ - sa.invZ) * t;
                auto x = static_cast<int32_t>(std::floor(px)), y = static_cast<int32_t>(std::floor(py));
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                bool inSight = depth.InSight(x, y, invZ);
                mark(x, y, inSight ? kShown : kHidden);
                int32_t nx = across ? x : x + 1, ny = across ? y + 1 : y;
                if (nx >= width || ny >= height) continue;
                // Beside the line: strong only where no other element stands in front there.
                const Element* beside = depth.Owner(nx, ny);
                bool clear = !beside || selected.count(beside) || depth.InSight(nx, ny, invZ);
                mark(nx, ny, inSight && clear ? kShown : kHidden);
            }
        }
    }

    const QRgb colours[] = {0, Premultiplied(kSelectionColour, kTintAlpha), Premultiplied(kSelectionColour, kHiddenOutlineAlpha),
                            Premultiplied(kSelectionColour, 255)};
    for (int32_t y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int32_t x = 0; x < width; ++x)
            if (uint8_t m = marks[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]) line[x] = colours[m];
    }
    return out;
}
