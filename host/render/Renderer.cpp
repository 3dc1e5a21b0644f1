#include "host/render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Add(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Mul(const Vec3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Unit(const Vec3& a) {
    double l = std::sqrt(Dot(a, a));
    return l > 0 ? Mul(a, 1 / l) : Vec3{0, 0, 1};
}
Vec3 Lerp(const Vec3& a, const Vec3& b, double t) { return Add(a, Mul(Sub(b, a), t)); }

// A view basis: x right, y up, z the depth along the line of sight.
struct Basis {
    Vec3 origin, right, up, forward;
    Vec3 ToView(const Vec3& p) const {
        Vec3 d = Sub(p, origin);
        return {Dot(d, right), Dot(d, up), Dot(d, forward)};
    }
};

Basis MakeBasis(const Vec3& eye, const Vec3& target, Vec3 up) {
    Basis b;
    b.origin = eye;
    b.forward = Unit(Sub(target, eye));
    if (std::fabs(Dot(Unit(up), b.forward)) > 0.999) up = std::fabs(b.forward[2]) < 0.9 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    b.right = Unit(Cross(b.forward, up));
    b.up = Cross(b.right, b.forward);
    return b;
}

constexpr double kNear = 0.05;

// The pixel column or row of a coordinate, held inside [0, size - 1]; far-off coordinates of
// points near the eye never reach an integer conversion.
int32_t Pixel(double v, int32_t size) {
    if (!(v > 0)) return 0;
    if (v >= size - 1) return size - 1;
    return static_cast<int32_t>(v);
}

// The columns of row `py` (a pixel-centre height) that may lie inside triangle abc, with a
// column to spare on each side; each pixel's own test decides. Keeps large and slanted
// triangles from walking their whole bounding box.
template <typename V>
bool RowSpan(const V& a, const V& b, const V& c, double inv, double py, int32_t x0, int32_t x1, int32_t& from, int32_t& to) {
    double px = x0 + 0.5;
    double e[3] = {((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * inv,
                   ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * inv, 0};
    double d[3] = {(b.y - c.y) * inv, (c.y - a.y) * inv, 0};
    e[2] = 1.0 - e[0] - e[1];
    d[2] = -d[0] - d[1];
    double lo = x0, hi = x1;
    for (int i = 0; i < 3; ++i) {
        if (d[i] > 0) lo = std::max(lo, x0 - e[i] / d[i]);
        else if (d[i] < 0) hi = std::min(hi, x0 - e[i] / d[i]);
        else if (e[i] < 0) return false;
    }
    if (!(lo <= hi + 1)) return false;
    from = std::max(x0, Pixel(std::floor(lo) - 1, x1 + 1));
    to = std::min(x1, Pixel(std::ceil(hi) + 1, x1 + 1));
    return from <= to;
}

// Screen-space vertex: pixel position, 1/depth, and the world position for lighting.
struct ScreenVertex {
    double x, y, invZ;
    Vec3 world;
};

struct Target {
    int32_t width, height;
    std::vector<uint32_t>& colour;
    std::vector<float> depth; // 1/z, larger is nearer, 0 is empty
};

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
            out.push_back({Lerp(a.first, b.first, t), Lerp(a.second, b.second, t)});
        }
    }
    return out;
}

class Rasterizer {
public:
    Rasterizer(const Basis& basis, double focal, int32_t width, int32_t height)
        : basis_(basis), focal_(focal), cx_(width * 0.5), cy_(height * 0.5) {}

    ScreenVertex Project(const Vec3& view, const Vec3& world) const {
        double inv = 1.0 / view[2];
        return {cx_ + focal_ * view[0] * inv, cy_ - focal_ * view[1] * inv, inv, world};
    }

    // Calls shade(x, y, invZ, world) for every covered pixel centre, after clipping.
    template <typename F> void Triangle(const Vec3 (&p)[3], int32_t width, int32_t height, F&& shade) const {
        Vec3 v[3] = {basis_.ToView(p[0]), basis_.ToView(p[1]), basis_.ToView(p[2])};
        if (v[0][2] >= kNear && v[1][2] >= kNear && v[2][2] >= kNear) {
            Fill(Project(v[0], p[0]), Project(v[1], p[1]), Project(v[2], p[2]), width, height, shade);
            return;
        }
        if (v[0][2] < kNear && v[1][2] < kNear && v[2][2] < kNear) return;
        std::vector<std::pair<Vec3, Vec3>> poly = {{v[0], p[0]}, {v[1], p[1]}, {v[2], p[2]}};
        poly = ClipNear(poly);
        if (poly.size() < 3) return;
        std::vector<ScreenVertex> s;
        for (const auto& v : poly) s.push_back(Project(v.first, v.second));
        for (size_t i = 1; i + 1 < s.size(); ++i) Fill(s[0], s[i], s[i + 1], width, height, shade);
    }

