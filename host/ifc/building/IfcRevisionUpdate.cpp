#include "host/ifc/building/IfcRevisionUpdate.h"

#include "host/ifc/building/IfcElementFacts.h"

#include <algorithm>
#include <unordered_map>

namespace {

bool FromIfc(int32_t kind) { return HostElement::HasBody(kind) || kind == HostElement::Zone; }

} // namespace

IfcRevisionPlan PlanIfcRevision(const HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options) {
    IfcRevisionPlan p;
    p.skipped = revision.skipped;
    p.notes = revision.notes;
    p.plans = PlanIfcElements(revision, options, p.skipped);
    std::unordered_map<API_Guid, size_t, API_GuidHash> planOf;
    planOf.reserve(p.plans.size());
    for (size_t i = 0; i < p.plans.size(); ++i) planOf.emplace(p.plans[i].product->guid, i);

    // Which elements stay, which go, and which plans meet an element.
    p.matched.assign(p.plans.size(), nullptr);
    for (const auto& e : model.Elements()) {
        auto it = FromIfc(e->Kind()) ? planOf.find(e->Guid()) : planOf.end();
        if (it != planOf.end()) p.matched[it->second] = e.get();
        else if (FromIfc(e->Kind())) p.gone.insert(e->Guid());
        else p.names.Reserve(e->IdText());
    }
    if (!p.gone.empty() && std::none_of(p.matched.begin(), p.matched.end(), [](Element* e) { return e != nullptr; })) {
        p.unrelated = true;
        return p;
    }
    // A kept element whose name did not change keeps its ID text, number and all, so that the
    // elements after it are not renumbered.
    p.keepsId.assign(p.plans.size(), false);
    for (size_t i = 0; i < p.plans.size(); ++i) {
        if (!p.matched[i]) continue;
        std::string id = p.matched[i]->IdText();
        if (IdTextNamer::IsFormOf(id, p.plans[i].idBase) && !p.names.IsTaken(id)) {
            p.names.Reserve(id);
            p.keepsId[i] = true;
        }
    }
    return p;
}

IfcRevisionCounts ApplyIfcRevision(HostModel& model, IfcRevisionPlan p, const IfcModelOptions& options) {
    IfcRevisionCounts counts;
    counts.skipped = std::move(p.skipped);
    counts.notes = std::move(p.notes);
    counts.unrelated = p.unrelated;
    if (p.unrelated) return counts;
    counts.removed = model.RemoveElements(p.gone);

    // New elements go on layers as the model's own did when it was opened.
    IfcAttributes attributes(model, options.defaultLayer, model.layersByStorey);
    for (size_t i = 0; i < p.plans.size(); ++i) {
        Element* e = p.matched[i];
        if (!e) {
            std::string id = p.names.Next(p.plans[i].idBase);
            model.AddElement(MakeIfcElement(std::move(p.plans[i]), id, attributes, &model.Facts()));
            ++counts.added;
            continue;
        }
        ++counts.kept;
        if (!p.keepsId[i]) {
            std::vector<uint8_t> record = e->record;
            LE::PutText(record, HostElement::kIdText, HostElement::kIdTextSize, p.names.Next(p.plans[i].idBase));
            model.ChangeElement(*e, record);
        }
        model.SetGeometry(*e, std::move(p.plans[i].geometry));
        model.SetFacts(*e, IfcElementFactsOf(*p.plans[i].product, model.Facts()));
    }
    return counts;
}

IfcRevisionCounts UpdateFromIfcRevision(HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options) {
    return ApplyIfcRevision(model, PlanIfcRevision(model, revision, options), options);
}
