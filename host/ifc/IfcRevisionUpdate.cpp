#include "host/ifc/IfcRevisionUpdate.h"

#include "host/ifc/IdTextNamer.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

bool FromIfc(int32_t kind) { return HostElement::HasBody(kind) || kind == HostElement::Zone; }

} // namespace

IfcRevisionCounts UpdateFromIfcRevision(HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options) {
    IfcRevisionCounts counts;
    counts.skipped = revision.skipped;
    std::vector<IfcElementPlan> plans = PlanIfcElements(revision, options, counts.skipped);
    std::unordered_map<API_Guid, size_t, API_GuidHash> planOf;
    planOf.reserve(plans.size());
    for (size_t i = 0; i < plans.size(); ++i) planOf.emplace(plans[i].product->guid, i);

    // Which elements stay, which go, and which plans meet an element.
    std::vector<Element*> matched(plans.size(), nullptr);
    std::unordered_set<API_Guid, API_GuidHash> gone;
    IdTextNamer names;
    for (const auto& e : model.Elements()) {
        auto it = FromIfc(e->Kind()) ? planOf.find(e->Guid()) : planOf.end();
        if (it != planOf.end()) matched[it->second] = e.get();
        else if (FromIfc(e->Kind())) gone.insert(e->Guid());
        else names.Reserve(e->IdText());
    }
    if (!gone.empty() && std::find_if(matched.begin(), matched.end(), [](Element* e) { return e != nullptr; }) == matched.end()) {
        counts.unrelated = true;
        return counts;
    }
    // A kept element whose name did not change keeps its ID text, number and all, so that the
    // elements after it are not renumbered.
    std::vector<bool> keepsId(plans.size(), false);
    for (size_t i = 0; i < plans.size(); ++i) {
        if (!matched[i]) continue;
        std::string id = matched[i]->IdText();
        if (IdTextNamer::IsFormOf(id, plans[i].idBase) && !names.IsTaken(id)) {
            names.Reserve(id);
            keepsId[i] = true;
        }
    }
    counts.removed = model.RemoveElements(gone);

    IfcAttributes attributes(model, options.defaultLayer);
    for (size_t i = 0; i < plans.size(); ++i) {
        Element* e = matched[i];
        if (!e) {
            std::string id = names.Next(plans[i].idBase);
            model.AddElement(MakeIfcElement(std::move(plans[i]), id, attributes));
            ++counts.added;
            continue;
        }
        ++counts.kept;
        if (!keepsId[i]) {
            std::vector<uint8_t> record = e->record;
            LE::PutText(record, HostElement::kIdText, HostElement::kIdTextSize, names.Next(plans[i].idBase));
            model.ChangeElement(*e, record);
        }
        e->geometry = std::move(plans[i].geometry);
    }
    return counts;
}
