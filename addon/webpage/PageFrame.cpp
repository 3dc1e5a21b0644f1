#include "webpage/PageFrame.h"

#include "webpage/PageText.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

extern const unsigned char kWebPageFrame[];
extern const size_t kWebPageFrameSize;

namespace {

constexpr std::string_view kTitleMarker = "@BV-TITLE@", kDataMarker = "@BV-DATA@", kGlbMarker = "@BV-GLB@";

} // namespace

std::string_view WebPageFrame() { return {reinterpret_cast<const char*>(kWebPageFrame), kWebPageFrameSize}; }

std::string FillPageFrame(std::string_view frame, std::string_view title, std::string_view dataJson,
                          std::span<const uint8_t> glb) {
    std::array<std::pair<std::string_view, std::string>, 3> parts = {
        {{kTitleMarker, EscapeHtmlText(title)}, {kDataMarker, JsonForScript(dataJson)}, {kGlbMarker, Base64Of(glb)}}};
    // Where each marker stands, found in the frame alone: a replacement never becomes a marker.
    std::array<std::pair<size_t, size_t>, 3> at{}; // position, part
    size_t total = frame.size();
    for (size_t p = 0; p < parts.size(); ++p) {
        const size_t first = frame.find(parts[p].first);
        if (first == std::string_view::npos || frame.find(parts[p].first, first + 1) != std::string_view::npos)
            throw std::invalid_argument("the page's frame lacks a marker or holds one twice");
        at[p] = {first, p};
        total += parts[p].second.size();
    }
    std::sort(at.begin(), at.end());
    std::string out;
    out.reserve(total);
    size_t from = 0;
    for (const auto& [position, p] : at) {
        if (position < from) throw std::invalid_argument("the page's frame has overlapping markers");
        out.append(frame.substr(from, position - from));
        out += parts[p].second;
        from = position + parts[p].first.size();
    }
    out.append(frame.substr(from));
    return out;
}
