#include "host/render/CanvasPainting.h"

#include "basekit/BKText.h"
#include "host/render/TextPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int32_t kTextPixels = 11; // the desktop's dialog font, near enough
constexpr int32_t kTextAscent = 10;
constexpr int32_t kMostTextPixels = 512;

uint32_t ToPixel(uint32_t bgr) { return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF); }

// A fill's see-through share out of 255, from the colour's high byte (0: solid).
uint32_t SeeThrough(uint32_t colour) { return colour >> 24; }

// x / 255 rounded, for x up to 255 * 255 + 127.
uint32_t By255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

uint32_t Blend(uint32_t under, uint32_t over, uint32_t seeThrough) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t a = under >> shift & 0xFF, b = over >> shift & 0xFF;
        out |= By255(a * seeThrough + b * (255 - seeThrough) + 127) << shift;
    }
    return out;
}

Rgb ToRgb(uint32_t bgr) {
    return {static_cast<float>(bgr & 0xFF) / 255.0f, static_cast<float>(bgr >> 8 & 0xFF) / 255.0f,
            static_cast<float>(bgr >> 16 & 0xFF) / 255.0f};
}

void Fill(const PixelView& image, int32_t l, int32_t t, int32_t r, int32_t b, uint32_t pixel, uint32_t seeThrough = 0) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, image.width);
    b = std::min(b, image.height);
    if (r <= l) return;
    for (int32_t y = t; y < b; ++y) {
        uint32_t* row = image.Row(y) + l;
        if (seeThrough == 0) std::fill_n(row, r - l, pixel);
        else
            for (int32_t x = 0; x < r - l; ++x) row[x] = Blend(row[x], pixel, seeThrough);
    }
}

void Dot(const PixelView& image, int32_t x, int32_t y, int32_t width, uint32_t pixel) {
    int32_t from = (width - 1) / 2;
    Fill(image, x - from, y - from, x - from + width, y - from + width, pixel);
}

void Line(const PixelView& image, DGPoint a, DGPoint b, int32_t width, uint32_t pixel) {
    // Lines far outside the picture are cut to it first, so the walk stays short.
    const int64_t limit = 4 * static_cast<int64_t>(std::max(image.width, image.height)) + 64;
    auto cut = [limit](int32_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -limit, limit)); };
    int32_t x0 = cut(a.x), y0 = cut(a.y), x1 = cut(b.x), y1 = cut(b.y);
    int32_t dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1, dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    for (;;) {
        Dot(image, x0, y0, width, pixel);
        if (x0 == x1 && y0 == y1) break;
        int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Polygon(const PixelView& image, const std::vector<DGPoint>& points, uint32_t pixel) {
    if (points.size() < 3) return;
    int32_t top = image.height, bottom = -1;
    for (const DGPoint& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, image.height - 1);
    std::vector<double> crossings;
    for (int32_t y = top; y <= bottom; ++y) {
        crossings.clear();
        double cy = y + 0.5;
        for (size_t i = 0; i < points.size(); ++i) {
            const DGPoint& p = points[i];
            const DGPoint& q = points[(i + 1) % points.size()];
            if ((p.y <= cy) == (q.y <= cy)) continue;
            crossings.push_back(p.x + (cy - p.y) * (q.x - p.x) / static_cast<double>(q.y - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            Fill(image, static_cast<int32_t>(std::ceil(crossings[i] - 0.5)), y,
                 static_cast<int32_t>(std::floor(crossings[i + 1] - 0.5)) + 1, y + 1, pixel);
    }
    for (size_t i = 0; i < points.size(); ++i) Line(image, points[i], points[(i + 1) % points.size()], 1, pixel);
}

std::u32string CodePoints(const std::string& cp1250) {
    std::u16string utf16 = BKToUtf16(cp1250);
    return std::u32string(utf16.begin(), utf16.end()); // Windows-1250 lies in the basic plane
}

void Text(const PixelView& image, const DGCanvasOp& op) {
    int32_t l = std::max(op.left, 0), t = std::max(op.top, 0);
    int32_t r = std::min(op.right, image.width), b = std::min(op.bottom, image.height);
    if (r <= l || b <= t) return;
    std::u32string text = CodePoints(op.text);
    int32_t pixels = op.textPixels > 0 ? std::min(op.textPixels, kMostTextPixels) : kTextPixels;
    int32_t ascent = op.textPixels > 0 ? (pixels * kTextAscent + kTextPixels / 2) / kTextPixels : kTextAscent;
    int32_t x = op.x;
    if (op.align == DGCanvasOp::Align::Centre) {
        TextExtent extent;
        if (MeasureText(text, pixels, extent)) x -= extent.width / 2;
    }
    // The clip is a view of its own, so nothing is drawn outside it.
    PixelView clip{image.Row(t) + l, r - l, b - t, image.stride};
    DrawText(clip, text, x - l, op.y + ascent - t, pixels, ToRgb(op.color));
}

} // namespace

Image PaintCanvasPicture(const DGCanvas& canvas) {
    Image image;
    image.width = std::max(canvas.Width(), 1);
    image.height = std::max(canvas.Height(), 1);
    image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0xFFFFFF);
    PaintCanvas(canvas, ViewOf(image));
    return image;
}

void PaintCanvas(const DGCanvas& canvas, const PixelView& image) {
    for (const DGCanvasOp& op : canvas.Ops()) {
        uint32_t pixel = ToPixel(op.color & 0xFFFFFF);
        switch (op.kind) {
        case DGCanvasOp::Kind::Fill: Fill(image, op.left, op.top, op.right, op.bottom, pixel, SeeThrough(op.color)); break;
        case DGCanvasOp::Kind::Frame:
            if (op.right - op.left < 1 || op.bottom - op.top < 1) break;
            Fill(image, op.left, op.top, op.right, op.top + 1, pixel);
            Fill(image, op.left, op.bottom - 1, op.right, op.bottom, pixel);
            Fill(image, op.left, op.top, op.left + 1, op.bottom, pixel);
            Fill(image, op.right - 1, op.top, op.right, op.bottom, pixel);
            break;
        case DGCanvasOp::Kind::Line:
            if (op.points.size() == 2) Line(image, op.points[0], op.points[1], std::clamp(op.width, 1, 16), pixel);
            break;
        case DGCanvasOp::Kind::Polygon: Polygon(image, op.points, pixel); break;
        case DGCanvasOp::Kind::Text: Text(image, op); break;
        }
    }
}
