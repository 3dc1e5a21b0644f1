// Several building models in one project: adding one beside the others, removing one.
#include "host/app/Host.h"

#include "basekit/BKText.h"
#include "host/app/IfcModelChoice.h"
#include "host/app/IfcReportTexts.h"
#include "host/app/RevisionCheck.h"
#include "host/ifc/building/IfcLeftOutReport.h"
#include "host/ifc/building/IfcModelAddition.h"

#include <algorithm>

namespace {

bool Named(const HostModel& m, const std::string& name) {
    return std::any_of(m.ifcModels.begin(), m.ifcModels.end(), [&](const IfcModelSource& s) { return s.name == name; });
}

// Layer names join the model's name with a colon, and report lines quote it.
bool UsableName(const std::string& name) {
    return !name.empty() && name.size() <= 64 && name.find_first_of(":\"\r\n") == std::string::npos;
}

} // namespace

bool Host::AddIfcModel(const std::string& path, const std::string& name, bool layersByStorey, std::string& error) {
    return AdoptIfcModel(ReadIfcRevision(path, readProgress), name, layersByStorey, error);
}

bool Host::AdoptIfcModel(ModelRead read, const std::string& givenName, bool layersByStorey, std::string& error) {
    if (!read.Usable()) {
        error = read.cancelled ? read.path + ": cancelled" : read.error;
        return false;
    }
    HostModel& m = Model();
    const std::string name = givenName.empty() ? ModelNameOfPath(read.path) : givenName;
    if (!UsableName(name)) {
        error = "\"" + name + "\": a model's name is 1 to 64 characters without a colon or quotes";
        return false;
    }
    if (Named(m, name)) {
        error = "a model named \"" + name + "\" is already in the project";
        return false;
    }
    if (readProgress) readProgress->ReportPhase(IfcReadPhase::MakingElements, 0, read.data.products.size());
    const bool stepped = m.Undo().Open(HostUndoStepName(HostUndoStep::IfcModelAdd));
    m.NoteModelsChange();
    // The first model's elements say whose they are once there are two.
    if (m.ifcModels.size() == 1) NameUnnamedModel(m, m.ifcModels.front().name);
    IfcModelOptions options = HostIfcModelOptions();
    options.layersByStorey = layersByStorey;
    // A project without a model takes the first as opening would: unnamed, on its own layers.
    if (!m.ifcModels.empty()) {
        options.modelName = name;
        options.layerPrefix = ModelLayerPrefix(name);
    }
    std::vector<IfcSkippedProduct> skipped = read.data.skipped;
    const size_t added = AddIfcModelElements(m, read.data, options, skipped);
    m.ifcModels.push_back({name, read.path, layersByStorey, 0});
    if (m.ifcModels.size() == 1) {
        m.layersByStorey = layersByStorey;
        m.workSchedules = std::move(read.data.workSchedules);
    }
    if (stepped) {
        if (auto step = m.CloseUndoStep(); step && Events().undoStep) Events().undoStep(*step);
    } else {
        m.MarkModified();
        m.Undo().Clear(); // a step from before must not bring back some elements and not others
    }
    for (const std::string& line : IfcOpeningReport(read.data.schema, added, skipped, read.data.notes, HostIfcReportWords()))
        WriteReport(BKFromUtf8(line));
    return true;
}

bool Host::RemoveIfcModel(const std::string& name, std::string& error) {
    HostModel& m = Model();
    auto it = std::find_if(m.ifcModels.begin(), m.ifcModels.end(), [&](const IfcModelSource& s) { return s.name == name; });
    if (it == m.ifcModels.end()) {
        error = "no model named \"" + name + "\" in the project";
        return false;
    }
    // Its elements: those that name it, or every one from a file where it is the only model.
    const bool only = m.ifcModels.size() == 1;
    IfcRevisionPlan plan;
    for (const auto& e : m.Elements())
        if (IsIfcElementKind(e->Kind()) && (only || m.ModelOf(*e) == name)) plan.gone.insert(e->Guid());
    RevisionCheck check = CheckRevision(m, plan);
    if (check.ask && !ConfirmRevision(check, HostAlert::ModelRemoves)) return true; // the user kept it
    const bool stepped = check.fitsUndo && m.Undo().Open(HostUndoStepName(HostUndoStep::IfcModelRemove));
    m.NoteModelsChange();
    // Add-ons hear of it as of a revision that took these elements away.
    ModelRevision removal;
    removal.taken = true;
    for (const auto& e : m.Elements())
        if (plan.gone.count(e->Guid())) removal.NoteLost(*e, false);
    m.lastRevision = std::move(removal);
    m.RemoveElements(plan.gone);
    const bool wasFirst = it == m.ifcModels.begin();
    m.ifcModels.erase(it);
    // The one model left is the project's only one again, as if opened alone.
    if (m.ifcModels.size() == 1) UnnameModel(m, m.ifcModels.front().name);
    if (wasFirst) m.workSchedules = {};
    if (stepped) {
        if (auto step = m.CloseUndoStep(); step && Events().undoStep) Events().undoStep(*step);
    } else {
        m.MarkModified();
        m.Undo().Clear();
    }
    SendProjectEvent(kHostEventModelUpdated, 0);
    return true;
}
