#include "host/ifc/helper/RecordPresentation.h"

#include "host/ifc/helper/RecordText.h"
#include "host/ifc/step/StepDataReader.h"
#include "host/ifc/step/StepValues.h"

#include <ifcpp/IFC4/include/IfcNormalisedRatioMeasure.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace {

// Mapped items and Boolean operands can nest; a file that nests deeper is not followed.
constexpr int kMaxDepth = 32;

bool IsList(std::string_view attribute) { return !attribute.empty() && attribute.front() == '('; }

bool IsRepresentation(std::string_view type) {
    return type == "IFCSHAPEREPRESENTATION" || type == "IFCSTYLEDREPRESENTATION" || type == "IFCTOPOLOGYREPRESENTATION";
}

// A normalised ratio as the library reads it and ProductFacts clamps it; 0 for none.
std::optional<double> Ratio(std::string_view attribute) {
    if (attribute == "$" || attribute == "*") return 0.0;
    static const std::map<int, shared_ptr<BuildingEntity>> none;
    try {
        const auto m = IfcNormalisedRatioMeasure::createObjectFromSTEP(std::wstring(attribute.begin(), attribute.end()), none);
        if (!m || !std::isfinite(m->m_value)) return 0.0;
        return std::clamp(m->m_value, 0.0, 1.0);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

RecordPresentation::RecordPresentation(std::string_view text, const StepScan& scan, const RecordTypes& types) : text_(text), scan_(scan), types_(types) {
    for (uint32_t position : types.FindInNumberOrder({"IFCSTYLEDITEM", "IFCPRESENTATIONLAYERASSIGNMENT", "IFCPRESENTATIONLAYERWITHSTYLE",
                                                      "IFCMATERIALDEFINITIONREPRESENTATION"})) {
        const std::string_view type = types.WrittenAt(position);
        std::vector<Pointer>* into = &materials_;
        size_t index = 3;
        if (RecordTypeIs(type, "IFCSTYLEDITEM")) into = &styled_, index = 0;
        else if (RecordTypeIs(type, "IFCPRESENTATIONLAYERASSIGNMENT") || RecordTypeIs(type, "IFCPRESENTATIONLAYERWITHSTYLE"))
            into = &layers_, index = 2;
        const std::vector<std::string_view> a = Attributes(position);
        if (a.size() <= index) {
            whole_ = false;
            continue;
        }
        if (a[index] == "$") continue;
        for (int id : StepReferences(a[index])) {
            const int64_t at = scan.Position(id);
            if (at >= 0) into->push_back({static_cast<uint32_t>(at), position});
        }
    }
    for (auto* pointers : {&styled_, &layers_, &materials_})
        std::stable_sort(pointers->begin(), pointers->end(), [](const Pointer& a, const Pointer& b) { return a.at < b.at; });
}

std::vector<std::string_view> RecordPresentation::Attributes(uint32_t position) const { return RecordAttributesAt(text_, scan_, position); }

std::string RecordPresentation::Type(uint32_t position) const { return types_.UpperAt(position); }

std::optional<uint32_t> RecordPresentation::Place(std::string_view reference) const {
    const int id = StepReference(reference);
    const int64_t position = id < 0 ? -1 : scan_.Position(id);
    if (position < 0) return std::nullopt;
    return static_cast<uint32_t>(position);
}

std::vector<uint32_t> RecordPresentation::PointingAt(const std::vector<Pointer>& pointers, uint32_t at) {
    std::vector<uint32_t> from;
    auto it = std::lower_bound(pointers.begin(), pointers.end(), at, [](const Pointer& p, uint32_t a) { return p.at < a; });
    for (; it != pointers.end() && it->at == at; ++it) from.push_back(it->from);
    return from;
}

RecordPresentation::Colour RecordPresentation::ColourOfSurfaceStyle(uint32_t style) const {
    if (Type(style) != "IFCSURFACESTYLE") return std::optional<SurfaceColour>(); // another kind of style
    const std::vector<std::string_view> a = Attributes(style);
    if (a.size() < 3 || !IsList(a[2])) return std::nullopt;
    for (int id : StepReferences(a[2])) {
        const int64_t element = scan_.Position(id);
        if (element < 0) return std::nullopt;
        const std::string type = Type(static_cast<uint32_t>(element));
        if (type != "IFCSURFACESTYLESHADING" && type != "IFCSURFACESTYLERENDERING") continue;
        const std::vector<std::string_view> shading = Attributes(static_cast<uint32_t>(element));
        if (shading.empty() || shading[0] == "$") continue;
        const auto colour = Place(shading[0]);
        if (!colour || Type(*colour) != "IFCCOLOURRGB") return std::nullopt;
        const std::vector<std::string_view> rgb = Attributes(*colour);
        if (rgb.size() < 4) return std::nullopt;
        SurfaceColour c;
        for (size_t i = 0; i < 3; ++i) {
            const std::optional<double> ratio = Ratio(rgb[i + 1]);
            if (!ratio) return std::nullopt;
            c.rgb[i] = *ratio;
        }
        const std::optional<double> transparency = shading.size() > 1 ? Ratio(shading[1]) : 0.0;
        if (!transparency) return std::nullopt;
        c.transparency = *transparency;
        return std::optional<SurfaceColour>(c);
    }
    return std::optional<SurfaceColour>();
}

RecordPresentation::Colour RecordPresentation::ColourOfStyledItem(uint32_t styled) const {
    const std::vector<std::string_view> a = Attributes(styled);
    if (a.size() < 2 || !IsList(a[1])) return std::nullopt;
    for (int id : StepReferences(a[1])) {
        const int64_t select = scan_.Position(id);
        if (select < 0) return std::nullopt;
        const uint32_t at = static_cast<uint32_t>(select);
        const std::string type = Type(at);
        Colour c;
        if (type == "IFCSURFACESTYLE") {
            c = ColourOfSurfaceStyle(at);
        } else if (type == "IFCPRESENTATIONSTYLEASSIGNMENT") {
            // IFC2x3 wraps the styles in an assignment.
            const std::vector<std::string_view> styles = Attributes(at);
            if (styles.empty() || !IsList(styles[0])) return std::nullopt;
            c = std::optional<SurfaceColour>();
            for (int styleId : StepReferences(styles[0])) {
                const int64_t style = scan_.Position(styleId);
                if (style < 0) return std::nullopt;
                c = ColourOfSurfaceStyle(static_cast<uint32_t>(style));
                if (!c || *c) break;
            }
        } else {
            continue;
        }
        if (!c || *c) return c;
    }
    return std::optional<SurfaceColour>();
}

RecordPresentation::Colour RecordPresentation::ColourOfItem(uint32_t item, int depth) const {
    if (depth > kMaxDepth) return std::optional<SurfaceColour>();
    for (uint32_t styled : PointingAt(styled_, item))
        if (Colour c = ColourOfStyledItem(styled); !c || *c) return c;
    const std::string type = Type(item);
    const std::vector<std::string_view> a = Attributes(item);
    if (type == "IFCMAPPEDITEM") {
        const auto map = a.empty() ? std::nullopt : Place(a[0]);
        if (!map || Type(*map) != "IFCREPRESENTATIONMAP") return std::nullopt;
        const std::vector<std::string_view> m = Attributes(*map);
        const auto mapped = m.size() < 2 ? std::nullopt : Place(m[1]);
        if (!mapped) return std::nullopt;
        return ColourOfItems(*mapped, depth + 1);
    }
    if (type == "IFCBOOLEANRESULT" || type == "IFCBOOLEANCLIPPINGRESULT") {
        // What remains of a Boolean difference is the first operand's material.
        const auto first = a.size() < 3 ? std::nullopt : Place(a[1]);
        if (!first) return std::nullopt;
        return ColourOfItem(*first, depth + 1);
    }
    return std::optional<SurfaceColour>();
}

RecordPresentation::Colour RecordPresentation::ColourOfItems(uint32_t representation, int depth) const {
    if (!IsRepresentation(Type(representation))) return std::nullopt;
    const std::vector<std::string_view> a = Attributes(representation);
    if (a.size() < 4 || !IsList(a[3])) return std::nullopt;
    for (int id : StepReferences(a[3])) {
        const int64_t item = scan_.Position(id);
        if (item < 0) return std::nullopt;
        if (Colour c = ColourOfItem(static_cast<uint32_t>(item), depth); !c || *c) return c;
    }
    return std::optional<SurfaceColour>();
}

std::optional<std::optional<SurfaceColour>> RecordPresentation::ColourOf(const std::vector<int>& bodies) const {
    if (!whole_) return std::nullopt;
    for (int id : bodies) {
        const int64_t body = scan_.Position(id);
        if (body < 0) return std::nullopt;
        if (Colour c = ColourOfItems(static_cast<uint32_t>(body), 0); !c || *c) return c;
    }
    return std::optional<SurfaceColour>();
}

std::optional<std::optional<SurfaceColour>> RecordPresentation::MaterialColourOf(const std::vector<uint32_t>& materials) const {
    if (!whole_) return std::nullopt;
    for (uint32_t material : materials)
        for (uint32_t definition : PointingAt(materials_, material)) {
            const std::vector<std::string_view> d = Attributes(definition);
            if (d.size() < 4 || !IsList(d[2])) return std::nullopt;
            for (int id : StepReferences(d[2])) {
                const int64_t r = scan_.Position(id);
                if (r < 0 || !IsRepresentation(Type(static_cast<uint32_t>(r)))) return std::nullopt;
                const std::vector<std::string_view> items = Attributes(static_cast<uint32_t>(r));
                if (items.size() < 4 || !IsList(items[3])) return std::nullopt;
                for (int itemId : StepReferences(items[3])) {
                    const int64_t item = scan_.Position(itemId);
                    if (item < 0) return std::nullopt;
                    if (Type(static_cast<uint32_t>(item)) != "IFCSTYLEDITEM") continue;
                    if (Colour c = ColourOfStyledItem(static_cast<uint32_t>(item)); !c || *c) return c;
                }
            }
        }
    return std::optional<SurfaceColour>();
}

// The name of the first layer with one that `at` is assigned to; an empty optional inside when
// none is.
std::optional<std::optional<std::string>> RecordPresentation::LayerNamed(uint32_t at) const {
    for (uint32_t layer : PointingAt(layers_, at)) {
        const std::vector<std::string_view> a = Attributes(layer);
        if (a.empty()) return std::nullopt;
        if (a[0] == "$") continue;
        std::optional<std::string> name = RecordString(a[0]);
        if (!name) return std::nullopt;
        return std::optional<std::string>(std::move(*name));
    }
    return std::optional<std::string>();
}

std::optional<std::string> RecordPresentation::LayerOfRepresentation(uint32_t representation, int depth) const {
    if (depth > kMaxDepth) return std::string();
    if (!IsRepresentation(Type(representation))) return std::nullopt;
    const auto own = LayerNamed(representation);
    if (!own) return std::nullopt;
    if (*own) return std::move(**own);
    const std::vector<std::string_view> a = Attributes(representation);
    if (a.size() < 4 || !IsList(a[3])) return std::nullopt;
    std::vector<uint32_t> items;
    for (int id : StepReferences(a[3])) {
        const int64_t item = scan_.Position(id);
        if (item < 0) return std::nullopt;
        items.push_back(static_cast<uint32_t>(item));
        const auto named = LayerNamed(items.back());
        if (!named) return std::nullopt;
        if (*named) return std::move(**named);
    }
    for (uint32_t item : items) {
        if (Type(item) != "IFCMAPPEDITEM") continue;
        const std::vector<std::string_view> m = Attributes(item);
        const auto map = m.empty() ? std::nullopt : Place(m[0]);
        if (!map || Type(*map) != "IFCREPRESENTATIONMAP") return std::nullopt;
        const std::vector<std::string_view> r = Attributes(*map);
        const auto mapped = r.size() < 2 ? std::nullopt : Place(r[1]);
        if (!mapped) return std::nullopt;
        std::optional<std::string> name = LayerOfRepresentation(*mapped, depth + 2);
        if (!name || !name->empty()) return name;
    }
    return std::string();
}

std::optional<std::string> RecordPresentation::LayerOf(const std::vector<int>& bodies) const {
    if (!whole_) return std::nullopt;
    for (int id : bodies) {
        const int64_t body = scan_.Position(id);
        if (body < 0) return std::nullopt;
        std::optional<std::string> name = LayerOfRepresentation(static_cast<uint32_t>(body), 0);
        if (!name || !name->empty()) return name;
    }
    return std::string();
}
