#pragma once
// A new host model from what the IFC reader took from a file: one element per product with a
// usable body, in file order, with its layers, materials and facts. Layers by storey come in
// storey order, one for every storey.
#include "host/ifc/building/IfcBuildingData.h"
#include "host/ifc/building/IfcElementMaker.h"

#include <memory>
#include <vector>

struct IfcBuiltModel {
    std::unique_ptr<HostModel> model; // pens and view are the caller's to add
    std::vector<IfcSkippedProduct> skipped; // the reader's and the builder's, for the user
};

IfcBuiltModel BuildIfcModel(const IfcBuildingData& data, const IfcModelOptions& options);
// The same, the products' meshes moved into the elements rather than copied: a large file's
// meshes are the most of its memory. All else of `data` stays.
IfcBuiltModel BuildIfcModel(IfcBuildingData&& data, const IfcModelOptions& options);
