#include "host/ifc/building/IfcModelBuilder.h"

#include "host/ifc/building/IdTextNamer.h"
#include "host/ifc/building/IfcElementFacts.h"

#include <exception>
#include <thread>

namespace {

IfcBuiltModel Build(const IfcBuildingData& data, const IfcModelOptions& options, std::vector<IfcProductData>* meshesToTake) {
    IfcBuiltModel built;
    built.model = std::make_unique<HostModel>();
    HostModel& model = *built.model;
    built.skipped = data.skipped;
    std::vector<IfcElementPlan> plans = PlanIfcElements(data, options, built.skipped, meshesToTake);
    IfcAttributes attributes(model, options.defaultLayer, options.layersByStorey);
    model.layersByStorey = options.layersByStorey;
    if (options.layersByStorey)
        for (const std::string& storey : data.storeys) attributes.StoreyLayer(storey);
    IdTextNamer names;
    model.Reserve(plans.size());
    // The facts on a thread of their own: only it numbers the model's fact texts meanwhile, in
    // the products' order, so the numbers are those one after another would give.
    std::vector<const IfcProductData*> products;
    products.reserve(plans.size());
    for (const IfcElementPlan& plan : plans) products.push_back(plan.product);
    std::vector<std::vector<ElementFact>> facts(plans.size());
    std::exception_ptr factsFailed;
    std::thread factsReader([&] {
        try {
            for (size_t i = 0; i < products.size(); ++i) facts[i] = IfcElementFactsOf(*products[i], model.Facts());
        } catch (...) {
            factsFailed = std::current_exception();
        }
    });
    std::vector<Element*> made;
    made.reserve(plans.size());
    try {
        for (IfcElementPlan& plan : plans) {
            std::string id = names.Next(plan.idBase);
            made.push_back(&model.AddElement(MakeIfcElement(std::move(plan), id, attributes, nullptr)));
        }
    } catch (...) {
        factsReader.join();
        throw;
    }
    factsReader.join();
    if (factsFailed) std::rethrow_exception(factsFailed);
    for (size_t i = 0; i < made.size(); ++i) made[i]->facts = std::move(facts[i]);
    // Every model has a layer, even one whose products all went.
    if (model.AttributeCount(HostAttribute::Layer) == 0)
        model.CreateAttribute(HostAttribute::Layer, MakeAttributeRecord(HostAttribute::Layer, options.defaultLayer));
    return built;
}

} // namespace

IfcBuiltModel BuildIfcModel(const IfcBuildingData& data, const IfcModelOptions& options) { return Build(data, options, nullptr); }

IfcBuiltModel BuildIfcModel(IfcBuildingData&& data, const IfcModelOptions& options) {
    return Build(data, options, &data.products);
}
