#pragma once
// A product's converted body as one triangle mesh in world coordinates: the library's closed and
// open mesh sets (solids and surface models) with the product's placement applied, polygons
// triangulated.
#include <carve/geom.hpp>
#include <carve/matrix.hpp>
#include <carve/mesh.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class ProductShapeData;

struct ProductMesh {
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<int32_t, 3>> triangles;
};

// Empty `problem` when the mesh is usable; otherwise what is wrong with it.
ProductMesh TriangulateProduct(ProductShapeData& shape, std::string& problem);

// A part made without the library's mesh sets: its points placed by `toWorld` and its
// triangles (indexes into the points), added to `mesh` as TriangulateProduct adds a mesh set of
// the same points and triangles.
void AddPlacedPart(const std::vector<carve::geom::vector<3>>& points, const std::vector<std::array<int32_t, 3>>& triangles,
                   const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem);

// The triangles TriangulateProduct makes of a face of a mesh set, `corners` the length of its
// loop of edges: a polygon's triangulated in its plane, each in the face's own turn; as places
// in the loop, from the face's first edge.
void TriangulateFace(const carve::mesh::Face<3>& face, size_t corners, std::vector<std::array<uint32_t, 3>>& triangles);
