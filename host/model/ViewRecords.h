#pragma once
// The 3D view and the windows as the open project keeps them. The project file may hold more
// than the host interprets; that is kept as it was read (`stored`, the stored form's own text)
// and written back untouched unless the host itself changed the field.
#include "host/model/Vector3.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct ViewCamera {
    Vec3 eye{-14, -18, 10};
    Vec3 target{6, 4, 2.5};
    Vec3 up{0, 0, 1};
    double fov = 45;          // horizontal, degrees
    double sunAzimuth = 135;  // degrees from north, clockwise
    double sunAltitude = 40;  // degrees above the horizon
    bool operator==(const ViewCamera&) const = default;
};

// A camera the renderer can use: finite numbers, the eye off the target, a sane angle.
bool UsableCamera(const ViewCamera& camera);

class HostView {
public:
    const ViewCamera& Camera() const { return camera_; }
    // The user or an add-on moved the camera: the next save writes it.
    void SetCamera(const ViewCamera& camera) {
        camera_ = camera;
        moved_ = true;
    }
    bool Moved() const { return moved_; }

    // As the project file holds it: the camera read from `stored`, the view's own text.
    static HostView Stored(const ViewCamera& camera, std::string stored) {
        HostView v;
        v.camera_ = camera;
        v.stored_ = std::move(stored);
        return v;
    }
    const std::string& StoredText() const { return stored_; }

    bool operator==(const HostView&) const = default;

private:
    ViewCamera camera_;
    bool moved_ = false;
    std::string stored_; // empty: the project held no view
};

// One window of the project: its size and background as last set, whether or not usable; the
// renderer decides what an unusable value means.
struct HostWindow {
    std::optional<int64_t> width, height;
    std::optional<std::array<double, 3>> background;
    bool sized = false, coloured = false; // set by the host since the project was read
    bool operator==(const HostWindow&) const = default;

    void SetSize(int64_t w, int64_t h) {
        width = w;
        height = h;
        sized = true;
    }
    void SetBackground(const std::array<double, 3>& rgb) {
        background = rgb;
        coloured = true;
    }
    void Set(int64_t w, int64_t h, const std::array<double, 3>& rgb) {
        SetSize(w, h);
        SetBackground(rgb);
    }
};

struct HostWindows {
    HostWindow view3D, photo;
    std::string stored; // the windows' own text as the project file held it; empty for none
    bool operator==(const HostWindows&) const = default;
};
