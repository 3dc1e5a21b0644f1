#include "host/app/Host.h"

#include "basekit/BKText.h"
#include "host/app/IfcModelChoice.h"
#include "host/app/IfcReportTexts.h"
#include "host/app/ProjectRecovery.h"
#include "host/app/RevisionCheck.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcRevisionUpdate.h"
#include "host/project/HostProjectFile.h"
#include "host/resources/HostResources.h"
#include "hostapi/HostEnvironmentRecords.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

void WriteReportLines(HostCore& host, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) host.WriteReport(BKFromUtf8(line));
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
    IfcModelOptions options = HostIfcModelOptions();
    options.layersByStorey = layersByStorey;
    return AdoptProject(ReadProjectFile(path, options, readProgress), error);
}

bool Host::AdoptProject(ModelRead read, std::string& error) {
    if (!read.Usable()) {
        error = read.cancelled ? read.path + ": cancelled" : read.error;
        return false;
    }
    SendProjectEvent(kHostEventClose, 0);
    ReplaceModel(std::move(read.model));
    // An IFC file is never written over: the first save asks for a project file.
    projectPath = read.ifc ? std::string() : read.path;
    sharedProject = false;
    userId = 0;
    if (read.ifc) {
        WriteReportLines(*this, IfcOpeningReport(read.data.schema, Model().Elements().size(), read.skipped,
                                                 read.data.notes, HostIfcReportWords()));
    }
    SendProjectEvent(kHostEventOpened, 0);
    return true;
}

bool Host::UpdateFromIfc(const std::string& path, std::string& error, const std::string& modelName) {
    return AdoptIfcRevision(ReadIfcRevision(path, readProgress), error, modelName);
}

bool Host::AdoptIfcRevision(ModelRead read, std::string& error, const std::string& modelName) {
    if (!read.Usable()) {
        error = read.cancelled ? read.path + ": cancelled" : read.error;
        return false;
    }
    const std::string& path = read.path;
    IfcBuildingData& data = read.data;
    // The elements are made against the open model, so here rather than where the file was read.
    if (readProgress) readProgress->ReportPhase(IfcReadPhase::MakingElements, 0, data.products.size());
    IfcModelOptions options = HostIfcModelOptions();
    std::optional<size_t> revised = ChooseRevisedModel(Model(), path, modelName, options, error);
    if (!error.empty()) return false;
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
    // The construction schedule is the first model's.
    if (!revised || *revised == 0) m.workSchedules = std::move(data.workSchedules);
    if (revised) {
        m.ifcModels[*revised].path = path;
        ++m.ifcModels[*revised].revisions;
    }
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
    if (recovery) recovery->ProjectSaved();
    return true;
}

void Host::AdoptRecoveredProject(std::unique_ptr<HostModel> model, const std::string& original,
                                 const std::string& addonCopy) {
    SendProjectEvent(kHostEventClose, 0);
    ReplaceModel(std::move(model));
    projectPath = original;
    sharedProject = false;
    userId = 0;
    Model().MarkModified();
    recoveryMode = HostRecoveryMode::Recovering;
    recoveryAddonPath = addonCopy;
    SendProjectEvent(kHostEventOpened, 0);
    recoveryMode = HostRecoveryMode::None;
    recoveryAddonPath.clear();
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
