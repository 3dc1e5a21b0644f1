// The script's picture of the host's windows and its view: render FILE.png [3d|photo]
// [WIDTHxHEIGHT], view fit.
#include "dialogkit/DGDialog.h"
#include "host/app/Host.h"
#include "host/render/Pictures.h"
#include "host/render/Scene.h"
#include "host/render/ViewCamera.h"
#include "host/render/WindowPictures.h"
#include "host/render/CanvasPainting.h"
#include "host/script/RenderCommands.h"
#include "host/script/ScriptCommandTable.h"
#include "host/script/ScriptInterpreter.h"

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Args = ScriptInterpreter::Args;
constexpr int32_t kMaxSide = 4096;

// "WIDTHxHEIGHT", each side 1 to 4096.
std::optional<std::pair<int32_t, int32_t>> PictureSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x') return std::nullopt;
    if (std::to_string(w) + "x" + std::to_string(h) != text) return std::nullopt;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return std::nullopt;
    return std::pair<int32_t, int32_t>{w, h};
}

// The corners of everything drawn: what the whole building in view means.
std::vector<Vec3> DrawnBounds(HostModel& model) {
    Scene scene = BuildScene(model);
    if (scene.triangles.empty()) return {};
    std::vector<Vec3> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({(i & 1) ? scene.max[0] : scene.min[0], (i & 2) ? scene.max[1] : scene.min[1],
                           (i & 4) ? scene.max[2] : scene.min[2]});
    return corners;
}

} // namespace

bool RunRender(ScriptInterpreter& in, const Args& args, std::string& error) {
    if (args.size() == 2 && args[0] == "chart") {
        // The add-on's schedule chart, drawn as the desktop draws it.
        constexpr int32_t kChartId = 32420;
        constexpr int16_t kChartArea = 5;
        DGDialog* chart = DGDialog::Find(kChartId);
        if (!chart || !chart->IsVisible()) {
            error = "the chart is hidden";
            return false;
        }
        return WritePng(args[1], PaintCanvasPicture(chart->DrawUserArea(kChartArea)), error);
    }
    if ((args.size() == 2 || args.size() == 3) && args[0] == "s-curve") {
        // The add-on's S-curve window, shown or not, weighed by the key given (none: its elements).
        constexpr int32_t kSCurveId = 32422;
        constexpr int16_t kSCurveArea = 3;
        DGDialog* window = DGDialog::Find(kSCurveId);
        if (!window) {
            error = "no S-curve window";
            return false;
        }
        std::vector<std::string> key = {"key"};
        if (args.size() == 3) key.push_back(args[2]);
        if (!window->UserGesture(key, error)) return false;
        return WritePng(args[1], PaintCanvasPicture(window->DrawUserArea(kSCurveArea)), error);
    }
    // The second window's picture: the same camera and window, its own state of the elements.
    const bool second = args[0] == "second";
    const size_t file = second ? 1 : 0;
    if (second && args.size() < 2) return ScriptUsage("render", error);
    if (!second && args.size() > 3) return ScriptUsage("render", error);
    if (second && !in.GetHost().Model().SecondViewOpen()) {
        error = "the second view is closed";
        return false;
    }
    const SceneSide side = second ? SceneSide::Second : SceneSide::First;
    std::optional<RenderStyle> style;
    std::optional<std::pair<int32_t, int32_t>> size;
    for (size_t i = file + 1; i < args.size(); ++i) {
        if (!style && (args[i] == "3d" || args[i] == "photo")) {
            style = args[i] == "photo" ? RenderStyle::Photo : RenderStyle::Window3D;
        } else if (auto s = !size && i + 1 == args.size() ? PictureSize(args[i]) : std::nullopt) {
            size = s;
        } else {
            return ScriptUsage("render", error);
        }
    }
    RenderStyle chosen = style.value_or(RenderStyle::Window3D);
    HostModel& model = in.GetHost().Model();
    if (!size) return WritePng(args[file], RenderWindow(model, chosen, side), error);
    Image picture = RenderScene(BuildScene(model, {}, side), model.view.Camera(), size->first, size->second, chosen,
                                WindowBackground(model, chosen));
    return WritePng(args[file], picture, error);
}

bool RunView(ScriptInterpreter& in, const Args& args, std::string& error) {
    if (args.size() == 2 && args[0] == "second" && (args[1] == "open" || args[1] == "close")) {
        in.GetHost().SetSecondViewOpen(args[1] == "open");
        return true;
    }
    if (args.size() != 1 || args[0] != "fit") return ScriptUsage("view", error);
    HostModel& model = in.GetHost().Model();
    std::vector<Vec3> corners = DrawnBounds(model);
    if (corners.empty()) return true; // nothing drawn: the view stays
    auto [width, height] = WindowSize(model, RenderStyle::Window3D);
    model.view.SetCamera(FitCameraToPoints(model.view.Camera(), corners, static_cast<double>(width) / height));
    return true;
}
