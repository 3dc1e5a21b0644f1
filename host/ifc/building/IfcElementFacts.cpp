#include "host/ifc/building/IfcElementFacts.h"

namespace {

// The texts travel zero-terminated to add-ons: a zero character in the file's text would cut one.
std::string_view Whole(std::string_view text, std::string& spare) {
    if (text.find('\0') == std::string_view::npos) return text;
    spare = text;
    for (char& c : spare)
        if (c == '\0') c = ' ';
    return spare;
}

template <typename Add>
void EachFact(const IfcProductData& p, Add add) {
    add("class", p.ifcClass);
    const std::string& predefined = p.predefinedType;
    add("type", predefined.empty() || predefined == "NOTDEFINED" || predefined == "USERDEFINED" ? p.objectType : predefined);
    add("name", p.name);
    add("tag", p.tag);
    add("description", p.description);
    add("globalid", p.globalId);
    add("storey", p.storey);
    for (const std::string& m : p.materials) add("material", m);
    for (const std::string& c : p.classifications) add("classification", c);
    for (const auto& [key, value] : p.properties) add(key, value);
    p.packedProperties.ForEach(add);
}

} // namespace

std::vector<std::pair<std::string, std::string>> IfcFactsOf(const IfcProductData& product) {
    std::vector<std::pair<std::string, std::string>> facts;
    std::string k, v;
    EachFact(product, [&](std::string_view key, std::string_view value) {
        if (!value.empty()) facts.emplace_back(Whole(key, k), Whole(value, v));
    });
    return facts;
}

std::vector<ElementFact> IfcElementFactsOf(const IfcProductData& product, FactTexts& texts, std::string_view model) {
    std::vector<ElementFact> facts;
    facts.reserve(8 + product.materials.size() + product.classifications.size() + product.properties.size() +
                  product.packedProperties.Size());
    if (!model.empty()) facts.push_back({texts.Intern("model"), texts.Intern(model)});
    std::string k, v;
    EachFact(product, [&](std::string_view key, std::string_view value) {
        if (!value.empty()) facts.push_back({texts.Intern(Whole(key, k)), texts.Intern(Whole(value, v))});
    });
    facts.shrink_to_fit();
    return facts;
}
