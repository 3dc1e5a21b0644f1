#include "host/render/Renderer.h"

#include "host/render/PixelLayers.h"
#include "host/render/ScreenTriangle.h"
#include "host/render/ShadowMap.h"
#include "host/render/TilePool.h"
#include "host/render/ViewProjection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

using raster::ScreenTriangle;
using raster::ScreenVertex;
using raster::SetUp;
using raster::Walk;

constexpr Vec3 kZ{0, 0, 1};
constexpr double kNear = ViewProjection::kNear;

// The world points at a screen triangle's corners, which the photo lights its pixels from; the
// 3D window's flat colours need none.
struct WorldCorners {
    Vec3 a, b, c;
};

// Perspective-correct world position of a pixel of `t`.
Vec3 WorldAt(const ScreenTriangle& t, const WorldCorners& w, double w0, double w1, double w2, double invZ) {
    double k0 = w0 * t.a.invZ / invZ, k1 = w1 * t.b.invZ / invZ, k2 = w2 * t.c.invZ / invZ;
    return Add3(Add3(Scale3(w.a, k0), Scale3(w.b, k1)), Scale3(w.c, k2));
}

// A triangle's part in front of the near plane: at most four corners, each in view and world.
struct NearPolygon {
    Vec3 view[4], world[4];
    size_t n = 0;
};

NearPolygon ClipNear(const Vec3 (&view)[3], const Vec3 (&world)[3]) {
    NearPolygon out;
    for (size_t i = 0; i < 3; ++i) {
        const size_t j = (i + 1) % 3;
        bool inA = view[i][2] >= kNear, inB = view[j][2] >= kNear;
        if (inA) {
            out.view[out.n] = view[i];
            out.world[out.n++] = world[i];
        }
        if (inA != inB) {
            double t = (kNear - view[i][2]) / (view[j][2] - view[i][2]);
            out.view[out.n] = Lerp3(view[i], view[j], t);
            out.world[out.n++] = Lerp3(world[i], world[j], t);
        }
    }
    return out;
}

// A segment on the screen: the points i = 0..n at t = i / n, as the 3D window's edges are drawn.
// A cache line each: a tile reads thousands of a large model's.
struct alignas(64) ScreenLine {
    double ax, ay, dx, dy, invZa, dInvZ;
    int32_t n;
    int32_t y0, y1; // rows it may touch
};

// An edge as a frame draws it: its segment, a kept view's or the frame's own, in its pen.
struct DrawnLine {
    const ScreenLine* line;
    uint32_t colour;
    uint32_t opening; // nudged nearer as the openings' surfaces are
};

class Projector {
public:
    Projector(const ViewProjection& view, int32_t width, int32_t height) : view_(view), width_(width), height_(height) {}

    ScreenVertex Project(const Vec3& view) const {
        ScreenDepth s = view_.OnScreen(view);
        return {s.x, s.y, s.invZ};
    }

    // Appends the screen triangles of a scene triangle, clipped at the near plane, and their
    // corners' world points to `corners` when given.
    void Triangle(const Vec3 (&p)[3], uint32_t source, std::vector<ScreenTriangle>& out,
                  std::vector<WorldCorners>* corners) const {
        Vec3 v[3] = {view_.ToView(p[0]), view_.ToView(p[1]), view_.ToView(p[2])};
        ScreenTriangle t;
        if (v[0][2] >= kNear && v[1][2] >= kNear && v[2][2] >= kNear) {
            if (SetUp(Project(v[0]), Project(v[1]), Project(v[2]), width_, height_, source, t)) {
                out.push_back(t);
                if (corners) corners->push_back({p[0], p[1], p[2]});
            }
            return;
        }
        if (v[0][2] < kNear && v[1][2] < kNear && v[2][2] < kNear) return;
        const NearPolygon poly = ClipNear(v, p);
        if (poly.n < 3) return;
        ScreenVertex s[4];
        for (size_t i = 0; i < poly.n; ++i) s[i] = Project(poly.view[i]);
        for (size_t i = 1; i + 1 < poly.n; ++i)
            if (SetUp(s[0], s[i], s[i + 1], width_, height_, source, t)) {
                out.push_back(t);
                if (corners) corners->push_back({poly.world[0], poly.world[i], poly.world[i + 1]});
            }
    }

    // The visible part of a segment; false when nothing of it can show.
    bool Line(const Vec3& wa, const Vec3& wb, ScreenLine& out) const {
        Vec3 a = view_.ToView(wa), b = view_.ToView(wb);
        if (a[2] < kNear && b[2] < kNear) return false;
        if (a[2] < kNear) a = Lerp3(a, b, (kNear - a[2]) / (b[2] - a[2]));
        if (b[2] < kNear) b = Lerp3(b, a, (kNear - b[2]) / (a[2] - b[2]));
        ScreenVertex sa = Project(a), sb = Project(b);
        double dx = sb.x - sa.x, dy = sb.y - sa.y;
        double steps = std::ceil(std::max(std::fabs(dx), std::fabs(dy)));
        if (!(steps < 1e5)) return false; // a segment far outside the picture
        double lo = std::min(sa.y, sb.y), hi = std::max(sa.y, sb.y);
        if (!(hi >= -1 && lo < height_ + 1)) return false;
        out.ax = sa.x, out.ay = sa.y, out.dx = dx, out.dy = dy;
        out.invZa = sa.invZ, out.dInvZ = sb.invZ - sa.invZ;
        out.n = static_cast<int32_t>(steps);
        out.y0 = std::clamp(static_cast<int32_t>(std::floor(lo)) - 1, 0, height_ - 1);
        out.y1 = std::clamp(static_cast<int32_t>(std::floor(hi)) + 1, 0, height_ - 1);
        return true;
    }

private:
    ViewProjection view_;
    int32_t width_, height_;
};

