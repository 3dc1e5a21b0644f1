#include "host/render/Renderer.h"

#include "host/render/ViewProjection.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr Vec3 kZ{0, 0, 1};
constexpr double kNear = ViewProjection::kNear;

// The pixel column or row of a coordinate, held inside [0, size - 1]; far-off coordinates of
// points near the eye never reach an integer conversion.
int32_t Pixel(double v, int32_t size) {
    if (!(v > 0)) return 0;
    if (v >= size - 1) return size - 1;
    return static_cast<int32_t>(v);
}

// Screen-space vertex: pixel position, 1/depth, and the world position for lighting.
struct ScreenVertex {
    double x, y, invZ;
    Vec3 world;
};

// A triangle on the screen, ready to be walked row by row: its vertices, 1/area, the pixel
// rectangle it may cover and the scene triangle it comes from.
struct ScreenTriangle {
    ScreenVertex a, b, c;
    double inv;
    int32_t x0, x1, y0, y1;
    uint32_t source;
};

// Null for a triangle without area or wholly outside the picture.
bool SetUp(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int32_t width, int32_t height,
           uint32_t source, ScreenTriangle& out) {
    double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 1e-12)) return false;
    double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    double minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    if (!(maxX >= 0 && minX < width && maxY >= 0 && minY < height)) return false;
    out = {a, b, c, 1.0 / area, Pixel(minX, width), Pixel(std::ceil(maxX), width), Pixel(minY, height),
           Pixel(std::ceil(maxY), height), source};
    return true;
}

// One row of a triangle: the columns from..to that may lie inside (a column to spare on each
// side; each pixel's own test decides) and the barycentric weights w0, w1 at `from` with their
// steps from one column to the next. Keeps large and slanted triangles from walking their whole
// bounding box. The row depends only on the triangle and the row, never on a tile.
struct RowWalk {
    int32_t from = 0, to = -1;
    double w0 = 0, w1 = 0, d0 = 0, d1 = 0;
};

