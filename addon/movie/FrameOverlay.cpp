#include "movie/FrameOverlay.h"

#include "dialogkit/DGCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kBaseHeight = 720;
constexpr uint32_t kGround = 0x40FFFFFF; // white, a quarter seen through
constexpr uint32_t kInk = 0x202020;
constexpr uint32_t kFrameLine = 0xA0A0A0;
constexpr uint32_t kBarDone = 0x2E7D32;  // 0x00BBGGRR: a green
constexpr uint32_t kBarLeft = 0xD8D8D8;

struct Line {
    Line(std::string t, int32_t px, bool sw = false, uint32_t col = kInk)
        : text(std::move(t)), pixels(px), swatch(sw), colour(col) {}
    std::string text;
    int32_t pixels = 0;
    bool swatch = false; // a square of `colour` before the text
    uint32_t colour = kInk;
};

struct Metrics {
    double k;
    int32_t Px(double v) const { return static_cast<int32_t>(std::lround(v * k)); }
    int32_t text() const { return std::max(12, Px(18)); }
    int32_t big() const { return std::max(14, Px(26)); }
    int32_t pad() const { return std::max(4, Px(10)); }
    int32_t gap() const { return std::max(2, Px(4)); }
    int32_t margin() const { return std::max(6, Px(16)); }
};

// DejaVu Sans averages a little over half its height a character.
int32_t TextWidth(const std::string& text, int32_t pixels) {
    return static_cast<int32_t>(std::lround(static_cast<double>(text.size()) * pixels * 0.6));
}

struct Box {
    std::vector<Line> lines;
    int32_t Width(const Metrics& m) const {
        int32_t w = 0;
        for (const Line& l : lines) w = std::max(w, TextWidth(l.text, l.pixels) + (l.swatch ? l.pixels + m.gap() * 2 : 0));
        return w + 2 * m.pad();
    }
    int32_t Height(const Metrics& m) const {
        int32_t h = 2 * m.pad();
        for (const Line& l : lines) h += l.pixels + m.gap();
        return h - (lines.empty() ? 0 : m.gap());
    }
};

void DrawBox(const Box& box, int32_t left, int32_t top, const Metrics& m, DGCanvas& c) {
    int32_t w = box.Width(m), h = box.Height(m);
    c.FillRect(left, top, left + w, top + h, kGround);
    c.FrameRect(left, top, left + w, top + h, kFrameLine);
    int32_t y = top + m.pad();
    for (const Line& l : box.lines) {
        int32_t x = left + m.pad();
        if (l.swatch) {
            int32_t s = l.pixels * 3 / 4, sy = y + (l.pixels - s) / 2;
            c.FillRect(x, sy, x + s, sy + s, l.colour);
            c.FrameRect(x, sy, x + s, sy + s, kInk);
            x += l.pixels + m.gap();
        }
        c.DrawTextSized(x, y, l.text, l.pixels, kInk);
        y += l.pixels + m.gap();
    }
}

} // namespace

OverlayPlaces PlaceOverlays(const MovieOptions& options, int32_t width, int32_t height) {
    OverlayPlaces p;
    if ((options.overlays & kOverlayGantt) == 0 || width < 1 || height < 1) return p;
    // A quarter of the picture: the scale and six rows at 720p.
    p.ganttHeight = static_cast<int32_t>(std::lround(height * 0.25));
    p.ganttTop = height - p.ganttHeight;
    return p;
}

void DrawFrameOverlay(const MovieOptions& o, const OverlayFacts& f, DGCanvas& c) {
    const int32_t width = c.Width(), height = c.Height();
    if (width < 1 || height < 1) return;
    Metrics m{height / kBaseHeight};
    OverlayPlaces places = PlaceOverlays(o, width, height);

    int32_t top = m.margin(), bottom = (places.ganttHeight > 0 ? places.ganttTop : height) - m.margin();
    if ((o.overlays & kOverlayProgress) != 0) {
        int32_t barHeight = std::max(4, m.Px(8));
        int32_t done = static_cast<int32_t>(std::lround(width * f.progress));
        c.FillRect(0, 0, width, barHeight, kBarLeft);
        c.FillRect(0, 0, done, barHeight, kBarDone);
        top += barHeight;
    }

    // Boxes by corner: top-left, top-right, bottom-left, bottom-right; stacked from the edge.
    std::array<std::vector<Box>, 4> corners;
    auto in = [&corners](MovieCorner corner) -> std::vector<Box>& { return corners[static_cast<size_t>(corner)]; };
    if ((o.overlays & kOverlayTitle) != 0 && !f.title.empty()) in(o.titleCorner).push_back(Box{{Line(f.title, m.big())}});
    if ((o.overlays & kOverlayDate) != 0) {
        Box b{{Line(f.date, m.big()), Line(f.jobDay, m.text())}};
        if ((o.overlays & kOverlayProgress) != 0) b.lines.emplace_back(f.progressText, m.text());
        in(o.dateCorner).push_back(std::move(b));
    }
    if ((o.overlays & kOverlayTasks) != 0 && !f.tasks.empty()) {
        Box b;
        for (const OverlayEntry& t : f.tasks) b.lines.emplace_back(t.text, m.text(), true, t.colour);
        if (f.moreTasks > 0) b.lines.emplace_back(f.moreTasksText, m.text());
        in(o.tasksCorner).push_back(std::move(b));
    }
    if ((o.overlays & kOverlayLegend) != 0 && !f.legend.empty()) {
        Box b{{Line(f.legendTitle, m.text())}};
        for (const OverlayEntry& e : f.legend) b.lines.emplace_back(e.text, m.text(), true, e.colour);
        in(o.legendCorner).push_back(std::move(b));
    }
    for (size_t corner = 0; corner < corners.size(); ++corner) {
        bool right = corner == 1 || corner == 3, lower = corner >= 2;
        int32_t y = lower ? bottom : top;
        for (const Box& b : corners[corner]) {
            int32_t w = b.Width(m), h = b.Height(m);
            int32_t x = right ? width - m.margin() - w : m.margin();
            if (lower) y -= h;
            DrawBox(b, x, y, m, c);
            y = lower ? y - m.margin() / 2 : y + h + m.margin() / 2;
        }
    }
}