// Calls plot(x, y, invZ) for the points of `l` that fall in rows y0 .. y1 - 1 (and in the
// picture), exactly the points and values a walk of the whole segment gives there.
template <typename F> void PlotLine(const ScreenLine& l, int32_t width, int32_t y0, int32_t y1, F&& plot) {
    int32_t from = 0, to = l.n;
    // A segment well inside the band has all its points there: the common short edge.
    const bool inside = l.y0 > y0 && l.y1 < y1 - 1;
    if (l.n > 0 && l.dy != 0 && !inside) {
        // One row more on each side than the band: a step moves less than a row.
        double ta = (y0 - 1 - l.ay) / l.dy, tb = (y1 + 1 - l.ay) / l.dy;
        double lo = std::min(ta, tb) * l.n, hi = std::max(ta, tb) * l.n;
        if (hi < 0 || lo > l.n) return;
        from = std::max(0, static_cast<int32_t>(std::floor(std::max(lo, 0.0))));
        to = std::min(l.n, static_cast<int32_t>(std::ceil(std::min(hi, static_cast<double>(l.n)))));
    }
    for (int32_t i = from; i <= to; ++i) {
        // The ends need no division, and most segments are a pixel or two long.
        double t = i == 0 ? 0 : i == l.n ? 1 : static_cast<double>(i) / l.n;
        double x = l.ax + l.dx * t, y = l.ay + l.dy * t;
        if (!(x >= 0 && y >= 0 && x < width && y < y1)) continue;
        auto row = static_cast<int32_t>(y);
        if (row < y0 || row >= y1) continue;
        plot(static_cast<int32_t>(x), row, l.invZa + l.dInvZ * t);
    }
}

Rgb Scale(Rgb c, double s) {
    auto f = static_cast<float>(s);
    return {c.r * f, c.g * f, c.b * f};
}

// Each level's value once, not a division per channel of every see-through layer blended.
const std::array<float, 256> kLevels = [] {
    std::array<float, 256> levels{};
    for (size_t i = 0; i < levels.size(); ++i) levels[i] = static_cast<float>(i) / 255.0f;
    return levels;
}();

Rgb Unpack(uint32_t p) { return {kLevels[(p >> 16) & 0xFF], kLevels[(p >> 8) & 0xFF], kLevels[p & 0xFF]}; }

Rgb Blend(Rgb under, Rgb over, float opacity) {
    return {under.r + (over.r - under.r) * opacity, under.g + (over.g - under.g) * opacity,
            under.b + (over.b - under.b) * opacity};
}

// What a see-through layer puts on a pixel, in a form compared byte for byte: no padding.
struct DrawnLayer {
    uint32_t pen;
    Rgb colour;
    float opacity;
    uint32_t edge;
};
static_assert(sizeof(DrawnLayer) == 24);

bool SameDrawn(const DrawnLayer* a, const DrawnLayer* b, uint32_t n) {
    for (uint32_t k = 0; k < n; ++k)
        if (std::memcmp(a + k, b + k, sizeof(DrawnLayer)) != 0) return false;
    return true;
}

// x to the 24th by squaring: x^3, then squared three times.
double Pow24(double x) {
    double x3 = x * x * x;
    double x6 = x3 * x3;
    double x12 = x6 * x6;
    return x12 * x12;
}

// Windows and doors share their wall's faces; a nudge towards the viewer lets them show.
constexpr double kOpeningBias = kOpeningDepthBias;
constexpr double kEdgeBias = 1.0008;

// What a scene triangle looks like from this camera, worked out once per frame.
struct Look {
    Vec3 n;         // the normal, turned towards the eye: faces are seen from either side
    double bias;    // depth nudge of openings
    Rgb flat;       // the 3D window's colour, or the photo's colour without sun
    uint32_t packed; // `flat`, packed
    double sun;     // photo: how squarely the sun falls on the face
    double sky;     // photo: the sky's light
};

// What the 3D window's tiles read of a triangle, apart from the rest of its look: a tile meets
// thousands of a large model's triangles, and each would otherwise cost a miss on its look and
// another on the scene's triangle. Aligned so that one never spans two cache lines.
struct alignas(32) Paint {
    double bias;
    Rgb flat;
    uint32_t packed;
    float opacity;
};

} // namespace

struct Renderer::Impl {
    Impl(int32_t threads, int32_t tileRows) : pool(threads), tileRows(std::max(1, tileRows)) {}

    void Render(const Scene& scene, const ViewCamera& camera, const PixelView& target, RenderStyle style, Rgb background);
    void DrawTile(int32_t tile);
    void DrawOpaque(int32_t tile, int32_t y0, int32_t y1);
    void DrawFlat(const ScreenTriangle& s, int32_t y0, int32_t y1, double bias, uint32_t colour);
    void GatherGlass(int32_t tile, int32_t y0, int32_t y1, PixelLayers& glass);
    void GatherFlat(const ScreenTriangle& s, int32_t y0, int32_t y1, uint32_t order, const Paint& paint, PixelLayers& glass);
    void DrawEdges(int32_t tile, int32_t y0, int32_t y1, PixelLayers* glass);
    void BlendLayers(int32_t y0, PixelLayers& glass);
    std::unique_ptr<PixelLayers> TakeLayers();
    void GiveBack(std::unique_ptr<PixelLayers> layers);

