#pragma once
// The building model's bodies as one glTF 2.0 binary file, for a viewer that draws the whole
// model in few calls: bodies seen once share meshes in batches, a body repeated by moved copies
// is one mesh drawn as instances. Each triangle and each instance carries its body's index as
// `_ELEMENT`. Positions are 16-bit (KHR_mesh_quantization) and every view is compressed with
// meshoptimizer; the root node turns the model's z up into glTF's y up.
#include "host/gltf/ShapeGroups.h"

#include <cstdint>
#include <span>
#include <vector>

std::vector<uint8_t> WriteModelGlb(std::span<const TriangleBody> bodies);