bool RowSpan(const ScreenTriangle& t, double py, RowWalk& r) {
    const ScreenVertex &a = t.a, &b = t.b, &c = t.c;
    const int32_t x0 = t.x0, x1 = t.x1;
    double px = x0 + 0.5;
    double e[3] = {((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * t.inv,
                   ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * t.inv, 0};
    double d[3] = {(b.y - c.y) * t.inv, (c.y - a.y) * t.inv, 0};
    e[2] = 1.0 - e[0] - e[1];
    d[2] = -d[0] - d[1];
    double lo = x0, hi = x1;
    for (int i = 0; i < 3; ++i) {
        if (d[i] > 0) lo = std::max(lo, x0 - e[i] / d[i]);
        else if (d[i] < 0) hi = std::min(hi, x0 - e[i] / d[i]);
        else if (e[i] < 0) return false;
    }
    if (!(lo <= hi + 1)) return false;
    r.from = std::max(x0, Pixel(std::floor(lo) - 1, x1 + 1));
    r.to = std::min(x1, Pixel(std::ceil(hi) + 1, x1 + 1));
    if (r.from > r.to) return false;
    double k = r.from - x0;
    r.w0 = e[0] + k * d[0];
    r.w1 = e[1] + k * d[1];
    r.d0 = d[0];
    r.d1 = d[1];
    return true;
}

// Calls fragment(x, invZ, w0, w1, w2) for every covered pixel centre of rows y0..y1 of `t`; the
// edge functions step from column to column.
template <typename F> void Walk(const ScreenTriangle& t, int32_t y0, int32_t y1, F&& fragment) {
    const double ia = t.a.invZ, ib = t.b.invZ, ic = t.c.invZ;
    for (int32_t y = std::max(y0, t.y0); y <= std::min(y1, t.y1); ++y) {
        RowWalk r;
        if (!RowSpan(t, y + 0.5, r)) continue;
        double w0 = r.w0, w1 = r.w1;
        for (int32_t x = r.from; x <= r.to; ++x, w0 += r.d0, w1 += r.d1) {
            double w2 = 1.0 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            fragment(x, y, w0 * ia + w1 * ib + w2 * ic, w0, w1, w2);
        }
    }
}

// Perspective-correct world position of a pixel of `t`.
Vec3 WorldAt(const ScreenTriangle& t, double w0, double w1, double w2, double invZ) {
    double k0 = w0 * t.a.invZ / invZ, k1 = w1 * t.b.invZ / invZ, k2 = w2 * t.c.invZ / invZ;
    return Add3(Add3(Scale3(t.a.world, k0), Scale3(t.b.world, k1)), Scale3(t.c.world, k2));
}

// Keeps the part of a polygon in front of the near plane.
std::vector<std::pair<Vec3, Vec3>> ClipNear(const std::vector<std::pair<Vec3, Vec3>>& poly) {
    std::vector<std::pair<Vec3, Vec3>> out; // (view, world)
    for (size_t i = 0; i < poly.size(); ++i) {
        const auto& a = poly[i];
        const auto& b = poly[(i + 1) % poly.size()];
        bool inA = a.first[2] >= kNear, inB = b.first[2] >= kNear;
        if (inA) out.push_back(a);
        if (inA != inB) {
            double t = (kNear - a.first[2]) / (b.first[2] - a.first[2]);
            out.push_back({Lerp3(a.first, b.first, t), Lerp3(a.second, b.second, t)});
        }
    }
    return out;
}

// A segment on the screen: the points i = 0..n at t = i / n, as the 3D window's edges are drawn.
struct ScreenLine {
    double ax, ay, dx, dy, invZa, dInvZ;
    int32_t n;
    int32_t y0, y1; // rows it may touch
    uint32_t colour;
    double bias;
};

class Projector {
public:
    Projector(const ViewProjection& view, int32_t width, int32_t height) : view_(view), width_(width), height_(height) {}

    ScreenVertex Project(const Vec3& view, const Vec3& world) const {
        ScreenDepth s = view_.OnScreen(view);
        return {s.x, s.y, s.invZ, world};
    }

    // Appends the screen triangles of a scene triangle, clipped at the near plane.
    void Triangle(const Vec3 (&p)[3], uint32_t source, std::vector<ScreenTriangle>& out) const {
        Vec3 v[3] = {view_.ToView(p[0]), view_.ToView(p[1]), view_.ToView(p[2])};
        ScreenTriangle t;
        if (v[0][2] >= kNear && v[1][2] >= kNear && v[2][2] >= kNear) {
            if (SetUp(Project(v[0], p[0]), Project(v[1], p[1]), Project(v[2], p[2]), width_, height_, source, t))
                out.push_back(t);
            return;
        }
        if (v[0][2] < kNear && v[1][2] < kNear && v[2][2] < kNear) return;
        std::vector<std::pair<Vec3, Vec3>> poly = {{v[0], p[0]}, {v[1], p[1]}, {v[2], p[2]}};
        poly = ClipNear(poly);
        if (poly.size() < 3) return;
        std::vector<ScreenVertex> s;
        for (const auto& q : poly) s.push_back(Project(q.first, q.second));
        for (size_t i = 1; i + 1 < s.size(); ++i)
            if (SetUp(s[0], s[i], s[i + 1], width_, height_, source, t)) out.push_back(t);
    }

    // The visible part of a segment; false when nothing of it can show.
    bool Line(const Vec3& wa, const Vec3& wb, ScreenLine& out) const {
        Vec3 a = view_.ToView(wa), b = view_.ToView(wb);
        if (a[2] < kNear && b[2] < kNear) return false;
        if (a[2] < kNear) a = Lerp3(a, b, (kNear - a[2]) / (b[2] - a[2]));
        if (b[2] < kNear) b = Lerp3(b, a, (kNear - b[2]) / (a[2] - b[2]));
        ScreenVertex sa = Project(a, wa), sb = Project(b, wb);
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
    if (l.n > 0 && l.dy != 0) {
        // One row more on each side than the band: a step moves less than a row.
        double ta = (y0 - 1 - l.ay) / l.dy, tb = (y1 + 1 - l.ay) / l.dy;
        double lo = std::min(ta, tb) * l.n, hi = std::max(ta, tb) * l.n;
        if (hi < 0 || lo > l.n) return;
        from = std::max(0, static_cast<int32_t>(std::floor(std::max(lo, 0.0))));
        to = std::min(l.n, static_cast<int32_t>(std::ceil(std::min(hi, static_cast<double>(l.n)))));
    }
    for (int32_t i = from; i <= to; ++i) {
        double t = l.n ? static_cast<double>(i) / l.n : 0;
        double x = l.ax + l.dx * t, y = l.ay + l.dy * t;
        if (!(x >= 0 && y >= 0 && x < width && y < y1)) continue;
        auto row = static_cast<int32_t>(y);
        if (row < y0 || row >= y1) continue;
        plot(static_cast<int32_t>(x), row, l.invZa + l.dInvZ * t);
    }
}

// Runs jobs 0 .. count - 1 on the caller's thread and the pool's workers; each job on one thread.
class TilePool {
public:
    explicit TilePool(int32_t threads) {
        for (int32_t i = 1; i < threads; ++i) workers_.emplace_back([this] { Work(); });
    }
    ~TilePool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (auto& w : workers_) w.join();
    }
    TilePool(const TilePool&) = delete;
    TilePool& operator=(const TilePool&) = delete;

    int32_t Threads() const { return static_cast<int32_t>(workers_.size()) + 1; }

    void Run(int32_t count, const std::function<void(int32_t)>& job) {
        if (workers_.empty() || count <= 1) {
            for (int32_t i = 0; i < count; ++i) job(i);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = &job;
            count_ = count;
            next_.store(0);
            busy_ = static_cast<int32_t>(workers_.size());
            failure_ = nullptr;
            ++generation_;
        }
        wake_.notify_all();
        Drain();
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return busy_ == 0; });
        job_ = nullptr;
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    void Drain() {
        for (;;) {
            int32_t i = next_.fetch_add(1);
            if (i >= count_) return;
            try {
                (*job_)(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!failure_) failure_ = std::current_exception();
            }
        }
    }
    void Work() {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
            lock.unlock();
            Drain();
            lock.lock();
            if (--busy_ == 0) done_.notify_one();
        }
    }

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(int32_t)>* job_ = nullptr;
    int32_t count_ = 0;
    std::atomic<int32_t> next_{0};
    int32_t busy_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
    std::exception_ptr failure_;
};

