#include "host/render/TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace {

// One library and face for the program's life; the host draws on one thread.
class Font {
public:
    static Font& Get() {
        static Font font;
        return font;
    }
    FT_Face Face(int32_t pixelHeight) {
        if (!face_) return nullptr;
        if (pixelHeight != size_) {
            if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;
            size_ = pixelHeight;
        }
        return face_;
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

private:
    Font() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                                 "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
            if (FT_New_Face(library_, path, 0, &face_) == 0) break;
            face_ = nullptr;
        }
    }
    ~Font() {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int32_t size_ = 0;
};

constexpr int32_t kMaxPixelHeight = 1024;

} // namespace

bool MeasureText(const std::u32string& text, int32_t pixelHeight, TextExtent& extent) {
    if (pixelHeight < 1 || pixelHeight > kMaxPixelHeight) return false;
    FT_Face face = Font::Get().Face(pixelHeight);
    if (!face) return false;
    extent = {};
    extent.ascent = static_cast<int32_t>(face->size->metrics.ascender >> 6);
    extent.descent = static_cast<int32_t>(-(face->size->metrics.descender >> 6));
    for (char32_t ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) != 0) continue;
        extent.width += static_cast<int32_t>(face->glyph->advance.x >> 6);
    }
    return true;
}

bool DrawText(const PixelView& image, const std::u32string& text, int32_t x, int32_t baseline, int32_t pixelHeight, Rgb colour) {
    if (pixelHeight < 1 || pixelHeight > kMaxPixelHeight) return false;
    FT_Face face = Font::Get().Face(pixelHeight);
    if (!face) return false;
    const uint32_t ink = PackRgb(colour);
    const int32_t inkR = static_cast<int32_t>((ink >> 16) & 0xFF), inkG = static_cast<int32_t>((ink >> 8) & 0xFF),
                  inkB = static_cast<int32_t>(ink & 0xFF);
    int32_t penX = x;
    for (char32_t ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.pitch > 0) {
            int32_t left = penX + g->bitmap_left, top = baseline - g->bitmap_top;
            for (int32_t row = 0; row < static_cast<int32_t>(bm.rows); ++row) {
                int32_t y = top + row;
                if (y < 0 || y >= image.height) continue;
                const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
                for (int32_t col = 0; col < static_cast<int32_t>(bm.width); ++col) {
                    int32_t px = left + col;
                    int32_t a = src[col];
                    if (px < 0 || px >= image.width || a == 0) continue;
                    uint32_t& p = image.At(px, y);
                    auto mix = [a](int32_t under, int32_t over) { return (under * (255 - a) + over * a + 127) / 255; };
                    int32_t r = mix(static_cast<int32_t>((p >> 16) & 0xFF), inkR);
                    int32_t gg = mix(static_cast<int32_t>((p >> 8) & 0xFF), inkG);
                    int32_t b = mix(static_cast<int32_t>(p & 0xFF), inkB);
                    p = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(gg) << 8 | static_cast<uint32_t>(b);
                }
            }
        }
        penX += static_cast<int32_t>(g->advance.x >> 6);
    }
    return true;
}
