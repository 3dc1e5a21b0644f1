#include "host/app/IfcModelChoice.h"

#include "basekit/BKText.h"

#include <filesystem>

std::string ModelLayerPrefix(const std::string& name) { return BKFromUtf8(name + ": "); }

std::string ModelNameOfPath(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::optional<size_t> ChooseRevisedModel(const HostModel& model, const std::string& path, const std::string& name,
                                         IfcModelOptions& options, std::string& error) {
    const auto& models = model.ifcModels;
    std::optional<size_t> chosen;
    for (size_t i = 0; i < models.size() && !chosen; ++i) {
        if (!name.empty() ? models[i].name == name
                          : models.size() == 1 || ModelNameOfPath(models[i].path) == ModelNameOfPath(path))
            chosen = i;
    }
    if (!chosen) {
        if (models.empty() && name.empty()) return std::nullopt;
        error = name.empty() ? path + ": the project holds several models; name the one to revise with model=NAME"
                             : "no model named \"" + name + "\" in the project";
        return std::nullopt;
    }
    // The only model's elements name none; the first keeps the layers it was opened with.
    if (models.size() > 1) options.modelName = models[*chosen].name;
    if (*chosen > 0) options.layerPrefix = ModelLayerPrefix(models[*chosen].name);
    options.layersByStorey = models[*chosen].layersByStorey;
    return chosen;
}
