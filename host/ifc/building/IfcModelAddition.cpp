#include "host/ifc/building/IfcModelAddition.h"

#include "host/ifc/building/IdTextNamer.h"

void NameUnnamedModel(HostModel& model, const std::string& name) {
    const ElementFact fact{model.Facts().Intern("model"), model.Facts().Intern(name)};
    for (const auto& e : model.Elements()) {
        if (!IsIfcElementKind(e->Kind()) || e->facts.empty() || !model.ModelOf(*e).empty()) continue;
        std::vector<ElementFact> facts;
        facts.reserve(e->facts.size() + 1);
        facts.push_back(fact);
        facts.insert(facts.end(), e->facts.begin(), e->facts.end());
        model.SetFacts(*e, std::move(facts));
    }
}

void UnnameModel(HostModel& model, const std::string& name) {
    for (const auto& e : model.Elements()) {
        if (model.ModelOf(*e) != name) continue;
        std::vector<ElementFact> facts = e->facts;
        std::erase_if(facts, [&](const ElementFact& f) { return model.Facts().Text(f.key) == "model"; });
        model.SetFacts(*e, std::move(facts));
    }
}

size_t AddIfcModelElements(HostModel& model, const IfcBuildingData& data, const IfcModelOptions& options,
                           std::vector<IfcSkippedProduct>& skipped) {
    std::vector<IfcElementPlan> plans = PlanIfcElements(data, options, skipped);
    IdTextNamer names;
    for (const auto& e : model.Elements()) names.Reserve(e->IdText());
    IfcAttributes attributes(model, options.defaultLayer, options.layersByStorey, options.layerPrefix);
    model.Reserve(model.Elements().size() + plans.size());
    for (IfcElementPlan& plan : plans) {
        std::string id = names.Next(plan.idBase);
        model.AddElement(MakeIfcElement(std::move(plan), id, attributes, &model.Facts(), options.modelName));
    }
    return plans.size();
}
