#include "host/ifc/building/IfcModelBuilder.h"

#include "host/ifc/building/IdTextNamer.h"
#include "host/ifc/building/IfcElementFacts.h"

#include <exception>
#include <functional>
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
    // The facts on threads of their own, the products' first half numbered in the model's fact
    // texts, which only that thread numbers meanwhile, and the second half in texts of its own.
    // Those are numbered in the model's in their order once the first half is done: the numbers
    // are those one after another would give.
    std::vector<const IfcProductData*> products;
    products.reserve(plans.size());
    for (const IfcElementPlan& plan : plans) products.push_back(plan.product);
    std::vector<std::vector<ElementFact>> facts(plans.size());
    const size_t half = products.size() / 2;
    FactTexts secondTexts;
    std::exception_ptr factsFailed[2];
    auto readFacts = [&](size_t from, size_t to, FactTexts& texts, std::exception_ptr& failed) {
        try {
            for (size_t i = from; i < to; ++i) facts[i] = IfcElementFactsOf(*products[i], texts);
        } catch (...) {
            failed = std::current_exception();
        }
    };
    std::thread firstFacts(readFacts, 0, half, std::ref(model.Facts()), std::ref(factsFailed[0]));
    std::thread secondFacts(readFacts, half, products.size(), std::ref(secondTexts), std::ref(factsFailed[1]));
    std::vector<Element*> made;
    made.reserve(plans.size());
    try {
        for (IfcElementPlan& plan : plans) {
            std::string id = names.Next(plan.idBase);
            made.push_back(&model.AddElement(MakeIfcElement(std::move(plan), id, attributes, nullptr)));
        }
    } catch (...) {
        firstFacts.join();
        secondFacts.join();
        throw;
    }
    firstFacts.join();
    secondFacts.join();
    for (const std::exception_ptr& failed : factsFailed)
        if (failed) std::rethrow_exception(failed);
    std::vector<uint32_t> number(secondTexts.Count());
    for (uint32_t text = 0; text < number.size(); ++text) number[text] = model.Facts().Intern(secondTexts.Text(text));
    for (size_t i = half; i < facts.size(); ++i)
        for (ElementFact& fact : facts[i]) fact = {number[fact.key], number[fact.value]};
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
