#pragma once
// Elements whose bodies are the same triangles moved: grouped so a shape is stored once and
// drawn as instances. Each body is its triangles over its points taken relative to its first
// point; two bodies are one shape when those agree to a micrometre.
#include "host/model/Vector3.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// A body as triangles over points, in model metres.
struct TriangleBody {
    std::vector<Vec3> points;
    std::vector<std::array<uint32_t, 3>> triangles;
};

struct ShapeGroup {
    size_t shape = 0;                // the body the others repeat
    std::vector<size_t> bodies;      // every body of the shape, `shape` first, in the given order
    std::vector<Vec3> offsets;       // each body's first point: where its copy stands
};

// The groups in the order their first bodies come; an empty body belongs to none.
std::vector<ShapeGroup> GroupShapes(std::span<const TriangleBody> bodies);
