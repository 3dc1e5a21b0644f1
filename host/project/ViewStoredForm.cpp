#include "host/project/ViewStoredForm.h"

#include <cmath>

using nlohmann::json;

namespace {

bool Finite(const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

std::optional<Vec3> VecOf(const json& j) {
    if (!j.is_array() || j.size() != 3) return std::nullopt;
    Vec3 v{};
    for (size_t i = 0; i < 3; ++i) {
        if (!j[i].is_number()) return std::nullopt;
        v[i] = j[i].get<double>();
    }
    if (!Finite(v)) return std::nullopt;
    return v;
}

std::optional<double> NumberOf(const json& j, const char* key) {
    if (!j.is_object() || !j.contains(key) || !j.at(key).is_number()) return std::nullopt;
    double d = j.at(key).get<double>();
    return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

ViewCamera CameraFromView(const json& view) {
    ViewCamera c;
    if (!view.is_object()) return c;
    ViewCamera read = c;
    if (view.contains("eye")) read.eye = VecOf(view.at("eye")).value_or(c.eye);
    if (view.contains("target")) read.target = VecOf(view.at("target")).value_or(c.target);
    if (view.contains("up")) read.up = VecOf(view.at("up")).value_or(c.up);
    read.fov = NumberOf(view, "fov").value_or(c.fov);
    if (view.contains("sun")) {
        const auto& sun = view.at("sun");
        read.sunAzimuth = NumberOf(sun, "azimuth").value_or(c.sunAzimuth);
        double altitude = NumberOf(sun, "altitude").value_or(c.sunAltitude);
        if (altitude >= 1 && altitude <= 90) read.sunAltitude = altitude;
    }
    return UsableCamera(read) ? read : c;
}

const char* const kWindowKeys[] = {"3d", "photo"};

HostWindow ReadWindow(const json& windows, const char* key) {
    HostWindow w;
    if (!windows.is_object() || !windows.contains(key) || !windows.at(key).is_object()) return w;
    const json& j = windows.at(key);
    for (auto [name, side] : {std::pair{"width", &w.width}, std::pair{"height", &w.height}})
        if (j.contains(name) && j.at(name).is_number_integer()) *side = j.at(name).get<int64_t>();
    if (j.contains("background")) {
        const json& b = j.at("background");
        if (b.is_array() && b.size() == 3 && b[0].is_number() && b[1].is_number() && b[2].is_number())
            w.background = std::array<double, 3>{b[0].get<double>(), b[1].get<double>(), b[2].get<double>()};
    }
    return w;
}

} // namespace

json ParseStoredValue(const std::string& text) { return json::parse(text); }

HostView ReadView(const json& view) { return HostView::Stored(CameraFromView(view), view.dump()); }

json WriteView(const HostView& view) {
    json v = view.StoredText().empty() ? json::object() : ParseStoredValue(view.StoredText());
    if (view.Moved()) {
        // The camera's own keys only: whatever else the view holds stays.
        if (!v.is_object()) v = json::object();
        const ViewCamera& c = view.Camera();
        v["eye"] = c.eye;
        v["target"] = c.target;
        v["up"] = c.up;
        v["fov"] = c.fov;
    }
    return v;
}

HostWindows ReadWindows(const json& windows) {
    HostWindows w;
    w.view3D = ReadWindow(windows, kWindowKeys[0]);
    w.photo = ReadWindow(windows, kWindowKeys[1]);
    w.stored = windows.dump();
    return w;
}

json WriteWindows(const HostWindows& windows) {
    json w = windows.stored.empty() ? json::object() : ParseStoredValue(windows.stored);
    const HostWindow* typed[] = {&windows.view3D, &windows.photo};
    for (size_t i = 0; i < 2; ++i) {
        const HostWindow& t = *typed[i];
        if (!t.sized && !t.coloured) continue;
        if (!w.is_object()) w = json::object();
        json& j = w[kWindowKeys[i]];
        if (!j.is_object()) j = json::object();
        if (t.sized) {
            if (t.width) j["width"] = *t.width;
            if (t.height) j["height"] = *t.height;
        }
        if (t.coloured && t.background) j["background"] = *t.background;
    }
    return w;
}

CameraPlace ReadCameraPlace(const json& element) {
    CameraPlace p;
    if (!element.is_object()) return p;
    if (element.contains("eye")) p.eye = VecOf(element.at("eye"));
    if (element.contains("target")) p.target = VecOf(element.at("target"));
    p.fov = NumberOf(element, "fov");
    return p;
}

json WriteStoredKeys(const StoredKeys& keys) {
    json j = json::object();
    for (const auto& [key, text] : keys) j[key] = ParseStoredValue(text);
    return j;
}

void WriteCameraPlace(const CameraPlace& place, json& element) {
    CameraPlace stored = ReadCameraPlace(element);
    if (place == stored) return;
    auto put = [&](const char* key, const auto& value, const auto& was) {
        if (value == was) return;
        if (value) element[key] = *value;
        else element.erase(key);
    };
    put("eye", place.eye, stored.eye);
    put("target", place.target, stored.target);
    put("fov", place.fov, stored.fov);
}