// Depth from the sun over the whole scene, for the photo's shadows.
class ShadowMap {
public:
    static constexpr int32_t kSize = 1024;
    static constexpr int32_t kBandRows = 32; // a multiple of the texel blocks' 8 rows

    // The map of `scene` for the sun at `toSun`, its rows filled in bands on the pool.
    void Build(const Scene& scene, const Vec3& toSun, TilePool& pool) {
        Vec3 centre = Scale3(Add3(scene.min, scene.max), 0.5);
        double radius = std::sqrt(Dot3(Sub3(scene.max, scene.min), Sub3(scene.max, scene.min))) * 0.5 + 1;
        basis_ = LookingAt(Add3(centre, Scale3(toSun, radius * 2)), centre, {0, 0, 1});
        scale_ = kSize / (2 * radius);
        texel_ = 1 / scale_;
        depth_.resize(static_cast<size_t>(kSize) * kSize);
        triangles_.clear();
        for (uint32_t i = 0; i < scene.triangles.size(); ++i) {
            const auto& t = scene.triangles[i];
            if (t.opacity < 0.5f) continue; // glass lets the sun through
            ScreenVertex s[3];
            for (int k = 0; k < 3; ++k) s[k] = Map(t.p[k]);
            ScreenTriangle st;
            if (SetUp(s[0], s[1], s[2], kSize, kSize, i, st)) triangles_.push_back(st);
        }
        constexpr int32_t bands = kSize / kBandRows;
        for (auto& b : bins_) b.clear();
        for (uint32_t i = 0; i < triangles_.size(); ++i)
            for (int32_t b = triangles_[i].y0 / kBandRows; b <= triangles_[i].y1 / kBandRows; ++b) bins_[b].push_back(i);
        pool.Run(bands, [this](int32_t band) {
            int32_t y0 = band * kBandRows, y1 = y0 + kBandRows - 1;
            std::fill(depth_.begin() + static_cast<ptrdiff_t>(y0) * kSize, depth_.begin() + static_cast<ptrdiff_t>(y1 + 1) * kSize,
                      std::numeric_limits<float>::infinity());
            for (uint32_t i : bins_[band])
                Walk(triangles_[i], y0, y1, [&](int32_t x, int32_t y, double z, double, double, double) {
                    // Orthographic: depth is linear.
                    float& d = depth_[Texel(x, y)];
                    d = std::min(d, static_cast<float>(z));
                });
        });
    }

