#pragma once
// The models the movie benches draw: the example house; an estate of 10,000 box walls and slabs
// on one layer, seen from above its corner; or an estate of real geometry, copies of the duplex
// (tests/data/ifc/duplex.ifc, Revit's bodies) side by side in a square grid until at least
// 10,000 elements stand (IfcCopiesGenerator.h), seen from the view the model opens with.
#include "host/app/ModelRead.h"
#include "host/model/HostModel.h"
#include "host/project/HostProjectFile.h"
#include "hostapi/HostElementRecord.h"
#include "ifc/IfcCopiesGenerator.h"
#include "schedule/tasks/IElementDisplay.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

enum class MovieBenchScene { House, Boxes, DuplexCopies };

inline constexpr size_t kMovieBenchElements = 10000;

namespace movie_bench {

inline std::unique_ptr<HostModel> BoxEstate() {
    auto model = std::make_unique<HostModel>();
    model->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, "Alap"));
    model->CreateAttribute(HostAttribute::Material, MakeAttributeRecord(HostAttribute::Material, "Beton"));
    EnsureDefaultPens(*model);
    for (int i = 0; i < static_cast<int>(kMovieBenchElements); ++i) {
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

// An IFC text read as the host opens a file, through a file of its own removed again.
inline std::unique_ptr<HostModel> ReadIfcText(const std::string& text) {
    auto path = std::filesystem::temp_directory_path() / ("bv-bench-movie-" + std::to_string(getpid()) + ".ifc");
    std::ofstream(path, std::ios::binary) << text;
    ModelRead read = ReadProjectFile(path.string(), HostIfcModelOptions(), nullptr);
    std::filesystem::remove(path);
    return read.Usable() ? std::move(read.model) : nullptr;
}

inline std::unique_ptr<HostModel> DuplexEstate() {
    const std::string path = std::string(BV_SOURCE_DIR) + "/tests/data/ifc/duplex.ifc";
    std::ifstream in(path, std::ios::binary);
    std::stringstream original;
    original << in.rdbuf();
    std::unique_ptr<HostModel> one = ReadIfcText(original.str());
    if (!one) return nullptr;
    size_t each = 0;
    for (const auto& e : one->Elements()) each += IElementDisplay::IsDisplayableKind(e->Kind()) ? 1 : 0;
    const int copies = static_cast<int>((kMovieBenchElements + std::max<size_t>(each, 1) - 1) / std::max<size_t>(each, 1));
    return ReadIfcText(GenerateIfcCopies(original.str(), {copies, 60}));
}

} // namespace movie_bench

// Null when the model cannot be read.
inline std::unique_ptr<HostModel> MovieBenchModel(MovieBenchScene scene) {
    switch (scene) {
    case MovieBenchScene::House:
        return std::move(LoadHostProject(std::string(BV_SOURCE_DIR) + "/examples/house/house.qvp").model);
    case MovieBenchScene::Boxes: return movie_bench::BoxEstate();
    case MovieBenchScene::DuplexCopies: return movie_bench::DuplexEstate();
    }
    return nullptr;
}
