#include "host/ifc/building/IfcRevisionUpdate.h"

#include "host/ifc/building/IfcElementFacts.h"
#include "host/ifc/building/IfcFingerprint.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The elements the revised model gave: of the kinds an IFC file gives, and of that model where the
// project holds several.
bool OfRevisedModel(const HostModel& model, const Element& e, const IfcModelOptions& options) {
    return IsIfcElementKind(e.Kind()) && model.ModelOf(e) == options.modelName;
}

std::optional<IfcFingerprint> ProductFingerprint(const IfcElementPlan& plan, std::string& how) {
    std::vector<std::pair<std::string, std::string>> owned = IfcFactsOf(*plan.product);
    std::vector<std::pair<std::string_view, std::string_view>> facts(owned.begin(), owned.end());
    IfcFingerprintTexts texts = FingerprintTextsOf(facts);
    how = FingerprintParts(texts);
    return FingerprintOf(plan.kind, texts, plan.geometry);
}

// The products left without an element meet the elements going, where each fits only the other.
void MatchByFingerprint(const HostModel& model, IfcRevisionPlan& p) {
    std::vector<size_t> products;
    for (size_t i = 0; i < p.plans.size(); ++i)
        if (!p.matched[i]) products.push_back(i);
    if (products.empty() || p.gone.empty()) return;
    std::vector<std::optional<IfcFingerprint>> productPrints, elementPrints;
    std::vector<std::string> hows(products.size());
    productPrints.reserve(products.size());
    for (size_t k = 0; k < products.size(); ++k) productPrints.push_back(ProductFingerprint(p.plans[products[k]], hows[k]));
    std::vector<Element*> going;
    going.reserve(p.gone.size());
    for (const auto& e : model.Elements())
        if (p.gone.count(e->Guid())) going.push_back(e.get());
    elementPrints.reserve(going.size());
    for (const Element* e : going) elementPrints.push_back(FingerprintOf(e->Kind(), FingerprintTextsOf(model.FactsOf(*e)), e->geometry));

    IfcFingerprintPairs found = PairByFingerprint(productPrints, elementPrints);
    for (const auto& [k, e] : found.pairs) {
        p.matched[products[k]] = going[e];
        p.how[products[k]] = std::move(hows[k]);
        p.gone.erase(going[e]->Guid());
    }
    for (size_t e : found.ambiguousElements) p.ambiguous.insert(going[e]->Guid());
    p.ambiguousProducts = found.ambiguousProducts.size();
}

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
    p.how.assign(p.plans.size(), std::string());
    for (const auto& e : model.Elements()) {
        const bool revised = OfRevisedModel(model, *e, options);
        auto it = revised ? planOf.find(e->Guid()) : planOf.end();
        if (it != planOf.end()) p.matched[it->second] = e.get();
        else if (revised) p.gone.insert(e->Guid());
        else p.names.Reserve(e->IdText());
    }
    MatchByFingerprint(model, p);
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
    ModelRevision revision;
    revision.taken = true;
    for (const auto& e : model.Elements())
        if (p.gone.count(e->Guid())) revision.NoteLost(*e, p.ambiguous.count(e->Guid()) != 0);
    counts.removed = model.RemoveElements(p.gone);

    // New elements go on layers as the model's own did when it was opened; the project's only
    // (or first) model keeps the choice it was opened with.
    const bool byStorey = options.modelName.empty() ? model.layersByStorey : options.layersByStorey;
    IfcAttributes attributes(model, options.defaultLayer, byStorey, options.layerPrefix);
    for (size_t i = 0; i < p.plans.size(); ++i) {
        Element* e = p.matched[i];
        if (!e) {
            std::string id = p.names.Next(p.plans[i].idBase);
            revision.added.push_back(
                model.AddElement(MakeIfcElement(std::move(p.plans[i]), id, attributes, &model.Facts(), options.modelName)).Guid());
            ++counts.added;
            continue;
        }
        ++counts.kept;
        // Found by its fingerprint: from now on known by the product's GlobalId.
        const API_Guid was = e->Guid();
        if (!p.how[i].empty() && model.ChangeGuid(*e, p.plans[i].product->guid)) {
            revision.rematched.push_back({was, e->Guid(), std::move(p.how[i])});
            ++counts.rematched;
        } else {
            revision.kept.push_back(e->Guid());
        }
        if (!p.keepsId[i]) {
            std::vector<uint8_t> record = e->record;
            LE::PutText(record, HostElement::kIdText, HostElement::kIdTextSize, p.names.Next(p.plans[i].idBase));
            model.ChangeElement(*e, record);
        }
        model.SetGeometry(*e, std::move(p.plans[i].geometry));
        model.SetFacts(*e, IfcElementFactsOf(*p.plans[i].product, model.Facts(), options.modelName));
    }
    counts.ambiguous = p.ambiguousProducts;
    model.lastRevision = std::move(revision);
    return counts;
}

IfcRevisionCounts UpdateFromIfcRevision(HostModel& model, const IfcBuildingData& revision, const IfcModelOptions& options) {
    return ApplyIfcRevision(model, PlanIfcRevision(model, revision, options), options);
}
