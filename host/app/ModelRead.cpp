#include "host/app/ModelRead.h"

#include "host/app/Host.h"
#include "host/app/IfcModelChoice.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/reader/IfcReader.h"
#include "host/project/HostProjectFile.h"
#include "host/render/ViewCamera.h"
#include "host/render/WindowPictures.h"
#include "host/resources/HostResources.h"

#include <algorithm>
#include <memory>
#include <span>

namespace {

// The reader's failures, and the library's beneath it, as the read's error. The properties are
// read only into facts, which take either form.
void ReadIfc(ModelRead& read, IIfcReadProgress* progress) {
    try {
        read.data = ReadIfcFile(read.path, progress, IfcPropertiesForm::Packed);
    } catch (const EIfcCancelled&) {
        read.cancelled = true;
    } catch (const EIfcFile& e) {
        read.error = e.what();
    } catch (const std::exception& e) {
        read.error = read.path + ": " + e.what();
    }
}

// The 3D window looks at the whole building, in a window as wide as a movie's or narrower.
void FitViewToModel(HostModel& model) {
    std::vector<std::span<const Vec3>> bodies;
    for (const auto& e : model.Elements())
        if (HostElement::HasBody(e->Kind()) && !e->geometry.vertices.empty()) bodies.emplace_back(e->geometry.vertices);
    if (bodies.empty()) return;
    auto [width, height] = WindowSize(model, RenderStyle::Window3D);
    double aspect = std::max(static_cast<double>(width) / height, 16.0 / 9.0);
    model.view.SetCamera(FitCameraToPointSets(model.view.Camera(), bodies, aspect));
}

bool Cancelled(IIfcReadProgress* progress) { return progress && progress->IsCancelled(); }

} // namespace

IfcModelOptions HostIfcModelOptions() {
    auto names = std::make_shared<std::vector<std::string>>(HostElement::kLastKind + 1);
    for (int32_t kind = HostElement::kFirstKind; kind <= HostElement::kLastKind; ++kind)
        (*names)[static_cast<size_t>(kind)] = HostKindName(kind);
    IfcModelOptions options;
    options.kindName = [names](int32_t kind) {
        return HostElement::IsValidKind(kind) ? (*names)[static_cast<size_t>(kind)] : std::string();
    };
    return options;
}

ModelRead ReadProjectFile(const std::string& path, const IfcModelOptions& options, IIfcReadProgress* progress) {
    ModelRead read;
    read.path = path;
    read.ifc = Host::IsIfcPath(path);
    if (!read.ifc) {
        auto loaded = LoadHostProject(path);
        read.model = std::move(loaded.model);
        if (!read.model) read.error = loaded.error;
        return read;
    }
    ReadIfc(read, progress);
    if (!read.Usable()) return read;
    if (progress) progress->ReportPhase(IfcReadPhase::MakingElements, 0, read.data.products.size());
    // Only the products' meshes are taken: the schedules, schema and notes stay for the host.
    IfcBuiltModel built = BuildIfcModel(std::move(read.data), options);
    if (Cancelled(progress)) {
        read.cancelled = true;
        return read;
    }
    read.model = std::move(built.model);
    read.skipped = std::move(built.skipped);
    EnsureDefaultPens(*read.model);
    FitViewToModel(*read.model);
    read.model->workSchedules = std::move(read.data.workSchedules);
    read.model->ifcModels = {{ModelNameOfPath(path), path, options.layersByStorey, 0}};
    read.model->MarkSaved(); // an opened IFC model is what its file holds
    return read;
}

ModelRead ReadIfcRevision(const std::string& path, IIfcReadProgress* progress) {
    ModelRead read;
    read.path = path;
    read.ifc = true;
    ReadIfc(read, progress);
    return read;
}
