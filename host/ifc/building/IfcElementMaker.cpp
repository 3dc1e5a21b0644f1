#include "host/ifc/building/IfcElementMaker.h"

#include "host/ifc/building/IfcElementFacts.h"
#include "host/ifc/building/IfcElementKinds.h"
#include "host/ifc/building/IfcHostText.h"
#include "host/ifc/building/IfcKindFields.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

bool Finite(const std::array<double, 3>& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

// The triangles whose three corners exist and are finite, over the vertices they use, in the
// file's order. A saved project refuses anything else, and the renderer has nothing to draw of it.
// A mesh usable whole, as nearly every one is, is taken from `owner` when there is one.
Geometry UsableMesh(const IfcProductData& p, IfcProductData* owner) {
    Geometry g;
    g.shape = Geometry::Shape::Mesh;
    // Per vertex: finite, and used by a usable triangle.
    constexpr uint8_t kFinite = 1, kUsed = 2;
    thread_local std::vector<uint8_t> state;
    state.resize(p.vertices.size());
    for (size_t i = 0; i < p.vertices.size(); ++i) state[i] = Finite(p.vertices[i]) ? kFinite : 0;
    auto usable = [&](const std::array<int32_t, 3>& t) {
        for (int32_t i : t)
            if (i < 0 || static_cast<size_t>(i) >= p.vertices.size() || !(state[static_cast<size_t>(i)] & kFinite)) return false;
        return true;
    };
    size_t kept = 0;
    for (const auto& t : p.triangles) {
        if (!usable(t)) continue;
        ++kept;
        for (int32_t i : t) state[static_cast<size_t>(i)] |= kUsed;
    }
    const bool whole = kept == p.triangles.size() &&
                       std::all_of(state.begin(), state.end(), [](uint8_t s) { return (s & kUsed) != 0; });
    if (whole && owner) {
        g.vertices = std::move(owner->vertices);
        g.triangles = std::move(owner->triangles);
        return g;
    }
    if (whole) {
        g.vertices = p.vertices;
        g.triangles = p.triangles;
        return g;
    }
    std::vector<int32_t> renumbered(p.vertices.size(), -1);
    g.vertices.reserve(p.vertices.size());
    for (size_t i = 0; i < p.vertices.size(); ++i) {
        if (!(state[i] & kUsed)) continue;
        renumbered[i] = static_cast<int32_t>(g.vertices.size());
        g.vertices.push_back(p.vertices[i]);
    }
    g.triangles.reserve(kept);
    for (const auto& t : p.triangles)
        if (usable(t)) g.triangles.push_back({renumbered[static_cast<size_t>(t[0])], renumbered[static_cast<size_t>(t[1])],
                                              renumbered[static_cast<size_t>(t[2])]});
    return g;
}

// A text some programs write where they have no name or tag: "00000000-0000-0000-00-00-000000000000".
bool IsZeroGuidText(const std::string& text) {
    size_t zeros = 0;
    for (char c : text) {
        if (c == '0') ++zeros;
        else if (c != '-' && c != '{' && c != '}' && c != ' ') return false;
    }
    return zeros >= 16;
}

std::string Naming(const std::string& utf8) {
    std::string text = HostTextFromIfc(utf8, HostElement::kIdTextSize - 1);
    return IsZeroGuidText(text) ? std::string() : text;
}

// "NAME TAG", the name cut rather than the tag where both do not fit.
std::string WithTag(const std::string& name, const std::string& tag) {
    constexpr size_t kRoom = HostElement::kIdTextSize - 1;
    std::string head = name;
    if (head.size() + 1 + tag.size() > kRoom && tag.size() < kRoom / 2) {
        head.resize(kRoom - 1 - tag.size());
        while (!head.empty() && head.back() == ' ') head.pop_back();
    }
    std::string text = head + " " + tag;
    if (text.size() > kRoom) text.resize(kRoom);
    return text;
}

} // namespace

std::vector<IfcElementPlan> PlanIfcElements(const IfcBuildingData& data, const IfcModelOptions& options,
                                            std::vector<IfcSkippedProduct>& skipped, std::vector<IfcProductData>* meshesToTake) {
    std::vector<IfcElementPlan> plans;
    plans.reserve(data.products.size());
    std::unordered_set<API_Guid, API_GuidHash> seen;
    seen.reserve(data.products.size());
    for (size_t index = 0; index < data.products.size(); ++index) {
        const IfcProductData& p = data.products[index];
        auto skip = [&](IfcLeftOutCause cause, const char* reason) {
            skipped.push_back({p.globalId, p.ifcClass, reason, cause, p.name});
        };
        IfcElementPlan plan;
        plan.product = &p;
        plan.kind = ElementKindOfIfcClass(p.ifcClass, p.predefinedType);
        if (plan.kind == 0) {
            skip(IfcLeftOutCause::NotBuilding, "an opening or virtual element, not part of the building");
            continue;
        }
        if (p.guid.IsNull()) {
            skip(IfcLeftOutCause::NoGlobalId, "no GlobalId");
            continue;
        }
        if (!seen.insert(p.guid).second) {
            skip(IfcLeftOutCause::RepeatedGlobalId, "its GlobalId belongs to an earlier product");
            continue;
        }
        plan.geometry = UsableMesh(p, meshesToTake ? &(*meshesToTake)[index] : nullptr);
        if (plan.geometry.triangles.empty()) {
            skip(IfcLeftOutCause::NoBody, "no usable triangle in its body");
            continue;
        }
        plan.idBase = Naming(p.name);
        plans.push_back(std::move(plan));
    }
    std::unordered_map<std::string, size_t> uses;
    for (const IfcElementPlan& plan : plans)
        if (!plan.idBase.empty()) ++uses[plan.idBase];
    for (IfcElementPlan& plan : plans) {
        std::string tag = Naming(plan.product->tag);
        if (plan.idBase.empty()) plan.idBase = tag;
        else if (uses[plan.idBase] > 1 && !tag.empty() && tag != plan.idBase) plan.idBase = WithTag(plan.idBase, tag);
        if (plan.idBase.empty() && options.kindName) plan.idBase = options.kindName(plan.kind);
        if (plan.idBase.empty()) plan.idBase = "IFC";
    }
    return plans;
}

Element MakeIfcElement(IfcElementPlan&& plan, const std::string& idText, IfcAttributes& attributes, FactTexts* facts,
                       std::string_view model) {
    Element e;
    e.SetKind(plan.kind);
    e.SetGuid(plan.product->guid);
    e.SetIdText(idText);
    e.SetLayer(attributes.LayerOf(*plan.product));
    FillKindFields(e, KindTakesMaterial(plan.kind) ? attributes.MaterialOf(*plan.product, plan.kind) : 0);
    e.geometry = std::move(plan.geometry);
    if (facts) e.facts = IfcElementFactsOf(*plan.product, *facts, model);
    return e;
}