    template <typename F>
    void Fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, int32_t width, int32_t height, F&& shade) const {
        double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (!(std::fabs(area) > 1e-12)) return;
        double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
        double minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
        if (!(maxX >= 0 && minX < width && maxY >= 0 && minY < height)) return;
        int32_t x0 = Pixel(minX, width), x1 = Pixel(std::ceil(maxX), width);
        int32_t y0 = Pixel(minY, height), y1 = Pixel(std::ceil(maxY), height);
        double inv = 1.0 / area;
        for (int32_t y = y0; y <= y1; ++y) {
            double py = y + 0.5;
            int32_t from = 0, to = -1;
            if (!RowSpan(a, b, c, inv, py, x0, x1, from, to)) continue;
            for (int32_t x = from; x <= to; ++x) {
                double px = x + 0.5;
                double w0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * inv;
                double w1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * inv;
                double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                double invZ = w0 * a.invZ + w1 * b.invZ + w2 * c.invZ;
                shade(x, y, invZ, [&] {
                    // Perspective-correct world position.
                    double k0 = w0 * a.invZ / invZ, k1 = w1 * b.invZ / invZ, k2 = w2 * c.invZ / invZ;
                    return Add(Add(Mul(a.world, k0), Mul(b.world, k1)), Mul(c.world, k2));
                });
            }
        }
    }

    // Calls plot(x, y, invZ) along the visible part of a segment.
    template <typename F> void Line(const Vec3& wa, const Vec3& wb, int32_t width, int32_t height, F&& plot) const {
        Vec3 a = basis_.ToView(wa), b = basis_.ToView(wb);
        if (a[2] < kNear && b[2] < kNear) return;
        if (a[2] < kNear) a = Lerp(a, b, (kNear - a[2]) / (b[2] - a[2]));
        if (b[2] < kNear) b = Lerp(b, a, (kNear - b[2]) / (a[2] - b[2]));
        ScreenVertex sa = Project(a, wa), sb = Project(b, wb);
        double dx = sb.x - sa.x, dy = sb.y - sa.y;
        double steps = std::ceil(std::max(std::fabs(dx), std::fabs(dy)));
        if (!(steps < 1e5)) return; // a segment far outside the picture
        int32_t n = static_cast<int32_t>(steps);
        for (int32_t i = 0; i <= n; ++i) {
            double t = n ? static_cast<double>(i) / n : 0;
            double x = sa.x + dx * t, y = sa.y + dy * t;
            if (!(x >= 0 && y >= 0 && x < width && y < height)) continue;
            plot(static_cast<int32_t>(x), static_cast<int32_t>(y), sa.invZ + (sb.invZ - sa.invZ) * t);
        }
    }

private:
    Basis basis_;
    double focal_, cx_, cy_;
};

// Depth from the sun over the whole scene, for the photo's shadows.
class ShadowMap {
public:
    static constexpr int32_t kSize = 1024;

    ShadowMap(const Scene& scene, const Vec3& toSun) {
        Vec3 centre = Mul(Add(scene.min, scene.max), 0.5);
        double radius = std::sqrt(Dot(Sub(scene.max, scene.min), Sub(scene.max, scene.min))) * 0.5 + 1;
        basis_ = MakeBasis(Add(centre, Mul(toSun, radius * 2)), centre, {0, 0, 1});
        scale_ = kSize / (2 * radius);
        depth_.assign(static_cast<size_t>(kSize) * kSize, std::numeric_limits<float>::infinity());
        texel_ = 1 / scale_;
        for (const auto& t : scene.triangles) {
            if (t.opacity < 0.5f) continue; // glass lets the sun through
            ScreenVertex s[3];
            for (int i = 0; i < 3; ++i) s[i] = Map(t.p[i]);
            Fill(s[0], s[1], s[2]);
        }
    }

    // 0 (in shadow) to 1 (lit), averaged over a 3 x 3 texel neighbourhood.
    double Light(const Vec3& world, const Vec3& normal, const Vec3& toSun) const {
        double slope = 1 - std::fabs(Dot(normal, toSun));
        Vec3 p = Add(world, Mul(normal, texel_ * 1.5));
        ScreenVertex s = Map(p);
        double bias = texel_ * (1.0 + 2.0 * slope);
        int lit = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                double fx = std::floor(s.x) + dx, fy = std::floor(s.y) + dy;
                if (!(fx >= 0 && fy >= 0 && fx < kSize && fy < kSize)) {
                    ++lit;
                    continue;
                }
                auto x = static_cast<int32_t>(fx), y = static_cast<int32_t>(fy);
                if (s.invZ - bias <= depth_[static_cast<size_t>(y) * kSize + static_cast<size_t>(x)]) ++lit;
            }
        return lit / 9.0;
    }

