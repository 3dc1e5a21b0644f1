#pragma once
// A host with a small scene in front of a fixed camera: materials and pens of known colours.
#include "HostFixture.h"
#include "host/render/WindowPictures.h"

#include <cstring>

class RenderFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        HostModel& m = host->Model();
        m.view.SetCamera({.eye = {0, -20, 1}, .target = {0, 0, 1}, .up = {0, 0, 1}, .fov = 40, .sunAzimuth = 180, .sunAltitude = 45});
        m.windows.view3D.Set(160, 120, {1, 1, 1});
        m.windows.photo.Set(200, 100, {0.2, 0.4, 0.8});
        green = AddMaterial("green", 0, 0.9, 0);
        red = AddMaterial("red", 0.9, 0, 0);
        hidden = AddLayer("hidden", true);
    }

    int16_t AddMaterial(const char* name, double r, double g, double b) {
        auto rec = MakeAttributeRecord(HostAttribute::Material, name);
        for (auto [off, v] : {std::pair{HostAttribute::kMatSurfaceRed, r}, std::pair{HostAttribute::kMatSurfaceGreen, g},
                              std::pair{HostAttribute::kMatSurfaceBlue, b}}) {
            uint64_t bits;
            std::memcpy(&bits, &v, 8);
            LE::Put<uint64_t>(rec, off, bits);
        }
        return host->Model().CreateAttribute(HostAttribute::Material, rec);
    }

    // An object (kind 6) box with one material and a contour pen.
    Element& AddBox(const char* id, std::array<double, 3> lo, std::array<double, 3> hi, int16_t material, int16_t pen = 1) {
        Element& e = AddElement(HostElement::Object, id);
        LE::Put<int16_t>(e.Bytes(), 104, pen);
        LE::Put<int16_t>(e.Bytes(), 108, material);
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = lo;
        e.geometry.max = hi;
        return e;
    }

    static int Red(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
    static int Green(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
    static int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }

    int16_t green = 0, red = 0, hidden = 0;
};