    // 0 (in shadow) to 1 (lit), averaged over a 3 x 3 texel neighbourhood.
    double Light(const Vec3& world, const Vec3& normal, const Vec3& toSun) const {
        double slope = 1 - std::fabs(Dot3(normal, toSun));
        Vec3 p = Add3(world, Scale3(normal, texel_ * 1.5));
        ScreenVertex s = Map(p);
        double bias = texel_ * (1.0 + 2.0 * slope);
        int lit = 0;
        double bx = std::floor(s.x), by = std::floor(s.y);
        if (bx >= 1 && by >= 1 && bx < kSize - 1 && by < kSize - 1) {
            // The whole neighbourhood inside the map: no test a texel.
            auto x = static_cast<int32_t>(bx), y = static_cast<int32_t>(by);
            const double limit = s.invZ - bias;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx)
                    if (limit <= depth_[Texel(x + dx, y + dy)]) ++lit;
            return lit / 9.0;
        }
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                double fx = std::floor(s.x) + dx, fy = std::floor(s.y) + dy;
                if (!(fx >= 0 && fy >= 0 && fx < kSize && fy < kSize)) {
                    ++lit;
                    continue;
                }
                auto x = static_cast<int32_t>(fx), y = static_cast<int32_t>(fy);
                if (s.invZ - bias <= depth_[Texel(x, y)]) ++lit;
            }
        return lit / 9.0;
    }

private:
    // Texels lie in blocks of 8 x 8, so that a pixel's neighbourhood and its neighbours' share
    // cache lines and pages. Whole bands of 8 rows stay together, as rows did.
    static size_t Texel(int32_t x, int32_t y) {
        auto ux = static_cast<size_t>(x), uy = static_cast<size_t>(y);
        return ((uy >> 3) * (kSize >> 3) + (ux >> 3)) * 64 + ((uy & 7) << 3) + (ux & 7);
    }

    ScreenVertex Map(const Vec3& w) const {
        Vec3 v = basis_.ToView(w);
        return {kSize * 0.5 + v[0] * scale_, kSize * 0.5 - v[1] * scale_, v[2], w};
    }

    ViewBasis basis_{};
    double scale_ = 1, texel_ = 1;
    std::vector<float> depth_;
    std::vector<ScreenTriangle> triangles_;
    std::array<std::vector<uint32_t>, kSize / kBandRows> bins_;
};

Rgb Scale(Rgb c, double s) {
    auto f = static_cast<float>(s);
    return {c.r * f, c.g * f, c.b * f};
}

Rgb Unpack(uint32_t p) {
    return {static_cast<float>((p >> 16) & 0xFF) / 255.0f, static_cast<float>((p >> 8) & 0xFF) / 255.0f,
            static_cast<float>(p & 0xFF) / 255.0f};
}

Rgb Blend(Rgb under, Rgb over, float opacity) {
    return {under.r + (over.r - under.r) * opacity, under.g + (over.g - under.g) * opacity,
            under.b + (over.b - under.b) * opacity};
}

