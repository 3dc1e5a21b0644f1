#pragma once
// What an owner-drawn cell or user area draws, recorded: frames, solid fills, lines, filled
// polygons and texts, each with its colour. The back-end that shows the dialog paints the ops in
// order; the headless one keeps them for prints and pictures.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct DGPoint {
    int32_t x = 0, y = 0;
    bool operator==(const DGPoint&) const = default;
};

struct DGCanvasOp {
    enum class Kind { Frame, Fill, Text, Line, Polygon };
    enum class Align { Centre, Left };
    Kind kind = Kind::Frame;
    int32_t left = 0, top = 0, right = 0, bottom = 0; // fills and frames: the rectangle; texts: clip
    uint32_t color = 0;                               // 0x00BBGGRR; fills: 0xAABBGGRR, AA see-through of 255
    int32_t x = 0, y = 0;                             // texts: anchor (top at y)
    std::string text;                                 // 8-bit code page
    Align align = Align::Centre;
    int32_t width = 1;                                // lines: pen width in pixels
    int32_t textPixels = 0;                           // texts: the font's size in pixels, 0: the dialog font's
    std::vector<DGPoint> points;                      // lines: the two ends; polygons: the corners
};

class DGCanvas {
public:
    DGCanvas(int32_t width, int32_t height) : width_(width), height_(height) {}
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t TextHeight() const { return 13; }
    // A text's width as the back-ends draw it, near enough to place what follows it: 7 pixels a
    // character (an 8-bit text is one byte a character).
    static int32_t TextWidth(const std::string& text) { return 7 * static_cast<int32_t>(text.size()); }

    void FrameRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
        ops_.push_back(Rect(DGCanvasOp::Kind::Frame, l, t, r, b, color));
    }
    void FillRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
        ops_.push_back(Rect(DGCanvasOp::Kind::Fill, l, t, r, b, color));
    }
    // Centred on x, top at y, clipped to the rectangle, in the window-text colour.
    void DrawTextCentred(int32_t x, int32_t y, const std::string& text, int32_t l, int32_t t, int32_t r, int32_t b) {
        DGCanvasOp op = Rect(DGCanvasOp::Kind::Text, l, t, r, b, 0);
        op.x = x;
        op.y = y;
        op.text = text;
        ops_.push_back(std::move(op));
    }
    // Starting at x, top at y, clipped to the rectangle.
    void DrawTextLeft(int32_t x, int32_t y, const std::string& text, int32_t l, int32_t t, int32_t r, int32_t b,
                      uint32_t color) {
        DGCanvasOp op = Rect(DGCanvasOp::Kind::Text, l, t, r, b, color);
        op.x = x;
        op.y = y;
        op.text = text;
        op.align = DGCanvasOp::Align::Left;
        ops_.push_back(std::move(op));
    }
    // Starting at x, top at y, in a font `pixels` high, clipped to the canvas.
    void DrawTextSized(int32_t x, int32_t y, const std::string& text, int32_t pixels, uint32_t color) {
        DrawTextLeft(x, y, text, 0, 0, width_, height_, color);
        ops_.back().textPixels = pixels;
    }
    // An op made elsewhere (another canvas's, moved or scaled).
    void Add(DGCanvasOp op) { ops_.push_back(std::move(op)); }
    // Both ends drawn.
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color, int32_t width = 1) {
        DGCanvasOp op;
        op.kind = DGCanvasOp::Kind::Line;
        op.color = color;
        op.width = width;
        op.points = {{x1, y1}, {x2, y2}};
        ops_.push_back(std::move(op));
    }
    // Filled with its outline in the same colour.
    void Polygon(std::vector<DGPoint> corners, uint32_t color) {
        DGCanvasOp op;
        op.kind = DGCanvasOp::Kind::Polygon;
        op.color = color;
        op.points = std::move(corners);
        ops_.push_back(std::move(op));
    }
    const std::vector<DGCanvasOp>& Ops() const { return ops_; }

private:
    static DGCanvasOp Rect(DGCanvasOp::Kind kind, int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
        DGCanvasOp op;
        op.kind = kind;
        op.left = l;
        op.top = t;
        op.right = r;
        op.bottom = b;
        op.color = color;
        return op;
    }

    int32_t width_, height_;
    std::vector<DGCanvasOp> ops_;
};

// System colours the back-end gives.
constexpr uint32_t kDGWindowTextColor = 0x000000;
constexpr uint32_t kDGInactiveBorderColor = 0xB4B4B4;