private:
    ScreenVertex Map(const Vec3& w) const {
        Vec3 v = basis_.ToView(w);
        return {kSize * 0.5 + v[0] * scale_, kSize * 0.5 - v[1] * scale_, v[2], w};
    }

    void Fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
        double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (!(std::fabs(area) > 1e-12)) return;
        int32_t x0 = Pixel(std::min({a.x, b.x, c.x}), kSize), x1 = Pixel(std::ceil(std::max({a.x, b.x, c.x})), kSize);
        int32_t y0 = Pixel(std::min({a.y, b.y, c.y}), kSize), y1 = Pixel(std::ceil(std::max({a.y, b.y, c.y})), kSize);
        double inv = 1.0 / area;
        for (int32_t y = y0; y <= y1; ++y) {
            int32_t from = 0, to = -1;
            if (!RowSpan(a, b, c, inv, y + 0.5, x0, x1, from, to)) continue;
            for (int32_t x = from; x <= to; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double w0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) * inv;
                double w1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) * inv;
                double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                float z = static_cast<float>(w0 * a.invZ + w1 * b.invZ + w2 * c.invZ); // orthographic: depth is linear
                float& d = depth_[static_cast<size_t>(y) * kSize + static_cast<size_t>(x)];
                d = std::min(d, z);
            }
        }
    }

    Basis basis_;
    double scale_ = 1, texel_ = 1;
    std::vector<float> depth_;
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

// Windows and doors share their wall's faces; a nudge towards the viewer lets them show.
constexpr double kOpeningBias = 1.0015;
constexpr double kEdgeBias = 1.0008;

} // namespace

Image RenderScene(const Scene& scene, const ViewCamera& camera, int32_t width, int32_t height, RenderStyle style,
                  Rgb background) {
    Image image;
    if (width < 1 || height < 1) return image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), PackRgb(background));
    if (style == RenderStyle::Photo) {
        // A sky: the background colour at the top, lighter towards the horizon.
        for (int32_t y = 0; y < height; ++y) {
            double t = static_cast<double>(y) / height;
            Rgb c = Blend(background, {1, 1, 1}, static_cast<float>(0.55 * t));
            std::fill_n(image.pixels.begin() + static_cast<ptrdiff_t>(y) * width, width, PackRgb(c));
        }
    }
    Target target{width, height, image.pixels, std::vector<float>(image.pixels.size(), 0.0f)};
    Basis basis = MakeBasis(camera.eye, camera.target, camera.up);
    double focal = (width * 0.5) / std::tan(camera.fov * 0.5 * 3.14159265358979323846 / 180.0);
    Rasterizer raster(basis, focal, width, height);

    const double az = camera.sunAzimuth * 3.14159265358979323846 / 180.0;
    const double alt = camera.sunAltitude * 3.14159265358979323846 / 180.0;
    const Vec3 toSun = Unit({std::sin(az) * std::cos(alt), std::cos(az) * std::cos(alt), std::sin(alt)});
    // The 3D window's light comes from over the viewer's left shoulder.
    const Vec3 headLight = Unit(Add(Add(Mul(basis.up, 0.8), Mul(basis.right, -0.5)), Mul(basis.forward, -1.0)));

    std::optional<ShadowMap> shadows;
    if (style == RenderStyle::Photo && !scene.triangles.empty()) shadows.emplace(scene, toSun);

    auto drawTriangles = [&](bool transparentPass) {
        for (const auto& t : scene.triangles) {
            bool transparent = t.opacity < 0.999f;
            if (transparent != transparentPass) continue;
            // Faces are seen from either side.
            Vec3 toEye = Sub(camera.eye, t.p[0]);
            Vec3 n = Dot(t.normal, toEye) < 0 ? Mul(t.normal, -1) : t.normal;
            double bias = t.opening ? kOpeningBias : 1.0;
            Rgb flat{};
            if (style == RenderStyle::Window3D) flat = Scale(t.colour, 0.55 + 0.45 * std::max(0.0, Dot(n, headLight)));
            raster.Triangle(t.p, width, height, [&](int32_t x, int32_t y, double invZ, auto world) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                float z = static_cast<float>(invZ * bias);
                if (z <= target.depth[i]) return;
                Rgb c;
                if (style == RenderStyle::Window3D) {
                    c = flat;
                } else {
                    Vec3 p = world();
                    Vec3 v = Unit(Sub(camera.eye, p));
                    double sun = std::max(0.0, Dot(n, toSun));
                    double lit = sun > 0 && shadows ? shadows->Light(p, n, toSun) : 0.0;
                    double sky = 0.42 + 0.12 * n[2];
                    Vec3 h = Unit(Add(v, toSun));
                    double spec = t.specular * std::pow(std::max(0.0, Dot(n, h)), 24.0) * lit * 0.6;
                    c = Scale(t.colour, sky + 0.68 * sun * lit);
                    c = {c.r + static_cast<float>(spec), c.g + static_cast<float>(spec), c.b + static_cast<float>(spec)};
                }
                if (transparent) {
                    target.colour[i] = PackRgb(Blend(Unpack(target.colour[i]), c, t.opacity));
                } else {
                    target.colour[i] = PackRgb(c);
                    target.depth[i] = z;
                }
            });
        }
    };
    drawTriangles(false);
    if (style == RenderStyle::Window3D) {
        for (const auto& e : scene.edges) {
            double bias = kEdgeBias * (e.opening ? kOpeningBias : 1.0);
            uint32_t colour = PackRgb(e.colour);
            raster.Line(e.a, e.b, width, height, [&](int32_t x, int32_t y, double invZ) {
                size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                if (static_cast<float>(invZ * bias) >= target.depth[i]) target.colour[i] = colour;
            });
        }
    }
    drawTriangles(true);
    return image;
}
