#include "display/ProfileSwatch.h"

#include <algorithm>

namespace {

constexpr int32_t kCell = 5;
constexpr uint32_t kLightCell = 0xFFFFFF, kDarkCell = 0xB0B0B0, kEdge = 0x707070, kStrike = 0x2020D0;
constexpr uint32_t kOwnFill = 0xE8F0F4, kTypeFill = 0xD8D8D8;
constexpr int kFadeBands = 4;

uint32_t Channel(uint32_t colour, int shift) { return (colour >> shift) & 0xFF; }

uint32_t Mix(uint8_t front, uint32_t back, uint8_t transparency) {
    return (front * (100u - transparency) + back * transparency + 50u) / 100u;
}

// Checker cells counted from the swatch's corner, so every swatch shows the same pattern.
template <class Paint> void ForEachCell(int32_t left, int32_t top, int32_t right, int32_t bottom, Paint&& paint) {
    for (int32_t y = top; y < bottom; y += kCell)
        for (int32_t x = left; x < right; x += kCell) {
            const bool dark = (((x - left) / kCell) + ((y - top) / kCell)) % 2 != 0;
            paint(x, y, std::min(x + kCell, right), std::min(y + kCell, bottom), dark ? kDarkCell : kLightCell);
        }
}

} // namespace

uint32_t BlendOver(ProfileColour colour, uint8_t transparency, uint32_t background) {
    const uint8_t t = std::min<uint8_t>(transparency, 100);
    return Mix(colour.red, Channel(background, 0), t) | Mix(colour.green, Channel(background, 8), t) << 8 |
           Mix(colour.blue, Channel(background, 16), t) << 16;
}

void DrawPhaseSwatch(DGCanvas& canvas, const PhaseLook& look, const SwatchWords& words, int32_t left, int32_t top,
                     int32_t right, int32_t bottom) {
    if (right <= left || bottom <= top) return;
    switch (look.kind) {
    case PhaseLook::Kind::Hide:
        ForEachCell(left, top, right, bottom, [&](int32_t l, int32_t t, int32_t r, int32_t b, uint32_t cell) {
            canvas.FillRect(l, t, r, b, cell);
        });
        canvas.Line(left, bottom - 1, right - 1, top, kStrike, 2);
        break;
    case PhaseLook::Kind::Model:
    case PhaseLook::Kind::TypeLook: {
        const bool own = look.kind == PhaseLook::Kind::Model;
        canvas.FillRect(left, top, right, bottom, own ? kOwnFill : kTypeFill);
        const std::string& word = own ? words.own : words.type;
        canvas.DrawTextCentred((left + right) / 2, top + (bottom - top - canvas.TextHeight()) / 2, word, left, top,
                               right, bottom);
        break;
    }
    case PhaseLook::Kind::Colour: {
        // A fade runs left to right, its start to its finish.
        const int bands = look.Fades() ? kFadeBands : 1;
        for (int band = 0; band < bands; ++band) {
            const int32_t l = left + (right - left) * band / bands, r = left + (right - left) * (band + 1) / bands;
            const int step = bands > 1 ? band * 100 / (bands - 1) : 0;
            const auto t = static_cast<uint8_t>((look.transparency * (100 - step) + look.transparencyAtFinish * step + 50) / 100);
            ForEachCell(left, top, right, bottom, [&](int32_t cl, int32_t ct, int32_t cr, int32_t cb, uint32_t cell) {
                const int32_t from = std::max(cl, l), to = std::min(cr, r);
                if (from < to) canvas.FillRect(from, ct, to, cb, BlendOver(look.colour, t, cell));
            });
        }
        break;
    }
    }
    canvas.FrameRect(left, top, right, bottom, kEdge);
}