    std::mutex mutex;
    TilePool pool;
    int32_t tileRows;

    // The frame being drawn.
    const Scene* scene = nullptr;
    PixelView target;
    RenderStyle style = RenderStyle::Window3D;
    Rgb background;
    Vec3 eye, toSun;
    bool shadowsOn = false;
    std::vector<Look> looks;
    std::vector<Paint> paints; // of each triangle, beside its look
    std::vector<int32_t> tileOfRow;
    // The scene's parts cut into runs that the threads project side by side; each run keeps its
    // screen triangles and lines in the scene's order, binned by tile, so a tile walks the runs
    // in turn and sees everything in the order one list of the whole scene would give.
    struct Batch {
        size_t firstSpan = 0, endSpan = 0;
        // The screen triangles in the scene's order: the kept view's where it is drawn again,
        // else the run's own, projected this frame.
        std::vector<const ScreenTriangle*> opaque, transparent;
        std::vector<ScreenTriangle> opaqueOwn, transparentOwn;
        std::vector<WorldCorners> opaqueCorners, transparentCorners; // photo: of each screen triangle
        std::vector<DrawnLine> lines;
        std::vector<ScreenLine> linesOwn;
        uint32_t opaqueBase = 0, transparentBase = 0, lineBase = 0; // the first one's place in the whole scene
        std::vector<std::vector<uint32_t>> opaqueBins, transparentBins, lineBins;
    };
    struct Span {
        ScenePart part;
        bool bounded;
    };
    std::vector<Span> spans;
    std::vector<Batch> batches;
    std::vector<uint8_t> glassInTile;
    struct Lit {
        const ScreenTriangle* triangle;
        const WorldCorners* corners;
    };
    std::vector<Lit> opaqueAll; // photo: by their place in the whole scene
    void Project(Batch& batch, const Projector& projector, const ViewProjection& view, const Vec3& headLight, int32_t tiles);

    // The 3D window's screen triangles of every triangle of a kept scene, worked out once the
    // same view of the same bodies is drawn a second time and kept while it stays: a scrub
    // redraws one view with other elements shown. Each triangle's lie in its piece of the list.
    struct ViewKey {
        uint64_t bodies = 0;
        Vec3 eye{}, right{}, up{}, forward{};
        double focal = 0;
        int32_t width = 0, height = 0;
        bool operator==(const ViewKey&) const = default;
    };
    static constexpr uint32_t kPieceTriangles = 1 << 16;
    struct ScreenCache {
        ViewKey key;
        bool valid = false;
        std::vector<uint32_t> first;  // of each scene triangle, in its piece
        std::vector<uint8_t> count;   // 0 to 2
        std::vector<double> light;    // of each, HeadLit
        std::vector<std::vector<ScreenTriangle>> pieces;
        // Of each steady edge, its segment on the screen where `lineShows`; only the colour is
        // the frame's own.
        std::vector<ScreenLine> lines;
        std::vector<uint8_t> lineShows;
    } cache;
    ViewKey lastView;
    bool cached = false; // the frame draws from `cache`
    void KeepScreenTriangles(const ViewKey& key, const Projector& projector, const Vec3& headLight);
    // A triangle's normal turned towards the eye: faces are seen from either side.
    Vec3 FacingEye(const SceneTriangle& t) const {
        return Dot3(t.normal, Sub3(eye, t.p[0])) < 0 ? Scale3(t.normal, -1) : t.normal;
    }
    // The 3D window's light on a triangle, what its colour is scaled by.
    double HeadLit(const SceneTriangle& t, const Vec3& headLight) const {
        return 0.55 + 0.45 * std::max(0.0, Dot3(FacingEye(t), headLight));
    }
    std::vector<float> depth;  // 1/z, larger is nearer, 0 is empty; `width` a row
    std::vector<int32_t> owner; // photo: the opaque screen triangle that shows at a pixel, -1 for none
    ShadowMap shadows;
    // What the shadow map was built from; the same again reuses it.
    std::vector<Vec3> shadowKey;
    bool shadowValid = false;
    // Layer lists of the bands with see-through surfaces, one a band being drawn, kept between frames.
    std::mutex spareMutex;
    std::vector<std::unique_ptr<PixelLayers>> spareLayers;

    Rgb Shade(const Look& look, const SceneTriangle& t, const ScreenTriangle& s, const WorldCorners& corners, double w0,
              double w1, double w2, double invZ) const {
        if (!(look.sun > 0) || !shadowsOn) return look.flat;
        Vec3 p = WorldAt(s, corners, w0, w1, w2, invZ);
        double lit = shadows.Light(p, look.n, toSun);
        if (lit == 0) return look.flat; // exactly the unlit colour: no sun, no highlight
        Vec3 v = Unit3(Sub3(eye, p), kZ);
        Vec3 h = Unit3(Add3(v, toSun), kZ);
        double spec = t.specular * Pow24(std::max(0.0, Dot3(look.n, h))) * lit * 0.6;
        Rgb c = Scale(t.colour, look.sky + 0.68 * look.sun * lit);
        return {c.r + static_cast<float>(spec), c.g + static_cast<float>(spec), c.b + static_cast<float>(spec)};
    }
};

Renderer::Renderer(int32_t threads, int32_t tileRows) {
    if (threads <= 0) threads = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    impl_ = std::make_unique<Impl>(std::min(threads, 64), tileRows);
}

