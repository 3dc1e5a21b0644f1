#pragma once
// Points and directions in the model's space, and the few operations the renderer, the camera
// and the desktop's picking do on them. Header-only: the renderer calls them for every pixel it
// lights.
#include <array>
#include <cmath>

using Vec3 = std::array<double, 3>;

inline Vec3 Sub3(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec3 Add3(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Vec3 Scale3(const Vec3& a, double k) { return {a[0] * k, a[1] * k, a[2] * k}; }
inline double Dot3(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vec3 Cross3(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// `a` at unit length, or `ifNone` when it has no length (or broken numbers). Callers differ in
// what a direction without length should become, so each says it.
[[gnu::always_inline]] inline Vec3 Unit3(const Vec3& a, const Vec3& ifNone) {
    double l = std::sqrt(Dot3(a, a));
    return l > 0 ? Scale3(a, 1 / l) : ifNone;
}

// The point `t` of the way from `a` to `b`.
inline Vec3 Lerp3(const Vec3& a, const Vec3& b, double t) { return Add3(a, Scale3(Sub3(b, a), t)); }
