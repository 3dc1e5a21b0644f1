#pragma once
// A body's triangles as the library's mesh sets would hold them, made without the mesh sets: one
// part a mesh set (its points, its triangles grouped into the meshes it would make), one item a
// representation item's parts, its closed mesh sets before its open ones. Placed and added to a
// product's mesh, they come out as TriangulateProduct makes the library's.
#include "host/ifc/helper/ProductMesh.h"

#include <carve/input.hpp>
#include <carve/mesh.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MeshPart {
    std::vector<carve::geom::vector<3>> points;
    std::vector<std::array<int32_t, 3>> triangles;
    // Some triangles are of polygons, cut in the part's own coordinates: the library cuts them
    // after an item's transformation, which may cut them otherwise.
    bool polygons = false;
};

struct MeshItem {
    std::vector<MeshPart> closed, open;
};

// The triangles of `poly` grouped as its mesh set would be: faces joined by an edge the one runs
// forwards and the other backwards, each group in face order, the groups in the order of their
// first faces. False when a face of it is not a triangle. `closed`: every edge has a way back.
bool GroupTriangles(const carve::input::PolyhedronData& poly, MeshPart& part, bool& closed);

// A mesh set as a part, its points in its storage's order and its triangles mesh by mesh, a
// polygon's as TriangulateProduct makes them; false when a face's ring of edges is broken.
bool PartOfMeshSet(const carve::mesh::MeshSet<3>& set, MeshPart& part);

// `matrix` applied as the library applies it to an item's mesh sets: nothing for the identity,
// and a mirroring turns every face.
void TransformItems(const carve::math::Matrix& matrix, std::vector<MeshItem>& items);

// The items' parts placed by `toWorld`, into `mesh`.
void AddItems(const std::vector<MeshItem>& items, const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem);