Renderer::~Renderer() = default;

int32_t Renderer::Threads() const { return impl_->pool.Threads(); }

void Renderer::Render(const Scene& scene, const ViewCamera& camera, const PixelView& target, RenderStyle style,
                      Rgb background) {
    if (!target.pixels || target.width < 1 || target.height < 1) return;
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->Render(scene, camera, target, style, background);
}

Image Renderer::Render(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                       Rgb background) {
    Image image;
    if (width < 1 || height < 1) return image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    Render(scene, camera, ViewOf(image), style, background);
    return image;
}

void Renderer::Impl::Render(const Scene& sc, const ViewCamera& camera, const PixelView& tgt, RenderStyle st, Rgb bg) {
    scene = &sc;
    target = tgt;
    style = st;
    background = bg;
    eye = camera.eye;
    const int32_t width = target.width, height = target.height;
    const ViewProjection view(camera, width, height);
    const ViewBasis& basis = view.Basis();
    Projector projector(view, width, height);

    const double az = camera.sunAzimuth * 3.14159265358979323846 / 180.0;
    const double alt = camera.sunAltitude * 3.14159265358979323846 / 180.0;
    toSun = Unit3({std::sin(az) * std::cos(alt), std::cos(az) * std::cos(alt), std::sin(alt)}, kZ);
    // The 3D window's light comes from over the viewer's left shoulder.
    const Vec3 headLight =
        Unit3(Add3(Add3(Scale3(basis.up, 0.8), Scale3(basis.right, -0.5)), Scale3(basis.forward, -1.0)), kZ);

    size_t drawn = 0;
    ForEachDrawnTriangle(sc, [&drawn](uint32_t) { ++drawn; });
    shadowsOn = style == RenderStyle::Photo && drawn != 0;
    if (shadowsOn) {
        // The sun's view does not move with the camera: the same geometry keeps its map.
        std::vector<Vec3> key;
        key.reserve(drawn * 3 + 3);
        key.push_back(toSun);
        key.push_back(sc.min);
        key.push_back(sc.max);
        ForEachDrawnTriangle(sc, [&](uint32_t i) {
            const SceneTriangle& t = sc.triangles[i];
            if (!(t.opacity < 0.5f)) key.insert(key.end(), std::begin(t.p), std::end(t.p));
        });
        if (!shadowValid || key != shadowKey) {
            shadowValid = false;
            shadows.Build(sc, toSun, pool);
            shadowKey = std::move(key);
            shadowValid = true;
        }
    }

    looks.resize(sc.triangles.size());
    paints.resize(sc.triangles.size());
    // The runs: the scene's parts, or for a scene made without them, pieces of its lists.
    spans.clear();
    size_t work = 0;
    if (!sc.parts.empty() || sc.partsOnly) {
        for (const ScenePart& p : sc.parts) {
            spans.push_back({p, true});
            work += p.triangles + p.edges;
        }
    } else {
        work = sc.triangles.size() + sc.edges.size();
        constexpr uint32_t kPiece = 1024;
        const auto triangles = static_cast<uint32_t>(sc.triangles.size()), edges = static_cast<uint32_t>(sc.edges.size());
        for (uint32_t t = 0, e = 0; t < triangles || e < edges; t += kPiece, e += kPiece) {
            ScenePart p;
            p.firstTriangle = std::min(t, triangles);
            p.triangles = std::min(kPiece, triangles - p.firstTriangle);
            p.firstEdge = std::min(e, edges);
            p.edges = std::min(kPiece, edges - p.firstEdge);
            spans.push_back({p, false});
        }
    }
    const size_t perBatch = std::max<size_t>(4096, work / (static_cast<size_t>(pool.Threads()) * 8));
    size_t batchCount = 0;
    for (size_t i = 0; i < spans.size();) {
        if (batches.size() <= batchCount) batches.emplace_back();
        Batch& b = batches[batchCount++];
        b.firstSpan = i;
        size_t load = 0;
        for (; i < spans.size() && load < perBatch; ++i) load += spans[i].part.triangles + spans[i].part.edges;
        b.endSpan = i;
    }
    batches.resize(batchCount);
    const int32_t tiles = (height + tileRows - 1) / tileRows;
    tileOfRow.resize(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) tileOfRow[static_cast<size_t>(y)] = y / tileRows;
    const ViewKey key{sc.bodies, basis.origin, basis.right, basis.up, basis.forward, view.Focal(), width, height};
    const bool keepable = style == RenderStyle::Window3D && sc.bodies != 0;
    if (keepable && !(cache.valid && cache.key == key) && lastView == key) KeepScreenTriangles(key, projector, headLight);
    if (keepable) lastView = key;
    cached = keepable && cache.valid && cache.key == key && cache.first.size() == sc.SteadyTriangles() &&
             cache.lines.size() == sc.SteadyEdges();
    pool.Run(static_cast<int32_t>(batches.size()), [&](int32_t k) {
        Project(batches[static_cast<size_t>(k)], projector, view, headLight, tiles);
    });
    uint32_t opaqueCount = 0, transparentCount = 0, lineCount = 0;
    glassInTile.assign(static_cast<size_t>(tiles), 0);
    for (Batch& b : batches) {
        b.opaqueBase = opaqueCount;
        b.transparentBase = transparentCount;
        b.lineBase = lineCount;
        opaqueCount += static_cast<uint32_t>(b.opaque.size());
        transparentCount += static_cast<uint32_t>(b.transparent.size());
        lineCount += static_cast<uint32_t>(b.lines.size());
        for (int32_t t = 0; t < tiles; ++t)
            if (!b.transparentBins[static_cast<size_t>(t)].empty()) glassInTile[static_cast<size_t>(t)] = 1;
    }
    opaqueAll.clear();
    if (style == RenderStyle::Photo) {
        opaqueAll.reserve(opaqueCount);
        for (const Batch& b : batches)
            for (size_t i = 0; i < b.opaque.size(); ++i) opaqueAll.push_back({b.opaque[i], &b.opaqueCorners[i]});
    }

    depth.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (style == RenderStyle::Photo) owner.resize(depth.size());
    pool.Run(tiles, [this](int32_t tile) { DrawTile(tile); });
    scene = nullptr;
}

