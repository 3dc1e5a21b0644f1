#include "host/libparts/LabelDrawing.h"

#include "bytes/LittleEndian.h"
#include "host/render/TextPainter.h"
#include "hostapi/HostLibPartRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

std::u32string ToCodePoints(const std::u16string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (static_cast<char32_t>(s[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<double> NumberParam(std::span<const uint8_t> params, const std::string& name) {
    if (name.empty()) return std::nullopt;
    auto off = FindParam(params, name);
    if (!off || ParamType(params, *off) != HostLibPartParam::kNumber) return std::nullopt;
    double v = ParamNumber(params, *off);
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

void FillBox(const PixelView& image, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgb colour, double opacity) {
    x0 = std::max(0, x0), y0 = std::max(0, y0);
    x1 = std::min(image.width, x1), y1 = std::min(image.height, y1);
    uint32_t c = PackRgb(colour);
    auto a = static_cast<int32_t>(std::lround(opacity * 256));
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) {
            uint32_t& p = image.At(x, y);
            uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                int32_t under = static_cast<int32_t>((p >> shift) & 0xFF), over = static_cast<int32_t>((c >> shift) & 0xFF);
                out |= static_cast<uint32_t>(under + (((over - under) * a) >> 8)) << shift;
            }
            p = out;
        }
}

} // namespace

std::vector<uint8_t> MergeParams(const std::vector<uint8_t>& own, std::span<const uint8_t> given) {
    std::vector<uint8_t> merged = own;
    for (size_t off = 0; off + HostLibPartParam::kSize <= given.size(); off += HostLibPartParam::kSize) {
        std::string name(LE::GetText(given, off + HostLibPartParam::kName, HostLibPartParam::kNameSize));
        auto mine = FindParam(merged, name);
        if (!mine || ParamType(merged, *mine) != ParamType(given, off)) continue;
        std::memcpy(merged.data() + *mine + HostLibPartParam::kValue, given.data() + off + HostLibPartParam::kValue,
                    HostLibPartParam::kSize - HostLibPartParam::kValue);
        merged[*mine + HostLibPartParam::kSize - 2] = 0; // the text's terminator stays
        merged[*mine + HostLibPartParam::kSize - 1] = 0;
    }
    return merged;
}

bool DrawLabelPart(const PixelView& picture, const LibPart& part, std::span<const uint8_t> given) {
    if (!part.def.label || picture.width < 1 || picture.height < 1) return false;
    const LabelStyle& style = *part.def.label;
    std::vector<uint8_t> params = MergeParams(part.def.params, given);
    std::u32string text;
    if (auto off = FindParam(params, style.textParam); off && ParamType(params, *off) == HostLibPartParam::kText)
        text = ToCodePoints(ParamText(params, *off));
    const double width = picture.width;
    // The part lays itself out in a frame as wide as the picture; its height comes from the
    // proportion parameter, the picture's own when that is missing or absurd.
    double proportion = NumberParam(params, style.proportionParam).value_or(0);
    if (!(proportion >= 0.05 && proportion <= 20)) proportion = picture.height / width;
    double size = NumberParam(params, style.sizeParam).value_or(0.03);
    if (!(size > 0 && size <= 0.5)) size = 0.03;
    // Readable on small pictures, never taller than a third of the picture.
    auto textHeight = static_cast<int32_t>(
        std::lround(std::min(1024.0, std::clamp(size * width, 12.0, std::max(12.0, picture.height / 3.0)))));
    TextExtent extent;
    if (!MeasureText(text, textHeight, extent)) return false;
    auto pad = static_cast<int32_t>(std::lround(style.padding * textHeight));
    auto margin = static_cast<int32_t>(std::lround(style.margin * width));
    int32_t boxW = extent.width + 2 * pad, boxH = extent.ascent + extent.descent + 2 * pad;
    auto frameH = static_cast<int32_t>(std::lround(proportion * width));
    int32_t x = style.right ? picture.width - margin - boxW : margin;
    int32_t y = style.bottom ? frameH - margin - boxH : margin;
    if (!text.empty()) {
        FillBox(picture, x, y, x + boxW, y + boxH,
                {static_cast<float>(style.box[0]), static_cast<float>(style.box[1]), static_cast<float>(style.box[2])},
                style.boxOpacity);
    }
    return DrawText(picture, text, x + pad, y + pad + extent.ascent, textHeight,
                    {static_cast<float>(style.ink[0]), static_cast<float>(style.ink[1]), static_cast<float>(style.ink[2])});
}
