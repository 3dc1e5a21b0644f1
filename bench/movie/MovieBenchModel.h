#pragma once
// The models the movie benches draw: the example house, or an estate of 10,000 box walls and
// slabs on one layer, seen from above its corner.
#include "host/model/HostModel.h"
#include "host/project/HostProjectFile.h"
#include "hostapi/HostElementRecord.h"

#include <memory>
#include <string>

// Null when the example house cannot be read.
inline std::unique_ptr<HostModel> MovieBenchModel(bool estate) {
    if (!estate) return std::move(LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp").model);
    auto model = std::make_unique<HostModel>();
    model->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
    model->CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, "Beton"));
    EnsureDefaultPens(*model);
    for (int i = 0; i < 10000; ++i) {
        Element e;
        e.SetKind(i % 5 == 0 ? HostElement::Slab : HostElement::Wall);
        e.SetLayer(1);
        e.SetIdText("E-" + std::to_string(i));
        LE::Put<int16_t>(e.Bytes(), 104, 3);
        LE::Put<int16_t>(e.Bytes(), 118, 1);
        double x = (i % 100) * 3.0, y = (i / 100) * 3.0;
        e.geometry.shape = Geometry::Shape::Box;
        e.geometry.min = {x, y, 0};
        e.geometry.max = {x + 2.5, y + 0.3, 3};
        model->AddElement(std::move(e));
    }
    model->view.SetCamera({.eye = {-60, -60, 80}, .target = {150, 150, 0}, .up = {0, 0, 1}, .fov = 60});
    return model;
}