namespace {

// Whether nothing of a part can show: all of it behind the eye, or beyond one side of the
// picture by two pixels, more than any rounding of its points' places could make up.
bool OutOfSight(const ScenePart& part, const ViewProjection& view, int32_t width, int32_t height) {
    const double f = view.Focal(), cx = width * 0.5, cy = height * 0.5;
    bool behind = true, left = true, right = true, above = true, below = true;
    for (int k = 0; k < 8; ++k) {
        Vec3 v = view.ToView({k & 1 ? part.max[0] : part.min[0], k & 2 ? part.max[1] : part.min[1],
                              k & 4 ? part.max[2] : part.min[2]});
        behind = behind && v[2] < kNear * 0.5;
        left = left && f * v[0] + (cx + 2) * v[2] < 0;
        right = right && f * v[0] - (width + 2 - cx) * v[2] > 0;
        above = above && f * v[1] - (cy + 2) * v[2] > 0;
        below = below && -f * v[1] - (height + 2 - cy) * v[2] > 0;
    }
    return behind || left || right || above || below;
}

template <typename Item> const Item& Deref(const Item& item) { return item; }
template <typename Item> const Item& Deref(const Item* item) { return *item; }
const ScreenLine& Deref(const DrawnLine& drawn) { return *drawn.line; }

// `tileOfRow`: the tile of each row of the picture, looked up rather than divided for each item.
template <typename Item> void Bin(std::vector<std::vector<uint32_t>>& bins, const std::vector<Item>& items, int32_t tiles,
                                  const std::vector<int32_t>& tileOfRow) {
    bins.resize(static_cast<size_t>(tiles));
    for (auto& b : bins) b.clear();
    for (uint32_t i = 0; i < items.size(); ++i) {
        const auto& item = Deref(items[i]);
        const int32_t last = tileOfRow[static_cast<size_t>(item.y1)];
        for (int32_t b = tileOfRow[static_cast<size_t>(item.y0)]; b <= last; ++b) bins[static_cast<size_t>(b)].push_back(i);
    }
}

// Points the places left empty at the run's own screen triangles, which come in the same order;
// only now, with every one made, do they stay where they are.
void PointAtOwn(std::vector<const ScreenTriangle*>& drawn, const std::vector<ScreenTriangle>& own) {
    size_t next = 0;
    for (const ScreenTriangle*& t : drawn)
        if (!t) t = &own[next++];
}

} // namespace

void Renderer::Impl::Project(Batch& batch, const Projector& projector, const ViewProjection& view, const Vec3& headLight,
                             int32_t tiles) {
    const Scene& sc = *scene;
    batch.opaque.clear();
    batch.transparent.clear();
    batch.opaqueOwn.clear();
    batch.transparentOwn.clear();
    batch.opaqueCorners.clear();
    batch.transparentCorners.clear();
    const bool photo = style == RenderStyle::Photo;
    batch.lines.clear();
    batch.linesOwn.clear();
    for (size_t k = batch.firstSpan; k < batch.endSpan; ++k) {
        const Span& span = spans[k];
        if (span.bounded && OutOfSight(span.part, view, target.width, target.height)) continue;
        for (uint32_t i = span.part.firstTriangle; i < span.part.firstTriangle + span.part.triangles; ++i) {
            const SceneTriangle& t = sc.triangles[i];
            const bool glass = t.opacity < 0.999f;
            std::vector<const ScreenTriangle*>& out = glass ? batch.transparent : batch.opaque;
            const size_t before = out.size();
            if (cached && i < cache.first.size()) {
                const ScreenTriangle* const from = cache.pieces[i / kPieceTriangles].data() + cache.first[i];
                for (uint8_t n = 0; n < cache.count[i]; ++n) out.push_back(from + n);
            } else {
                std::vector<ScreenTriangle>& own = glass ? batch.transparentOwn : batch.opaqueOwn;
                const size_t made = own.size();
                projector.Triangle(t.p, i, own, photo ? (glass ? &batch.transparentCorners : &batch.opaqueCorners) : nullptr);
                out.insert(out.end(), own.size() - made, nullptr);
            }
            // Looks only for triangles that reach a pixel; most of a large model's seen whole do not.
            if (out.size() == before) continue;
            const double bias = t.opening ? kOpeningBias : 1.0;
            if (style == RenderStyle::Window3D) {
                // The 3D window needs no more than the paint; a kept view knows each body's light.
                const Rgb flat = Scale(t.colour, cached && i < cache.light.size() ? cache.light[i] : HeadLit(t, headLight));
                paints[i] = {bias, flat, PackRgb(flat), t.opacity};
                continue;
            }
            Look& look = looks[i];
            look.n = FacingEye(t);
            look.bias = bias;
            look.sun = std::max(0.0, Dot3(look.n, toSun));
            look.sky = 0.42 + 0.12 * look.n[2];
            look.flat = Scale(t.colour, look.sky + 0.68 * look.sun * 0.0);
            look.packed = PackRgb(look.flat);
            paints[i] = {look.bias, look.flat, look.packed, t.opacity};
        }
        if (style != RenderStyle::Window3D) continue;
        // An element's edges share its pen: packed once for them all.
        Rgb pen = span.part.edges ? sc.edges[span.part.firstEdge].colour : Rgb{};
        uint32_t packedPen = PackRgb(pen);
        for (uint32_t i = span.part.firstEdge; i < span.part.firstEdge + span.part.edges; ++i) {
            const SceneEdge& e = sc.edges[i];
            const ScreenLine* kept = nullptr; // else the run's own, pointed at once all are made
            if (cached && i < cache.lines.size()) {
                if (!cache.lineShows[i]) continue;
                kept = &cache.lines[i];
            } else {
                ScreenLine l;
                if (!projector.Line(e.a, e.b, l)) continue;
                batch.linesOwn.push_back(l);
            }
            if (!(e.colour == pen)) {
                pen = e.colour;
                packedPen = PackRgb(pen);
            }
            batch.lines.push_back({kept, packedPen, e.opening ? 1u : 0u});
        }
    }
    PointAtOwn(batch.opaque, batch.opaqueOwn);
    PointAtOwn(batch.transparent, batch.transparentOwn);
    size_t nextOwn = 0;
    for (DrawnLine& d : batch.lines)
        if (!d.line) d.line = &batch.linesOwn[nextOwn++];
    Bin(batch.opaqueBins, batch.opaque, tiles, tileOfRow);
    Bin(batch.transparentBins, batch.transparent, tiles, tileOfRow);
    Bin(batch.lineBins, batch.lines, tiles, tileOfRow);
}

