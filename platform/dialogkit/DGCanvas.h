#pragma once
// What an owner-drawn cell draws, recorded: frames, solid fills with their colour, and texts.
#include <cstdint>
#include <string>
#include <vector>

struct DGCanvasOp {
    enum class Kind { Frame, Fill, Text };
    Kind kind = Kind::Frame;
    int32_t left = 0, top = 0, right = 0, bottom = 0; // fills and frames: the rectangle; texts: clip
    uint32_t color = 0;                               // 0x00BBGGRR
    int32_t x = 0, y = 0;                             // texts: anchor (centred at x)
    std::string text;                                 // 8-bit code page
};

class DGCanvas {
public:
    DGCanvas(int32_t width, int32_t height) : width_(width), height_(height) {}
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t TextHeight() const { return 13; }

    void FrameRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
        ops_.push_back({DGCanvasOp::Kind::Frame, l, t, r, b, color, 0, 0, {}});
    }
    void FillRect(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t color) {
        ops_.push_back({DGCanvasOp::Kind::Fill, l, t, r, b, color, 0, 0, {}});
    }
    // Centred on x, top at y, clipped to the rectangle.
    void DrawTextCentred(int32_t x, int32_t y, const std::string& text, int32_t l, int32_t t, int32_t r, int32_t b) {
        ops_.push_back({DGCanvasOp::Kind::Text, l, t, r, b, 0, x, y, text});
    }
    const std::vector<DGCanvasOp>& Ops() const { return ops_; }

private:
    int32_t width_, height_;
    std::vector<DGCanvasOp> ops_;
};

// System colours the back-end gives.
constexpr uint32_t kDGWindowTextColor = 0x000000;
constexpr uint32_t kDGInactiveBorderColor = 0xB4B4B4;
