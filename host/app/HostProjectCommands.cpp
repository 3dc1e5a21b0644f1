#include "host/app/Host.h"

#include "basekit/BKText.h"
#include "host/app/IfcReportTexts.h"
#include "host/app/RevisionCheck.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcModelBuilder.h"
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/ifc/reader/IfcReader.h"
#include "host/project/HostProjectFile.h"
#include "host/render/ViewCamera.h"
#include "host/render/WindowPictures.h"
#include "host/resources/HostResources.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

IfcModelOptions ModelOptions(const HostCore& host) {
    IfcModelOptions options;
    options.kindName = [&host](int32_t kind) { return host.KindName(kind); };
    return options;
}

// The reader's failures, and the library's beneath it, as the command's error; nothing is changed.
bool ReadIfc(const std::string& path, IfcBuildingData& data, std::string& error) {
    try {
        data = ReadIfcFile(path);
        return true;
    } catch (const EIfcFile& e) {
        error = e.what();
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
    }
    return false;
}

void WriteReportLines(HostCore& host, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) host.WriteReport(BKFromUtf8(line));
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

} // namespace

bool Host::IsIfcPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".ifc";
}

void Host::NewProject() {
    SendProjectEvent(kHostEventClose, 0);
    auto model = std::make_unique<HostModel>();
    model->CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, kHostDefaultLayer));
    EnsureDefaultPens(*model);
    model->MarkSaved();
    ReplaceModel(std::move(model));
    projectPath.clear();
    sharedProject = false;
    userId = 0;
    SendProjectEvent(kHostEventNewProject, 0);
}

bool Host::OpenProject(const std::string& path, std::string& error, bool layersByStorey) {
    const bool ifc = IsIfcPath(path);
    std::unique_ptr<HostModel> model;
    IfcBuildingData data;
    std::vector<IfcSkippedProduct> skipped;
    if (ifc) {
        if (!ReadIfc(path, data, error)) return false;
        IfcModelOptions options = ModelOptions(*this);
        options.layersByStorey = layersByStorey;
        // Only the products' meshes are taken: the schedules, schema and notes are used below.
        IfcBuiltModel built = BuildIfcModel(std::move(data), options);
        model = std::move(built.model);
        skipped = std::move(built.skipped);
        EnsureDefaultPens(*model);
        FitViewToModel(*model);
        model->workSchedules = std::move(data.workSchedules);
        model->MarkSaved(); // an opened IFC model is what its file holds
    } else {
        auto loaded = LoadHostProject(path);
        if (!loaded.model) {
            error = loaded.error;
            return false;
        }
        model = std::move(loaded.model);
    }
    SendProjectEvent(kHostEventClose, 0);
    ReplaceModel(std::move(model));
    // An IFC file is never written over: the first save asks for a project file.
    projectPath = ifc ? std::string() : path;
    sharedProject = false;
    userId = 0;
    if (ifc) {
        WriteReportLines(*this, IfcOpeningReport(data.schema, Model().Elements().size(), skipped, data.notes, HostIfcReportWords()));
    }
    SendProjectEvent(kHostEventOpened, 0);
    return true;
}

bool Host::UpdateFromIfc(const std::string& path, std::string& error) {
    IfcBuildingData data;
    if (!ReadIfc(path, data, error)) return false;
    IfcModelOptions options = ModelOptions(*this);
    IfcRevisionPlan plan = PlanIfcRevision(Model(), data, options);
    if (plan.unrelated) {
        error = path + ": no element of the open project is in it; open it as a project of its own";
        return false;
    }
    RevisionCheck check = CheckRevision(Model(), plan);
    if (check.ask && !ConfirmRevision(check)) return true; // the user kept the project as it is
    // One undo step when the history can hold it; else the elements change outside any step
    // and a step from before could bring back records of some elements and not others.
    HostModel& m = Model();
    bool stepped = check.fitsUndo && m.Undo().Open(HostUndoStepName(HostUndoStep::IfcUpdate));
    IfcRevisionCounts counts = ApplyIfcRevision(m, std::move(plan), options);
    m.workSchedules = std::move(data.workSchedules);
    if (stepped) {
        if (auto name = m.CloseUndoStep(); name && Events().undoStep) Events().undoStep(*name);
    } else {
        m.Undo().Clear();
    }
    WriteReportLines(*this, IfcRevisionReport(data.schema, counts, HostIfcReportWords()));
    if (!stepped) WriteReport(BKFromUtf8("The undo history was cleared."));
    SendProjectEvent(kHostEventModelUpdated, 0);
    return true;
}

bool Host::SaveProject(const std::string& path, std::string& error) {
    if (!SaveHostProject(Model(), path, error)) return false;
    Model().MarkSaved();
    projectPath = path;
    return true;
}

void Host::ShareProject(int16_t id) {
    sharedProject = true;
    userId = id;
    SendProjectEvent(kHostEventOpened, 0);
}

bool Host::ResetPreferences(std::string& error) {
    if (!Preferences().Reset(error)) return false;
    SendProjectEvent(kHostEventPreferencesReset, 2);
    return true;
}