void Renderer::Impl::KeepScreenTriangles(const ViewKey& key, const Projector& projector, const Vec3& headLight) {
    const Scene& sc = *scene;
    const auto triangles = static_cast<uint32_t>(sc.SteadyTriangles());
    cache.valid = false;
    cache.key = key;
    cache.first.resize(triangles);
    cache.count.resize(triangles);
    cache.light.resize(triangles);
    cache.pieces.resize((triangles + kPieceTriangles - 1) / kPieceTriangles);
    pool.Run(static_cast<int32_t>(cache.pieces.size()), [&](int32_t k) {
        std::vector<ScreenTriangle>& piece = cache.pieces[static_cast<size_t>(k)];
        piece.clear();
        const uint32_t first = static_cast<uint32_t>(k) * kPieceTriangles;
        for (uint32_t i = first; i < std::min(triangles, first + kPieceTriangles); ++i) {
            const size_t before = piece.size();
            projector.Triangle(sc.triangles[i].p, i, piece, nullptr);
            cache.first[i] = static_cast<uint32_t>(before);
            cache.count[i] = static_cast<uint8_t>(piece.size() - before);
            cache.light[i] = HeadLit(sc.triangles[i], headLight);
        }
    });
    const size_t edges = sc.SteadyEdges();
    cache.lines.resize(edges);
    cache.lineShows.resize(edges);
    const auto linePieces = static_cast<int32_t>((edges + kPieceTriangles - 1) / kPieceTriangles);
    pool.Run(linePieces, [&](int32_t k) {
        const size_t first = static_cast<size_t>(k) * kPieceTriangles;
        for (size_t i = first; i < std::min(edges, first + kPieceTriangles); ++i)
            cache.lineShows[i] = projector.Line(sc.edges[i].a, sc.edges[i].b, cache.lines[i]) ? 1 : 0;
    });
    cache.valid = true;
}

void Renderer::Impl::DrawTile(int32_t tile) {
    const int32_t width = target.width, height = target.height;
    const int32_t y0 = tile * tileRows, y1 = std::min(height, y0 + tileRows) - 1; // rows y0 .. y1
    DrawOpaque(tile, y0, y1);
    // Bands without see-through surfaces take the opaque path alone, pixel for pixel as before.
    std::unique_ptr<PixelLayers> glass;
    if (glassInTile[static_cast<size_t>(tile)]) {
        glass = TakeLayers();
        glass->Reset(static_cast<size_t>(y1 - y0 + 1) * static_cast<size_t>(width));
        GatherGlass(tile, y0, y1, *glass);
    }
    if (style == RenderStyle::Window3D) DrawEdges(tile, y0, y1, glass.get());
    if (glass) {
        BlendLayers(y0, *glass);
        GiveBack(std::move(glass));
    }
}