// x to the 24th by squaring: x^3, then squared three times.
double Pow24(double x) {
    double x3 = x * x * x;
    double x6 = x3 * x3;
    double x12 = x6 * x6;
    return x12 * x12;
}

// Windows and doors share their wall's faces; a nudge towards the viewer lets them show.
constexpr double kOpeningBias = 1.0015;
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

} // namespace

struct Renderer::Impl {
    Impl(int32_t threads, int32_t tileRows) : pool(threads), tileRows(std::max(1, tileRows)) {}

    void Render(const Scene& scene, const ViewCamera& camera, const PixelView& target, RenderStyle style, Rgb background);
    void DrawTile(int32_t tile);

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
    std::vector<ScreenTriangle> opaque, transparent;
    std::vector<ScreenLine> lines;
    std::vector<std::vector<uint32_t>> opaqueBins, transparentBins, lineBins;
    std::vector<float> depth;  // 1/z, larger is nearer, 0 is empty; `width` a row
    std::vector<int32_t> owner; // photo: the opaque screen triangle that shows at a pixel, -1 for none
    ShadowMap shadows;
    // What the shadow map was built from; the same again reuses it.
    std::vector<Vec3> shadowKey;
    bool shadowValid = false;

    Rgb Shade(const Look& look, const SceneTriangle& t, const ScreenTriangle& s, double w0, double w1, double w2,
              double invZ) const {
        if (!(look.sun > 0) || !shadowsOn) return look.flat;
        Vec3 p = WorldAt(s, w0, w1, w2, invZ);
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

    shadowsOn = style == RenderStyle::Photo && !sc.triangles.empty();
    if (shadowsOn) {
        // The sun's view does not move with the camera: the same geometry keeps its map.
        std::vector<Vec3> key;
        key.reserve(sc.triangles.size() * 3 + 3);
        key.push_back(toSun);
        key.push_back(sc.min);
        key.push_back(sc.max);
        for (const auto& t : sc.triangles)
            if (!(t.opacity < 0.5f)) key.insert(key.end(), std::begin(t.p), std::end(t.p));
        if (!shadowValid || key != shadowKey) {
            shadowValid = false;
            shadows.Build(sc, toSun, pool);
            shadowKey = std::move(key);
            shadowValid = true;
        }
    }

    looks.resize(sc.triangles.size());
    opaque.clear();
    transparent.clear();
    for (uint32_t i = 0; i < sc.triangles.size(); ++i) {
        const SceneTriangle& t = sc.triangles[i];
        Look& look = looks[i];
        Vec3 toEye = Sub3(camera.eye, t.p[0]);
        look.n = Dot3(t.normal, toEye) < 0 ? Scale3(t.normal, -1) : t.normal;
        look.bias = t.opening ? kOpeningBias : 1.0;
        if (style == RenderStyle::Window3D) {
            look.flat = Scale(t.colour, 0.55 + 0.45 * std::max(0.0, Dot3(look.n, headLight)));
            look.sun = look.sky = 0;
        } else {
            look.sun = std::max(0.0, Dot3(look.n, toSun));
            look.sky = 0.42 + 0.12 * look.n[2];
            look.flat = Scale(t.colour, look.sky + 0.68 * look.sun * 0.0);
        }
        look.packed = PackRgb(look.flat);
        projector.Triangle(t.p, i, t.opacity < 0.999f ? transparent : opaque);
    }
    lines.clear();
    if (style == RenderStyle::Window3D) {
        for (const auto& e : sc.edges) {
            ScreenLine l;
            if (!projector.Line(e.a, e.b, l)) continue;
            l.colour = PackRgb(e.colour);
            l.bias = kEdgeBias * (e.opening ? kOpeningBias : 1.0);
            lines.push_back(l);
        }
    }

    const int32_t tiles = (height + tileRows - 1) / tileRows;
    auto bin = [&](auto& bins, const auto& items) {
        bins.resize(static_cast<size_t>(tiles));
        for (auto& b : bins) b.clear();
        for (uint32_t i = 0; i < items.size(); ++i)
            for (int32_t b = items[i].y0 / tileRows; b <= items[i].y1 / tileRows; ++b) bins[static_cast<size_t>(b)].push_back(i);
    };
    bin(opaqueBins, opaque);
    bin(transparentBins, transparent);
    bin(lineBins, lines);

    depth.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (style == RenderStyle::Photo) owner.resize(depth.size());
    pool.Run(tiles, [this](int32_t tile) { DrawTile(tile); });
    scene = nullptr;
}

void Renderer::Impl::DrawTile(int32_t tile) {
    const int32_t width = target.width, height = target.height;
    const int32_t y0 = tile * tileRows, y1 = std::min(height, y0 + tileRows) - 1; // rows y0 .. y1
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

    // Opaque surfaces. The 3D window colours them as they come; the photo first finds which one
    // shows at each pixel and lights only that.
    if (photo) {
        int32_t* const ids = owner.data();
        std::fill_n(ids + first, count, -1);
        for (uint32_t k : opaqueBins[static_cast<size_t>(tile)]) {
            const ScreenTriangle& s = opaque[k];
            const double bias = looks[s.source].bias;
            Walk(s, y0, y1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                float z = static_cast<float>(invZ * bias);
                if (z <= zbuf[i]) return;
                zbuf[i] = z;
                ids[i] = static_cast<int32_t>(k);
            });
        }
        for (int32_t y = y0; y <= y1; ++y) {
            uint32_t* row = target.Row(y);
            const int32_t* idRow = ids + static_cast<size_t>(y) * static_cast<size_t>(width);
            const double py = y + 0.5;
            for (int32_t x = 0; x < width; ++x) {
                if (idRow[x] < 0) continue;
                const ScreenTriangle& s = opaque[static_cast<size_t>(idRow[x])];
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
                row[x] = PackRgb(Shade(look, scene->triangles[s.source], s, w0, w1, w2, invZ));
            }
        }
    } else {
        for (uint32_t k : opaqueBins[static_cast<size_t>(tile)]) {
            const ScreenTriangle& s = opaque[k];
            const Look& look = looks[s.source];
            const double bias = look.bias;
            const uint32_t colour = look.packed;
            Walk(s, y0, y1, [&](int32_t x, int32_t y, double invZ, double, double, double) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                float z = static_cast<float>(invZ * bias);
                if (z <= zbuf[i]) return;
                zbuf[i] = z;
                target.At(x, y) = colour;
            });
        }
        // The contour pens' edges, over the surfaces they bound.
        for (uint32_t k : lineBins[static_cast<size_t>(tile)]) {
            const ScreenLine& l = lines[k];
            PlotLine(l, width, y0, y1 + 1, [&](int32_t x, int32_t y, double invZ) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                if (static_cast<float>(invZ * l.bias) >= zbuf[i]) target.At(x, y) = l.colour;
            });
        }
    }

    // Glass and other see-through surfaces, blended over what lies behind them.
    for (uint32_t k : transparentBins[static_cast<size_t>(tile)]) {
        const ScreenTriangle& s = transparent[k];
        const Look& look = looks[s.source];
        const SceneTriangle& t = scene->triangles[s.source];
        Walk(s, y0, y1, [&](int32_t x, int32_t y, double invZ, double w0, double w1, double w2) {
            size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            float z = static_cast<float>(invZ * look.bias);
            if (z <= zbuf[i]) return;
            Rgb c = photo ? Shade(look, t, s, w0, w1, w2, invZ) : look.flat;
            uint32_t& p = target.At(x, y);
            p = PackRgb(Blend(Unpack(p), c, t.opacity));
        });
    }
}

Renderer& SharedRenderer() {
    static Renderer renderer;
    return renderer;
}

Image RenderScene(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                  Rgb background) {
    return SharedRenderer().Render(scene, camera, width, height, style, background);
}
