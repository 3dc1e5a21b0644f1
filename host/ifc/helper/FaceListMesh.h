#pragma once
// The commonest bodies of real files, lists of faces (face-based and shell-based surface models,
// faceted breps, and mapped items of them), meshed without the library's mesh sets: the library
// builds a half-edge mesh of every list, with a hash of its edges, only for TriangulateProduct to
// read its triangles back. Made here from the same triangles the library's own face conversion
// gives, grouped and ordered as its mesh sets would hold them, the product's mesh comes out the
// same, vertex for vertex and triangle for triangle.
#include "host/ifc/helper/ProductMesh.h"

#include <ifcpp/model/BasicTypes.h>

#include <string>
#include <vector>

class IfcRepresentation;
class RepresentationConverter;

// Whether every item of `bodies` is one made here. A product with openings to cut is not.
bool IsFaceListBody(const std::vector<shared_ptr<IfcRepresentation>>& bodies);

// The bodies' mesh placed by `toWorld`, into `mesh`; false when the library is to make it after
// all (its faces meet other than two to an edge, a closed shell is open, or nothing was made),
// with `mesh` then as it was. A problem with the mesh is said in `problem`.
bool MeshFaceListBody(RepresentationConverter& converter, const std::vector<shared_ptr<IfcRepresentation>>& bodies,
                      const carve::math::Matrix& toWorld, ProductMesh& mesh, std::string& problem);