// The walk of one flat-coloured triangle, pixel for pixel as raster::Walk gives it, each pixel
// of a row's span written or left by selects: a branch at every edge and every depth test cost
// more than writing back what was there.
void Renderer::Impl::DrawFlat(const ScreenTriangle& s, int32_t y0, int32_t y1, double bias, uint32_t colour) {
    constexpr int32_t kSelectedSpan = 8;
    const double ia = s.a.invZ, ib = s.b.invZ, ic = s.c.invZ;
    const auto width = static_cast<size_t>(target.width);
    for (int32_t y = std::max(y0, s.y0); y <= std::min(y1, s.y1); ++y) {
        raster::RowWalk r;
        if (!raster::RowSpan(s, y + 0.5, r)) continue;
        float* const zrow = depth.data() + static_cast<size_t>(y) * width;
        uint32_t* const row = target.Row(y);
        double w0 = r.w0, w1 = r.w1;
        // A span of a few pixels, as most of a large model's triangles give, is mostly its spare
        // columns: there the branches are cheaper than writing every pixel back.
        if (r.to - r.from < kSelectedSpan) {
            for (int32_t x = r.from; x <= r.to; ++x, w0 += r.d0, w1 += r.d1) {
                const double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const auto z = static_cast<float>((w0 * ia + w1 * ib + w2 * ic) * bias);
                if (z <= zrow[x]) continue;
                zrow[x] = z;
                row[x] = colour;
            }
            continue;
        }
        for (int32_t x = r.from; x <= r.to; ++x, w0 += r.d0, w1 += r.d1) {
            const double w2 = 1.0 - w0 - w1;
            const bool inside = !(w0 < 0 || w1 < 0 || w2 < 0);
            const auto z = static_cast<float>((w0 * ia + w1 * ib + w2 * ic) * bias);
            const float there = zrow[x];
            const bool put = inside & !(z <= there);
            zrow[x] = put ? z : there;
            row[x] = put ? colour : row[x];
        }
    }
}

void Renderer::Impl::DrawOpaque(int32_t tile, int32_t y0, int32_t y1) {
    const int32_t width = target.width, height = target.height;
    const bool photo = style == RenderStyle::Photo;
    const size_t first = static_cast<size_t>(y0) * static_cast<size_t>(width);
    const size_t count = static_cast<size_t>(y1 - y0 + 1) * static_cast<size_t>(width);
    float* const zbuf = depth.data();
    std::fill_n(zbuf + first, count, 0.0f);

    // The background: the 3D window's colour, or for the photo a sky, the background colour at
    // the top, lighter towards the horizon.
    for (int32_t y = y0; y <= y1; ++y) {
        uint32_t c = PackRgb(background);
        if (photo) c = PackRgb(Blend(background, {1, 1, 1}, static_cast<float>(0.55 * (static_cast<double>(y) / height))));
        std::fill_n(target.Row(y), width, c);
    }

    // The 3D window colours surfaces as they come; the photo first finds which one shows at each
    // pixel and lights only that.
    if (photo) {
        int32_t* const ids = owner.data();
        std::fill_n(ids + first, count, -1);
        for (const Batch& b : batches)
            for (uint32_t local : b.opaqueBins[static_cast<size_t>(tile)]) {
                const ScreenTriangle& s = *b.opaque[local];
                const double bias = looks[s.source].bias;
                const auto k = static_cast<int32_t>(b.opaqueBase + local);
                Walk(s, y0, y1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
                    size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                    float z = static_cast<float>(invZ * bias);
                    if (z <= zbuf[i]) return;
                    zbuf[i] = z;
                    ids[i] = k;
                });
            }
        for (int32_t y = y0; y <= y1; ++y) {
            uint32_t* row = target.Row(y);
            const int32_t* idRow = ids + static_cast<size_t>(y) * static_cast<size_t>(width);
            const double py = y + 0.5;
            for (int32_t x = 0; x < width; ++x) {
                if (idRow[x] < 0) continue;
                const Lit& lit = opaqueAll[static_cast<size_t>(idRow[x])];
                const ScreenTriangle& s = *lit.triangle;
                const Look& look = looks[s.source];
                if (!(look.sun > 0)) {
                    row[x] = look.packed;
                    continue;
                }
                const ScreenVertex &a = s.a, &b = s.b, &c = s.c;
                double px = x + 0.5;
                double w0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * s.inv;
                double w1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * s.inv;
                double w2 = 1.0 - w0 - w1;
                double invZ = w0 * a.invZ + w1 * b.invZ + w2 * c.invZ;
                row[x] = PackRgb(Shade(look, scene->triangles[s.source], s, *lit.corners, w0, w1, w2, invZ));
            }
        }
    } else {
        for (const Batch& b : batches)
            for (uint32_t local : b.opaqueBins[static_cast<size_t>(tile)]) {
                const ScreenTriangle& s = *b.opaque[local];
                const Paint& paint = paints[s.source];
                DrawFlat(s, y0, y1, paint.bias, paint.packed);
            }
    }
}

// Glass and other see-through surfaces in front of the opaque ones, lit as they will show: the
// photo shades every layer, the 3D window's take their triangle's flat colour.
void Renderer::Impl::GatherGlass(int32_t tile, int32_t y0, int32_t y1, PixelLayers& glass) {
    if (style != RenderStyle::Photo) {
        for (const Batch& b : batches)
            for (uint32_t local : b.transparentBins[static_cast<size_t>(tile)]) {
                const ScreenTriangle& s = *b.transparent[local];
                GatherFlat(s, y0, y1, b.transparentBase + local, paints[s.source], glass);
            }
        return;
    }
    const int32_t width = target.width;
    const size_t first = static_cast<size_t>(y0) * static_cast<size_t>(width);
    const float* const zbuf = depth.data();
    for (const Batch& b : batches)
        for (uint32_t local : b.transparentBins[static_cast<size_t>(tile)]) {
            const ScreenTriangle& s = *b.transparent[local];
            const uint32_t k = b.transparentBase + local;
            const Look& look = looks[s.source];
            const SceneTriangle& t = scene->triangles[s.source];
            const WorldCorners& corners = b.transparentCorners[local];
            const double bias = look.bias;
            const float opacity = t.opacity;
            Walk(s, y0, y1, [&](int32_t x, int32_t y, double invZ, double w0, double w1, double w2) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                float z = static_cast<float>(invZ * bias);
                if (z <= zbuf[i]) return;
                glass.Add(i - first, {z, k, false, 0, Shade(look, t, s, corners, w0, w1, w2, invZ), opacity});
            });
        }
}

