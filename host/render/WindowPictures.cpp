#include "host/render/WindowPictures.h"

#include "host/render/Scene.h"

namespace {

constexpr int32_t kDefaultWidth = 640, kDefaultHeight = 480;
constexpr int32_t kMaxSide = 4096;

int32_t SideOf(const std::optional<int64_t>& side, int32_t fallback) {
    return side && *side >= 1 && *side <= kMaxSide ? static_cast<int32_t>(*side) : fallback;
}

} // namespace

const HostWindow& WindowOf(const HostModel& model, RenderStyle style) {
    return style == RenderStyle::Photo ? model.windows.photo : model.windows.view3D;
}

std::pair<int32_t, int32_t> WindowSize(const HostModel& model, RenderStyle style) {
    const HostWindow& w = WindowOf(model, style);
    return {SideOf(w.width, kDefaultWidth), SideOf(w.height, kDefaultHeight)};
}

Rgb WindowBackground(const HostModel& model, RenderStyle style) {
    Rgb fallback = style == RenderStyle::Photo ? Rgb{0.75f, 0.85f, 0.95f} : Rgb{1, 1, 1};
    const auto& b = WindowOf(model, style).background;
    if (!b) return fallback;
    for (double v : *b)
        if (!(v >= 0 && v <= 1)) return fallback;
    return {static_cast<float>((*b)[0]), static_cast<float>((*b)[1]), static_cast<float>((*b)[2])};
}

Image RenderWindow(HostModel& model, RenderStyle style, SceneSide side) {
    auto [width, height] = WindowSize(model, style);
    Scene scene = BuildScene(model, {}, side);
    return RenderScene(scene, model.view.Camera(), width, height, style, WindowBackground(model, style));
}
