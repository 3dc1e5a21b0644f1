#include "host/ifc/IfcModelBuilder.h"

#include "host/ifc/IdTextNamer.h"

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
    for (IfcElementPlan& plan : plans) {
        std::string id = names.Next(plan.idBase);
        model.AddElement(MakeIfcElement(std::move(plan), id, attributes, model.Facts()));
    }
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