// The walk of one flat-coloured see-through triangle, pixel for pixel as raster::Walk gives it,
// with what each layer draws held in registers rather than read back after each one written.
void Renderer::Impl::GatherFlat(const ScreenTriangle& s, int32_t y0, int32_t y1, uint32_t order, const Paint& paint,
                                PixelLayers& glass) {
    const double ia = s.a.invZ, ib = s.b.invZ, ic = s.c.invZ;
    const double bias = paint.bias;
    const Rgb flat = paint.flat;
    const float opacity = paint.opacity;
    const auto width = static_cast<size_t>(target.width);
    for (int32_t y = std::max(y0, s.y0); y <= std::min(y1, s.y1); ++y) {
        raster::RowWalk r;
        if (!raster::RowSpan(s, y + 0.5, r)) continue;
        const float* const zrow = depth.data() + static_cast<size_t>(y) * width;
        const size_t inBand = static_cast<size_t>(y - y0) * width;
        double w0 = r.w0, w1 = r.w1;
        for (int32_t x = r.from; x <= r.to; ++x, w0 += r.d0, w1 += r.d1) {
            const double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            const auto z = static_cast<float>((w0 * ia + w1 * ib + w2 * ic) * bias);
            if (z <= zrow[x]) continue;
            glass.Add(inBand + static_cast<size_t>(x), {z, order, false, 0, flat, opacity});
        }
    }
}

// The contour pens' edges over the opaque surfaces they bound; where see-through surfaces lie,
// an edge takes its place among them by depth.
void Renderer::Impl::DrawEdges(int32_t tile, int32_t y0, int32_t y1, PixelLayers* glass) {
    const int32_t width = target.width;
    const size_t first = static_cast<size_t>(y0) * static_cast<size_t>(width);
    const float* const zbuf = depth.data();
    for (const Batch& b : batches)
        for (uint32_t local : b.lineBins[static_cast<size_t>(tile)]) {
            const DrawnLine& d = b.lines[local];
            const uint32_t k = b.lineBase + local;
            const double bias = kEdgeBias * (d.opening ? kOpeningBias : 1.0);
            const uint32_t colour = d.colour;
            PlotLine(*d.line, width, y0, y1 + 1, [&](int32_t x, int32_t y, double invZ) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                float z = static_cast<float>(invZ * bias);
                if (!(z >= zbuf[i])) return;
                if (glass && glass->Any(i - first)) glass->Add(i - first, {z, k, true, colour, {}, 1});
                else target.At(x, y) = colour;
            });
        }
}

void Renderer::Impl::BlendLayers(int32_t y0, PixelLayers& glass) {
    const auto width = static_cast<uint32_t>(target.width);
    // A pixel's row by a multiplication: the band's (i + 0.5) / width lies at least 0.5 / width
    // from a whole number, far more than the product's rounding.
    const double perRow = 1.0 / width;
    uint32_t* const band = target.Row(y0);
    // A pixel's value follows from the one beneath and what its layers draw, in order. Pixels
    // side by side mostly see the same surfaces over the same colour: the last pixel's blend
    // serves again when both match, bit for bit.
    std::array<DrawnLayer, PixelLayers::kNearest + 1> now, last;
    uint32_t lastCount = 0, lastUnder = 0, lastOut = 0;
    bool any = false;
    // Each pixel blends on its own: the order the pixels come in changes nothing.
    for (uint32_t i : glass.Pixels()) {
        const auto y = static_cast<uint32_t>((i + 0.5) * perRow);
        uint32_t& pixel = band[static_cast<ptrdiff_t>(y) * target.stride + (i - y * width)];
        uint32_t n = 0;
        glass.ForEach(i, [&](const PixelLayers::Layer& l) { now[n++] = {l.pen, l.colour, l.opacity, l.edge}; });
        const uint32_t under = pixel;
        if (any && under == lastUnder && n == lastCount && SameDrawn(now.data(), last.data(), n)) {
            pixel = lastOut;
            continue;
        }
        uint32_t p = under;
        for (uint32_t k = 0; k < n; ++k) {
            const DrawnLayer& l = now[k];
            p = l.edge ? l.pen : PackRgb(Blend(Unpack(p), l.colour, l.opacity));
        }
        pixel = p;
        std::copy_n(now.begin(), n, last.begin());
        lastCount = n;
        lastUnder = under;
        lastOut = p;
        any = true;
    }
}

std::unique_ptr<PixelLayers> Renderer::Impl::TakeLayers() {
    std::lock_guard<std::mutex> lock(spareMutex);
    if (spareLayers.empty()) return std::make_unique<PixelLayers>();
    std::unique_ptr<PixelLayers> layers = std::move(spareLayers.back());
    spareLayers.pop_back();
    return layers;
}

void Renderer::Impl::GiveBack(std::unique_ptr<PixelLayers> layers) {
    std::lock_guard<std::mutex> lock(spareMutex);
    spareLayers.push_back(std::move(layers));
}

Renderer& SharedRenderer() {
    static Renderer renderer;
    return renderer;
}

Image RenderScene(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                  Rgb background) {
    return SharedRenderer().Render(scene, camera, width, height, style, background);
}
