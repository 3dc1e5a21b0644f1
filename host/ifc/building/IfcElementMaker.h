#pragma once
// One IFC product made into a host element, the same way when a file is opened and when a
// revision adds it: its kind by class, its mesh, its ID text, layer, material and facts, and the
// pens, materials and flags of its kind.
//
// Its ID text is its name; where the file's products repeat a name, the name with its tag (a
// part mark, an element id); without a name its tag, else the kind's name. A name or tag that is
// only an all-zero GUID names nothing. Texts still taken get a running number.
#include "host/ifc/building/IfcAttributes.h"
#include "host/ifc/building/IfcBuildingData.h"
#include "host/model/HostModel.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct IfcModelOptions {
    // The host's name of a kind (8-bit code page): the ID text of a product with neither name nor tag.
    std::function<std::string(int32_t kind)> kindName;
    std::string defaultLayer = kHostDefaultLayer; // 8-bit code page
    bool layersByStorey = false; // a layer per storey instead of the presentation layers
    // A model among several: its name (UTF-8), each element's "model" fact, and before each of
    // its layers' names (8-bit, "ARCH: "). Empty for a project's only model.
    std::string modelName;
    std::string layerPrefix;
};

// The kinds of element an IFC file gives (bodies and zones); cameras, paths and drawing elements
// are the host's own.
inline bool IsIfcElementKind(int32_t kind) { return HostElement::HasBody(kind) || kind == HostElement::Zone; }

// What a product becomes before it meets a model.
struct IfcElementPlan {
    const IfcProductData* product = nullptr;
    int32_t kind = 0;
    Geometry geometry; // the product's mesh without unusable vertices and triangles
    std::string idBase; // 8-bit code page, fitted to the ID text field, never empty
};

// The products of a file that give elements, in file order. The others are added to `skipped`
// with the reason: no kind of element, no usable triangle, a GlobalId an earlier product has.
// With `meshesToTake` (data's own products), a mesh usable whole is moved out of its product
// rather than copied.
std::vector<IfcElementPlan> PlanIfcElements(const IfcBuildingData& data, const IfcModelOptions& options,
                                            std::vector<IfcSkippedProduct>& skipped,
                                            std::vector<IfcProductData>* meshesToTake = nullptr);

// The element of a plan, not yet added to the model; its layer and material found or made, its
// facts' texts in `facts`, the model's. Without `facts` the element's facts are the caller's to add.
// `model`: see IfcModelOptions::modelName.
Element MakeIfcElement(IfcElementPlan&& plan, const std::string& idText, IfcAttributes& attributes, FactTexts* facts,
                       std::string_view model = {});
